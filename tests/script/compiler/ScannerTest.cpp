// Token streams of the scanner, written as the tokens command prints them: "POS KIND TEXT"
// per token, then "POS 0" at the end of text or "error K at POS" for a scanner error.
#include "script/compiler/Scanner.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace lumivar::script;

namespace {

std::vector<std::string> Stream(std::string_view text) {
    std::vector<std::string> out;
    std::optional<std::string> error;
    TIfPascalParser p;
    p.OnParserError = [&error](TIfPascalParser&, TParserError kind, std::uint32_t pos) {
        error = "error " + std::to_string(kind) + " at " + std::to_string(pos);
    };
    p.SetText(text);
    while (p.Token != ttEOF) {
        std::string line = std::to_string(p.TokenPos) + ' ' + std::to_string(p.Token);
        if (!p.TokenText.empty()) line += ' ' + p.TokenText;
        out.push_back(line);
        p.Next();
    }
    out.push_back(error ? *error : std::to_string(p.TokenPos) + " 0");
    return out;
}

struct StreamCase {
    const char* name;
    std::string text;
    std::vector<std::string> tokens;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class ScannerStream : public testing::TestWithParam<StreamCase> {};

TEST_P(ScannerStream, Tokens) {
    EXPECT_EQ(Stream(GetParam().text), GetParam().tokens);
}

const StreamCase kStreams[] = {
    {"Empty", "", {"0 0"}},
    {"Assignment", "a:=b;", {"0 3 A", "1 12", "3 3 B", "4 4", "5 0"}},
    {"KeywordLower", "begin", {"0 32", "5 0"}},
    {"KeywordMixed", "BeGiN end", {"0 32", "6 39", "9 0"}},
    {"IdentifierWithDigits", "_a1 x_2", {"0 3 _A1", "4 3 X_2", "7 0"}},
    {"KeywordPrefixIsIdentifier", "beginx ends", {"0 3 BEGINX", "7 3 ENDS", "11 0"}},
    {"CyrillicStaysInName", "a\xE0", {"0 3 A", "error 4 at 1"}},
    {"LineCommentAtEnd", "x // note", {"0 3 X", "error 1 at 2"}},
    {"LineCommentClosed", "x // note\ny", {"0 3 X", "10 3 Y", "11 0"}},
    {"LineCommentCrLf", "//x\r\ny", {"5 3 Y", "6 0"}},
    {"ParenStarShortest", "(*)x", {"3 3 X", "4 0"}},
    {"ParenStarComment", "(* a *) x", {"8 3 X", "9 0"}},
    {"ParenStarOpen", "x (* a *", {"0 3 X", "error 1 at 2"}},
    {"BraceComment", "{ c }x", {"5 3 X", "6 0"}},
    {"BraceOpen", "{ c", {"error 1 at 0"}},
    {"BraceStopsAtNul", std::string("{ \0 }", 5), {"error 1 at 0"}},
    {"StringOpenAtLineBreak", "'abc\nx", {"error 2 at 0"}},
    {"StringOpenAtCr", "x 'abc\r", {"0 3 X", "error 2 at 2"}},
    {"StringOpenAtEnd", "'abc", {"error 2 at 0"}},
    {"DoubledQuoteIsTwoStrings", "'it''s'", {"0 25 'it'", "4 25 's'", "7 0"}},
    {"EmptyString", "''", {"0 25 ''", "2 0"}},
    {"Chars", "#13#10", {"0 26 #13", "3 26 #10", "6 0"}},
    {"HexChar", "#$1F#$aZ", {"0 26 #$1F", "4 26 #$a", "7 3 Z", "8 0"}},
    {"CharFollowedByLetter", "#65A", {"error 3 at 0"}},
    {"CharFollowedByUnderscore", "#6_", {"error 3 at 0"}},
    {"HashAlone", "# 1", {"0 26 #", "2 23 1", "3 0"}},
    {"Real", "3.14", {"0 24 3.14", "4 0"}},
    {"Range", "3..4", {"0 23 3", "1 6", "2 6", "3 23 4", "4 0"}},
    {"RealWithoutFraction", "1.;", {"0 24 1.", "2 4", "3 0"}},
    {"SecondPointEndsReal", "1.2.3", {"0 24 1.2", "3 6", "4 23 3", "5 0"}},
    {"NoExponent", "1E5", {"0 23 1", "1 3 E5", "3 0"}},
    {"HexInt", "$1aF+$", {"0 27 $1aF", "4 19", "5 27 $", "6 0"}},
    {"Cyrillic", "\xC0", {"error 4 at 0"}},
    {"ClosingBrace", "}", {"error 4 at 0"}},
    {"DoubleQuote", "x \"", {"0 3 X", "error 4 at 2"}},
    {"Bang", "!", {"error 4 at 0"}},
    {"ControlCharacter", "\x01", {"error 4 at 0"}},
    {"NulEndsText", std::string("a\0b", 3), {"0 3 A", "1 0"}},
    {"Blanks", " \t\r\n a", {"5 3 A", "6 0"}},
    {"TwoCharOperators",
     ":=: <= <> < >= > =",
     {"0 12", "2 7", "4 18", "7 14", "10 17", "12 16", "15 15", "17 13", "18 0"}},
    {"OneCharOperators",
     ";,.()[]+-*/@^",
     {"0 4", "1 5", "2 6", "3 8", "4 9", "5 10", "6 11", "7 19", "8 20", "9 22", "10 21", "11 28",
      "12 29", "13 0"}},
};

INSTANTIATE_TEST_SUITE_P(Scanner, ScannerStream, testing::ValuesIn(kStreams),
                         [](const testing::TestParamInfo<StreamCase>& info) {
                             return info.param.name;
                         });

TEST(Scanner, KeywordsInAnyCase) {
    // keyword, kind: the whole table, independent of the .def file it is generated from
    const std::pair<const char*, int> table[] = {
        {"AND", 30},       {"ARRAY", 31},       {"AS", 77},        {"BEGIN", 32},
        {"BREAK", 65},     {"CASE", 33},        {"CHR", 89},       {"CLASS", 66},
        {"CONST", 34},     {"CONSTRUCTOR", 67}, {"CONTINUE", 80},  {"DESTRUCTOR", 68},
        {"DIV", 35},       {"DO", 36},          {"DOWNTO", 37},    {"ELSE", 38},
        {"END", 39},       {"EXCEPT", 82},      {"EXIT", 64},      {"EXPORT", 86},
        {"EXTERNAL", 84},  {"FINALLY", 83},     {"FOR", 40},       {"FORWARD", 85},
        {"FUNCTION", 41},  {"GOTO", 88},        {"IF", 42},        {"IMPLEMENTATION", 92},
        {"IN", 43},        {"INHERITED", 69},   {"INTERFACE", 91}, {"IS", 78},
        {"LABEL", 87},     {"MOD", 44},         {"NOT", 45},       {"OF", 46},
        {"OR", 47},        {"ORD", 90},         {"OVERRIDE", 76},  {"PRIVATE", 70},
        {"PROCEDURE", 48}, {"PROGRAM", 49},     {"PROPERTY", 74},  {"PROTECTED", 73},
        {"PUBLIC", 71},    {"PUBLISHED", 72},   {"RECORD", 51},    {"REPEAT", 50},
        {"SET", 52},       {"SHL", 53},         {"SHR", 54},       {"THEN", 55},
        {"TO", 56},        {"TRY", 81},         {"TYPE", 57},      {"UNIT", 79},
        {"UNTIL", 58},     {"USES", 59},        {"VAR", 60},       {"VIRTUAL", 75},
        {"WHILE", 61},     {"WITH", 62},        {"XOR", 63},
    };
    ASSERT_EQ(std::size(table), kKeywordCount);
    for (const auto& [word, kind] : table) {
        std::string lower(word);
        for (char& c : lower)
            c = char(c - 'A' + 'a');
        for (const std::string& text : {std::string(word), lower}) {
            TIfPascalParser p;
            p.SetText(text);
            EXPECT_EQ(p.Token, kind) << text;
            EXPECT_EQ(p.TokenLen, lower.size()) << text;
            EXPECT_EQ(p.TokenText, "") << text;
        }
    }
}

TEST(Scanner, IdentifierKeepsSpellingInOriginalToken) {
    TIfPascalParser p;
    p.SetText("aBc 'Xy' begin");
    EXPECT_EQ(p.TokenText, "ABC");
    EXPECT_EQ(p.OriginalToken, "aBc");
    p.Next();
    EXPECT_EQ(p.TokenText, "'Xy'");
    EXPECT_EQ(p.OriginalToken, "'Xy'");
    p.Next();
    EXPECT_EQ(p.Token, ttBegin);
    EXPECT_EQ(p.OriginalToken, "");
}

TEST(Scanner, LongIdentifierIsNoKeyword) {
    const std::string name = "BEGIN" + std::string(300, 'X');
    TIfPascalParser p;
    p.SetText(name);
    EXPECT_EQ(p.Token, ttIdentifier);
    EXPECT_EQ(p.TokenText, name);
    EXPECT_EQ(p.TokenLen, name.size());
}

TEST(Scanner, ErrorRepeatsAtSamePlaceAndClearsToken) {
    std::vector<std::pair<int, std::uint32_t>> errors;
    TIfPascalParser p;
    p.OnParserError = [&errors](TIfPascalParser&, TParserError kind, std::uint32_t pos) {
        errors.push_back({kind, pos});
    };
    p.SetText("abc ?");
    EXPECT_EQ(p.TokenText, "ABC");
    p.Next();
    EXPECT_EQ(p.Token, ttEOF);
    EXPECT_EQ(p.TokenPos, 4u);
    EXPECT_EQ(p.TokenLen, 0u);
    EXPECT_EQ(p.TokenText, "");
    EXPECT_EQ(p.OriginalToken, "");
    p.Next();
    const std::vector<std::pair<int, std::uint32_t>> expected = {{4, 4}, {4, 4}};
    EXPECT_EQ(errors, expected);
}

TEST(Scanner, EmptyTextNeverCallsTheErrorEvent) {
    int calls = 0;
    TIfPascalParser p;
    p.OnParserError = [&calls](TIfPascalParser&, TParserError, std::uint32_t) { ++calls; };
    p.SetText("");
    p.Next();
    EXPECT_EQ(p.Token, ttEOF);
    EXPECT_EQ(p.TokenPos, 0u);
    EXPECT_EQ(calls, 0);
}

TEST(Scanner, SetTextStartsOver) {
    TIfPascalParser p;
    p.SetText("alpha beta");
    p.Next();
    p.SetText("x");
    EXPECT_EQ(p.TokenPos, 0u);
    EXPECT_EQ(p.TokenText, "X");
}

} // namespace
