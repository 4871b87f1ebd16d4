// The editor's search-and-replace operation: from the caret, in one direction, over the rest
// of the text; it never wraps around and never asks. Returns how many occurrences it found or
// replaced.
#pragma once

#include <QFlags>
#include <QString>

class QsciScintilla;

namespace lumivar {

enum class TSearchOption {
    MatchCase = 0x1,
    WholeWord = 0x2,
    Backwards = 0x4,  // towards the start of the text
    Replace = 0x8,    // replace the first occurrence
    ReplaceAll = 0x10 // replace every occurrence up to the end (the start, backwards)
};
Q_DECLARE_FLAGS(TSearchOptions, TSearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSearchOptions)

// A plain search selects the first occurrence (the caret at its end forwards, at its start
// backwards, so that the next search in the same direction goes on from there); a replace
// leaves the caret after the last replacement (before it, backwards); replacing every
// occurrence is one undo step. An empty text to find finds nothing.
int SearchReplace(QsciScintilla& editor, const QString& find, const QString& replacement,
                  TSearchOptions options);

} // namespace lumivar
