// lumivar-script tokens FILE: the scanner's token stream, one "POS KIND TEXT" line per token
// (TEXT in UTF-8, left out when empty), ending with "POS 0" or "error K at POS".
#include "Commands.h"
#include "ImageFile.h"

#include "script/compiler/Scanner.h"
#include "script/runtime/Cp1251.h"

#include <cstdio>
#include <optional>
#include <string>

namespace lumivar::script::cli {

int RunTokens(const Args& args) {
    if (args.size() != 1) {
        std::fputs("usage: lumivar-script tokens FILE\n", stderr);
        return kExitUsage;
    }
    const std::optional<std::string> text = ReadFileBytes(args[0]);
    if (!text) {
        std::fprintf(stderr, "lumivar-script: cannot read %s\n", args[0].c_str());
        return kExitCompileFailed;
    }

    struct ScanError {
        TParserError kind;
        std::uint32_t position;
    };
    std::optional<ScanError> error;
    TIfPascalParser parser;
    parser.OnParserError = [&error](TIfPascalParser&, TParserError kind, std::uint32_t position) {
        error = ScanError{kind, position};
    };
    parser.SetText(*text);
    while (parser.Token != ttEOF) {
        std::string line =
            std::to_string(parser.TokenPos) + ' ' + std::to_string(unsigned(parser.Token));
        if (!parser.TokenText.empty()) line += ' ' + Cp1251ToUtf8(parser.TokenText);
        std::printf("%s\n", line.c_str());
        parser.Next();
    }
    if (error) {
        std::printf("error %u at %u\n", unsigned(error->kind), unsigned(error->position));
        return kExitCompileFailed;
    }
    std::printf("%u 0\n", unsigned(parser.TokenPos));
    return kExitOk;
}

} // namespace lumivar::script::cli
