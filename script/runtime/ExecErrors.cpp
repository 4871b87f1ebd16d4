// Error texts from ExecErrors.def, converted once to code page 1251.
#include "ExecErrors.h"

#include "Cp1251.h"

#include <array>

namespace lumivar::script {
namespace {

constexpr std::array<std::string_view, kExecErrorCount> kUtf8Texts = {{
#define LV_EXEC_ERROR(code, name, text) text,
#include "ExecErrors.def"
#undef LV_EXEC_ERROR
}};

const std::array<std::string, kExecErrorCount>& Cp1251Texts() {
    static const std::array<std::string, kExecErrorCount> texts = [] {
        std::array<std::string, kExecErrorCount> out;
        for (std::size_t i = 0; i < kUtf8Texts.size(); ++i)
            out[i] = Utf8ToCp1251(kUtf8Texts[i]);
        return out;
    }();
    return texts;
}

} // namespace

std::string ExecErrorToText(std::uint8_t code, std::string_view param) {
    code &= 0x7F;
    if (code >= kExecErrorCount) return "Unknown error";
    const std::string& text = Cp1251Texts()[code];
    switch (TExecError(code)) {
    case TExecError::CannotImport: {
        std::size_t cut = 0;
        while (cut < param.size() && static_cast<unsigned char>(param[cut]) >= 32)
            ++cut;
        return text + std::string(param.substr(0, cut));
    }
    case TExecError::HostException:
        return text + std::string(param);
    case TExecError::CustomText:
        return std::string(param);
    default:
        return text;
    }
}

} // namespace lumivar::script
