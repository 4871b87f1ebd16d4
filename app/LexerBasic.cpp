// The rules and keywords of Visual Basic.
#include "app/LexerBasic.h"

namespace lumivar {
namespace {

using namespace std::string_view_literals;

constexpr std::string_view kKeywords[] = {
    "ACCESS"sv, "ALIAS"sv, "AND"sv, "APPEND"sv, "AS"sv, "ATTRIBUTE"sv, "BASE"sv, "BINARY"sv,
    "BOOLEAN"sv, "BYREF"sv, "BYTE"sv, "BYVAL"sv, "CALL"sv, "CASE"sv, "CLOSE"sv, "COMPARE"sv,
    "CONST"sv, "CURRENCY"sv, "DATE"sv, "DEBUG"sv, "DECLARE"sv, "DEFBOOL"sv, "DEFINT"sv,
    "DEFLNG"sv, "DEFSTR"sv, "DEFVAR"sv, "DIM"sv, "DO"sv, "DOUBLE"sv, "EACH"sv, "ELSE"sv,
    "ELSEIF"sv, "EMPTY"sv, "END"sv, "ENUM"sv, "EQV"sv, "ERASE"sv, "ERROR"sv, "EVENT"sv,
    "EXIT"sv, "EXPLICIT"sv, "FALSE"sv, "FOR"sv, "FRIEND"sv, "FUNCTION"sv, "GET"sv, "GLOBAL"sv,
    "GOSUB"sv, "GOTO"sv, "IF"sv, "IMP"sv, "IMPLEMENTS"sv, "IN"sv, "INPUT"sv, "INTEGER"sv,
    "IS"sv, "LET"sv, "LIB"sv, "LIKE"sv, "LINE"sv, "LOCK"sv, "LONG"sv, "LOOP"sv, "LSET"sv,
    "ME"sv, "MOD"sv, "NEW"sv, "NEXT"sv, "NOT"sv, "NOTHING"sv, "NULL"sv, "OBJECT"sv, "ON"sv,
    "OPEN"sv, "OPTION"sv, "OPTIONAL"sv, "OR"sv, "OUTPUT"sv, "PARAMARRAY"sv, "PRESERVE"sv,
    "PRINT"sv, "PRIVATE"sv, "PROPERTY"sv, "PUBLIC"sv, "PUT"sv, "RAISEEVENT"sv, "RANDOM"sv,
    "READ"sv, "REDIM"sv, "RESUME"sv, "RETURN"sv, "RSET"sv, "SEEK"sv, "SELECT"sv, "SET"sv,
    "SINGLE"sv, "STATIC"sv, "STEP"sv, "STOP"sv, "STRING"sv, "SUB"sv, "THEN"sv, "TO"sv,
    "TRUE"sv, "TYPE"sv, "TYPEOF"sv, "UNLOCK"sv, "UNTIL"sv, "VARIANT"sv, "WEND"sv, "WHILE"sv,
    "WITH"sv, "WITHEVENTS"sv, "WRITE"sv, "XOR"sv,
};
constexpr std::string_view kLineComments[] = {"'"sv, "REM"sv};
constexpr std::string_view kRadixPrefixes[] = {"&H"sv, "&O"sv};

constexpr WordLexerRules kRules = {
    .language = "Visual Basic",
    .keywords = kKeywords,
    .lineComments = kLineComments,
    .lineStartComments = {},
    .blockOpen = {},
    .blockClose = {},
    .quotes = "\"",
    .radixPrefixes = kRadixPrefixes,
    .numberSuffixes = "%&!#@",
    .operators = "+-*/\\^&=<>(),.:;",
    .preprocessorLines = true,
    .dottedWords = false,
};

} // namespace

TLexerBasic::TLexerBasic(QObject* parent) : TWordLexer(kRules, parent) {}

} // namespace lumivar
