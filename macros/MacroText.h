// The macro text format: a list of lines holding "[name]", key and "=text" lines per macro.
// Parsing gives a table of macros, writing turns a table back into lines, and the pick-list
// items are read from the same lines; all three share one trimming rule (codes 0..32).
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace lumivar {

// One macro substitution. Text holds the lines of the substituted text, each followed by "\r".
struct TMacro {
    QString Name;
    QString Key;
    QString Text;
    bool operator==(const TMacro&) const = default;
};

// S without blanks and control characters (codes 0..32) at both ends.
QString TrimBlanks(const QString& s);

// The table of macros the lines describe (name and key carry over to the following macros;
// a key without text lines gives no macro).
std::vector<TMacro> ParseMacroText(const QStringList& lines);

// The lines of a table of macros in its order: "[name]", key, "=" + each text line, "".
QStringList WriteMacroText(const std::vector<TMacro>& macros);

// The two parallel lists of the macro pick list: "key\tname\t" for display, the key alone
// for insertion. The name is the latest name line above the key and carries over.
struct TCompletionItems {
    QStringList Display;
    QStringList Insert;
    bool operator==(const TCompletionItems&) const = default;
};
TCompletionItems CompletionItems(const QStringList& lines);

// A stored macro list and its lines: the stored text has every line followed by CR LF;
// reading also accepts CR or LF alone.
QStringList SplitMacroLines(const QString& text);
QString JoinMacroLines(const QStringList& lines);

} // namespace lumivar
