// Recording, answering prompter for the editor's tests.
#include "tests/support/TestPrompter.h"

#include <QDialog>

#include <gtest/gtest.h>

namespace lumivar::test {
namespace {

template <typename T>
T TakeOr(std::deque<T>& queue, T fallback) {
    if (!queue.empty()) {
        fallback = queue.front();
        queue.pop_front();
    }
    return fallback;
}

} // namespace

TestPrompter::TestPrompter() : scope_(*this) {}

std::vector<PromptRecord> TestPrompter::records(Interaction kind) const {
    std::vector<PromptRecord> result;
    for (const PromptRecord& r : records_)
        if (r.kind == kind) result.push_back(r);
    return result;
}

const PromptRecord& TestPrompter::last() const {
    static const PromptRecord none;
    EXPECT_FALSE(records_.empty()) << "no interaction was requested";
    return records_.empty() ? none : records_.back();
}

bool TestPrompter::answersUsed() const {
    return messageAnswers_.empty() && openAnswers_.empty() && saveAnswers_.empty() &&
           fontAnswers_.empty() && colorAnswers_.empty() && dialogAnswers_.empty();
}

void TestPrompter::clear() {
    records_.clear();
    messageAnswers_.clear();
    openAnswers_.clear();
    saveAnswers_.clear();
    fontAnswers_.clear();
    colorAnswers_.clear();
    dialogAnswers_.clear();
}

int TestPrompter::messageBox(const QString& text, const QString& caption, int flags) {
    PromptRecord r;
    r.kind = Interaction::MessageBox;
    r.text = text;
    r.caption = caption;
    r.flags = flags;
    records_.push_back(r);
    const int fallback = (flags & 0x0F) == MB_YESNO ? IDNO : IDOK;
    return TakeOr(messageAnswers_, fallback);
}

void TestPrompter::errorReport(const QString& text) {
    PromptRecord r;
    r.kind = Interaction::ErrorReport;
    r.text = text;
    records_.push_back(r);
}

std::optional<QString> TestPrompter::fileAnswer(Interaction kind, const FileDialogRequest& request,
                                                std::deque<std::optional<QString>>& answers) {
    PromptRecord r;
    r.kind = kind;
    r.caption = request.title;
    r.filter = request.filter;
    r.fileName = request.fileName;
    r.filterIndex = request.filterIndex;
    records_.push_back(r);
    return TakeOr(answers, std::optional<QString>());
}

std::optional<QString> TestPrompter::openFileName(const FileDialogRequest& request) {
    return fileAnswer(Interaction::OpenFile, request, openAnswers_);
}

std::optional<QString> TestPrompter::saveFileName(const FileDialogRequest& request) {
    return fileAnswer(Interaction::SaveFile, request, saveAnswers_);
}

std::optional<QFont> TestPrompter::chooseFont(const QFont& initial, const QString& title) {
    PromptRecord r;
    r.kind = Interaction::Font;
    r.caption = title;
    r.font = initial;
    records_.push_back(r);
    return TakeOr(fontAnswers_, std::optional<QFont>());
}

std::optional<QColor> TestPrompter::chooseColor(const QColor& initial, const QString& title) {
    PromptRecord r;
    r.kind = Interaction::Color;
    r.caption = title;
    r.color = initial;
    records_.push_back(r);
    return TakeOr(colorAnswers_, std::optional<QColor>());
}

int TestPrompter::execDialog(QDialog& dialog) {
    PromptRecord r;
    r.kind = Interaction::Dialog;
    r.caption = dialog.windowTitle();
    r.className = QString::fromLatin1(dialog.metaObject()->className());
    records_.push_back(r);
    std::function<int(QDialog&)> handler = TakeOr(dialogAnswers_, std::function<int(QDialog&)>());
    const int result = handler ? handler(dialog) : int(QDialog::Rejected);
    dialog.setResult(result);
    return result;
}

} // namespace lumivar::test
