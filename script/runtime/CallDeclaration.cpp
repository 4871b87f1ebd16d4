// Reading a call declaration off a routine header.
#include "CallDeclaration.h"

#include "Names.h"

namespace lumivar::script {
namespace {

// Identifiers and single punctuation characters of a header, blanks skipped.
class THeaderTokens {
public:
    explicit THeaderTokens(std::string_view text) : Text_(text) { Next(); }

    const std::string& Current() const { return Token_; }
    bool IsName() const {
        return !Token_.empty() && (Token_[0] == '_' || (Token_[0] >= 'A' && Token_[0] <= 'Z'));
    }
    // Consumes the current token when it is `expected`.
    bool Skip(std::string_view expected) {
        if (Token_ != expected) return false;
        Next();
        return true;
    }
    bool SkipName() {
        if (!IsName()) return false;
        Next();
        return true;
    }

private:
    static bool NameChar(char c) {
        return c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               (c >= '0' && c <= '9');
    }
    void Next() {
        while (Pos_ < Text_.size() && static_cast<unsigned char>(Text_[Pos_]) <= ' ')
            ++Pos_;
        const std::size_t start = Pos_;
        if (Pos_ < Text_.size() && NameChar(Text_[Pos_]) &&
            !(Text_[Pos_] >= '0' && Text_[Pos_] <= '9'))
            while (Pos_ < Text_.size() && NameChar(Text_[Pos_]))
                ++Pos_;
        else if (Pos_ < Text_.size())
            ++Pos_;
        Token_ = FastUpperCase(Text_.substr(start, Pos_ - start));
    }

    std::string_view Text_;
    std::size_t Pos_ = 0;
    std::string Token_;
};

} // namespace

std::optional<std::string> CallDeclarationFromHeader(std::string_view header) {
    THeaderTokens t(header);
    const bool function = t.Current() == "FUNCTION";
    if (!t.Skip("FUNCTION") && !t.Skip("PROCEDURE")) return std::nullopt;
    if (!t.SkipName()) return std::nullopt;
    std::string decl(1, function ? '\1' : '\0');
    if (t.Skip("(") && !t.Skip(")")) {
        do {
            const char mode = t.Skip("VAR") ? '\1' : '\0';
            if (mode == '\0') t.Skip("CONST");
            do {
                if (!t.SkipName()) return std::nullopt;
                decl += mode;
            } while (t.Skip(","));
            if (!t.Skip(":") || !t.SkipName()) return std::nullopt;
        } while (t.Skip(";"));
        if (!t.Skip(")")) return std::nullopt;
    }
    if (function && (!t.Skip(":") || !t.SkipName())) return std::nullopt;
    return decl;
}

} // namespace lumivar::script
