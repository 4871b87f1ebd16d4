// The rules and keywords of CA-Clipper.
#include "app/LexerClipper.h"

namespace lumivar {
namespace {

using namespace std::string_view_literals;

constexpr std::string_view kKeywords[] = {
    ".AND."sv, ".F."sv, ".N."sv, ".NOT."sv, ".OR."sv, ".T."sv, ".Y."sv, "ACCEPT"sv,
    "ANNOUNCE"sv, "APPEND"sv, "AVERAGE"sv, "BEGIN"sv, "BLANK"sv, "BREAK"sv, "CANCEL"sv,
    "CASE"sv, "CLEAR"sv, "CLOSE"sv, "COMMIT"sv, "CONTINUE"sv, "COPY"sv, "COUNT"sv, "CREATE"sv,
    "DECLARE"sv, "DELETE"sv, "DISPLAY"sv, "DO"sv, "EJECT"sv, "ELSE"sv, "ELSEIF"sv, "END"sv,
    "ENDCASE"sv, "ENDDO"sv, "ENDIF"sv, "ERASE"sv, "EXIT"sv, "EXTERNAL"sv, "FIELD"sv, "FIND"sv,
    "FOR"sv, "FUNCTION"sv, "GET"sv, "GO"sv, "GOTO"sv, "IF"sv, "IIF"sv, "IN"sv, "INDEX"sv,
    "INIT"sv, "INPUT"sv, "JOIN"sv, "KEYBOARD"sv, "LABEL"sv, "LIST"sv, "LOCAL"sv, "LOCATE"sv,
    "LOOP"sv, "MEMVAR"sv, "MENU"sv, "NEXT"sv, "NIL"sv, "ON"sv, "OTHERWISE"sv, "PACK"sv,
    "PARAMETERS"sv, "PRIVATE"sv, "PROCEDURE"sv, "PROMPT"sv, "PUBLIC"sv, "QUIT"sv, "READ"sv,
    "RECALL"sv, "RECOVER"sv, "REINDEX"sv, "RELEASE"sv, "RENAME"sv, "REPLACE"sv, "REPORT"sv,
    "REQUEST"sv, "RESTORE"sv, "RETURN"sv, "RUN"sv, "SAVE"sv, "SAY"sv, "SEEK"sv, "SELECT"sv,
    "SEQUENCE"sv, "SET"sv, "SKIP"sv, "SORT"sv, "STATIC"sv, "STEP"sv, "STORE"sv, "SUM"sv,
    "TEXT"sv, "TO"sv, "TOTAL"sv, "UNLOCK"sv, "UPDATE"sv, "USE"sv, "USING"sv, "WAIT"sv,
    "WHILE"sv, "WITH"sv, "ZAP"sv,
};
constexpr std::string_view kLineComments[] = {"//"sv, "&&"sv};
constexpr std::string_view kLineStartComments[] = {"*"sv, "NOTE"sv};

constexpr WordLexerRules kRules = {
    .language = "CA-Clipper",
    .keywords = kKeywords,
    .lineComments = kLineComments,
    .lineStartComments = kLineStartComments,
    .blockOpen = "/*",
    .blockClose = "*/",
    .quotes = "\"'",
    .radixPrefixes = {},
    .numberSuffixes = {},
    .operators = "+-*/%^=<>!#$()[]{},.:;@&|",
    .preprocessorLines = true,
    .dottedWords = true,
};

} // namespace

TLexerClipper::TLexerClipper(QObject* parent) : TWordLexer(kRules, parent) {}

} // namespace lumivar
