// Search and replace over the editor's text. The matching runs on the Unicode text, since
// the editor component folds the case of ASCII letters only (and Cyrillic text is the rule
// here); the edits go through the component's target so that undo, markers and styles stay.
#include "app/EditorSearch.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <vector>

namespace lumivar {
namespace {

// A match as indexes into the Unicode text.
struct Match {
    qsizetype start;
    qsizetype length;
};

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == '_'; }

bool IsWholeWord(const QString& text, qsizetype start, qsizetype length) {
    const qsizetype end = start + length;
    return (start == 0 || !IsWordChar(text[start - 1])) &&
           (end == text.size() || !IsWordChar(text[end]));
}

// The editor's text with conversions between its byte positions and Unicode indexes.
class EditorText {
public:
    explicit EditorText(const QsciScintilla& editor)
        : utf8_(editor.isUtf8()), bytes_(editor.bytes(0, editor.length())),
          text_(utf8_ ? QString::fromUtf8(bytes_) : QString::fromLatin1(bytes_)) {}

    const QString& text() const { return text_; }

    qsizetype indexOfByte(long position) const {
        const QByteArray prefix = bytes_.left(position);
        return utf8_ ? QString::fromUtf8(prefix).size() : prefix.size();
    }
    long byteLength(QStringView part) const {
        return static_cast<long>(utf8_ ? part.toUtf8().size() : part.size());
    }
    long byteOfIndex(qsizetype index) const { return byteLength(QStringView(text_).left(index)); }

private:
    bool utf8_;
    QByteArray bytes_;
    QString text_;
};

class Finder {
public:
    Finder(const QString& text, const QString& find, TSearchOptions options)
        : text_(text), find_(find), wholeWord_(options.testFlag(TSearchOption::WholeWord)),
          backwards_(options.testFlag(TSearchOption::Backwards)),
          sensitivity_(options.testFlag(TSearchOption::MatchCase) ? Qt::CaseSensitive
                                                                  : Qt::CaseInsensitive) {}

    // The nearest occurrence that lies entirely after From (before it, backwards), or -1.
    qsizetype next(qsizetype from) const {
        if (backwards_) {
            for (qsizetype at = from - find_.size(); at >= 0; --at) {
                at = text_.lastIndexOf(find_, at, sensitivity_);
                if (at < 0 || accepts(at)) return at;
            }
            return -1;
        }
        for (qsizetype at = from; at <= text_.size(); ++at) {
            at = text_.indexOf(find_, at, sensitivity_);
            if (at < 0 || accepts(at)) return at;
        }
        return -1;
    }

private:
    bool accepts(qsizetype at) const { return !wholeWord_ || IsWholeWord(text_, at, find_.size()); }

    const QString& text_;
    const QString& find_;
    bool wholeWord_;
    bool backwards_;
    Qt::CaseSensitivity sensitivity_;
};

void SetTarget(QsciScintilla& editor, long start, long end) {
    editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, start);
    editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, end);
}

} // namespace

int SearchReplace(QsciScintilla& editor, const QString& find, const QString& replacement,
                  TSearchOptions options) {
    if (find.isEmpty()) return 0;
    const EditorText text(editor);
    const Finder finder(text.text(), find, options);
    const bool backwards = options.testFlag(TSearchOption::Backwards);
    const qsizetype caret =
        text.indexOfByte(editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));

    if (!options.testAnyFlags(TSearchOption::Replace | TSearchOption::ReplaceAll)) {
        const qsizetype at = finder.next(caret);
        if (at < 0) return 0;
        const long start = text.byteOfIndex(at);
        const long end = start + text.byteLength(QStringView(text.text()).mid(at, find.size()));
        if (backwards)
            editor.SendScintilla(QsciScintillaBase::SCI_SETSEL, end, start);
        else
            editor.SendScintilla(QsciScintillaBase::SCI_SETSEL, start, end);
        return 1;
    }

    // The occurrences in text order; each search goes on beyond the previous occurrence.
    std::vector<Match> matches;
    for (qsizetype at = finder.next(caret); at >= 0;
         at = finder.next(backwards ? at : at + find.size())) {
        matches.push_back({at, find.size()});
        if (!options.testFlag(TSearchOption::ReplaceAll)) break;
    }
    if (matches.empty()) return 0;
    if (backwards) std::reverse(matches.begin(), matches.end());

    // Byte ranges in text order, then replaced from the last one so that the earlier ranges
    // keep their positions.
    std::vector<std::pair<long, long>> ranges;
    qsizetype index = 0;
    long byte = 0;
    for (const Match& match : matches) {
        byte += text.byteLength(QStringView(text.text()).mid(index, match.start - index));
        const long end = byte + text.byteLength(QStringView(text.text()).mid(match.start, match.length));
        ranges.emplace_back(byte, end);
        index = match.start + match.length;
        byte = end;
    }
    const QByteArray replaceBytes = editor.isUtf8() ? replacement.toUtf8() : replacement.toLatin1();
    editor.beginUndoAction();
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        SetTarget(editor, range->first, range->second);
        editor.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET,
                             static_cast<unsigned long>(replaceBytes.size()),
                             replaceBytes.constData());
    }
    editor.endUndoAction();

    // The caret goes after the last replacement made (before it, backwards).
    long shift = 0;
    for (std::size_t i = 0; i + 1 < ranges.size(); ++i)
        shift += replaceBytes.size() - (ranges[i].second - ranges[i].first);
    const long caretAfter = backwards ? ranges.front().first
                                      : ranges.back().first + shift + replaceBytes.size();
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, caretAfter);
    return static_cast<int>(ranges.size());
}

} // namespace lumivar
