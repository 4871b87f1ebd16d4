// Parsing and writing of macro texts and the pick-list items read from them.
#include "macros/MacroText.h"

#include "app/util/strtools.h"

namespace lumivar {
namespace {

bool IsBlank(QChar c) { return c.unicode() <= 32; }

// The macro's text lines as writing sees them: the whole text trimmed, then split at
// CR LF, CR or LF. An empty text has no lines.
QStringList TextLines(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    if (trimmed.isEmpty()) return {};
    return SplitMacroLines(trimmed + '\n');
}

} // namespace

QString TrimBlanks(const QString& s) {
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && IsBlank(s[first])) ++first;
    while (last > first && IsBlank(s[last - 1])) --last;
    return s.mid(first, last - first);
}

std::vector<TMacro> ParseMacroText(const QStringList& lines) {
    std::vector<TMacro> macros;
    QString name;
    QString key;
    for (qsizetype i = 0; i < lines.size();) {
        const QString line = TrimBlanks(lines[i]);
        if (line.startsWith('=')) {
            // Text -> ("=" line)+ ; the line that ends the run is read again as any other.
            QString text;
            for (; i < lines.size(); ++i) {
                const QString textLine = TrimBlanks(lines[i]);
                if (!textLine.startsWith('=')) break;
                text += textLine.mid(1) + '\r';
            }
            macros.push_back({name, key, text});
            continue;
        }
        if (line.startsWith('['))
            name = TrimBlanks(RemoveChars(line, "[]"));
        else if (!line.isEmpty())
            key = line;
        ++i;
    }
    return macros;
}

QStringList WriteMacroText(const std::vector<TMacro>& macros) {
    QStringList lines;
    for (const TMacro& macro : macros) {
        lines << '[' + TrimBlanks(macro.Name) + ']' << TrimBlanks(macro.Key);
        for (const QString& line : TextLines(macro.Text)) lines << '=' + line;
        lines << QString();
    }
    return lines;
}

TCompletionItems CompletionItems(const QStringList& lines) {
    TCompletionItems items;
    QString name;
    for (const QString& raw : lines) {
        const QString line = TrimBlanks(raw);
        if (line.startsWith('[')) {
            name = TrimBlanks(RemoveChars(line, "[]"));
        } else if (!line.isEmpty() && !line.startsWith('=')) {
            items.Display << line + '\t' + name + '\t';
            items.Insert << line;
        }
    }
    return items;
}

QStringList SplitMacroLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines << text.mid(start, i - start);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines << text.mid(start);
    return lines;
}

QString JoinMacroLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) text += line + "\r\n";
    return text;
}

} // namespace lumivar
