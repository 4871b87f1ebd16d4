// A prompter for tests: it records every modal interaction the code under test asks for and
// answers from queues filled by the test, one queue per kind of interaction. An interaction
// without a queued answer gets the harmless answer: OK, No, cancel, or reject.
#pragma once

#include "app/util/Msg.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace lumivar::test {

enum class Interaction { MessageBox, ErrorReport, OpenFile, SaveFile, Font, Color, Dialog };

// One request as the code under test made it; fields that do not apply stay empty.
struct PromptRecord {
    Interaction kind = Interaction::MessageBox;
    QString text;     // message or error text
    QString caption;  // message-box caption, or the title of a file/font/colour dialog or window
    int flags = 0;    // message-box flags
    QString filter;   // file dialogs
    QString fileName; // file dialogs: the starting name
    int filterIndex = 0;
    QFont font;       // font dialog: the initial font
    QColor color;     // colour dialog: the initial colour
    QString className; // modal window: its class name
};

class TestPrompter final : public Prompter {
public:
    // Installs itself for its lifetime and restores the previous prompter after.
    TestPrompter();

    // Answers are used in the order queued.
    void answerMessage(int buttonCode) { messageAnswers_.push_back(buttonCode); }
    void answerYes() { answerMessage(IDYES); }
    void answerNo() { answerMessage(IDNO); }
    void answerOpenFile(std::optional<QString> path) { openAnswers_.push_back(std::move(path)); }
    void answerSaveFile(std::optional<QString> path) { saveAnswers_.push_back(std::move(path)); }
    void answerFont(std::optional<QFont> font) { fontAnswers_.push_back(std::move(font)); }
    void answerColor(std::optional<QColor> color) { colorAnswers_.push_back(std::move(color)); }
    // The handler may work with the window (fill fields, press buttons) and returns its result.
    void answerDialog(std::function<int(QDialog&)> handler) { dialogAnswers_.push_back(std::move(handler)); }

    const std::vector<PromptRecord>& records() const { return records_; }
    // The records of one kind, in order.
    std::vector<PromptRecord> records(Interaction kind) const;
    // The last record; fails the current test when there is none.
    const PromptRecord& last() const;
    // True when every queued answer has been used.
    bool answersUsed() const;
    void clear();

    int messageBox(const QString& text, const QString& caption, int flags) override;
    void errorReport(const QString& text) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial, const QString& title) override;
    std::optional<QColor> chooseColor(const QColor& initial, const QString& title) override;
    int execDialog(QDialog& dialog) override;

private:
    std::optional<QString> fileAnswer(Interaction kind, const FileDialogRequest& request,
                                      std::deque<std::optional<QString>>& answers);

    ScopedPrompter scope_;
    std::vector<PromptRecord> records_;
    std::deque<int> messageAnswers_;
    std::deque<std::optional<QString>> openAnswers_;
    std::deque<std::optional<QString>> saveAnswers_;
    std::deque<std::optional<QFont>> fontAnswers_;
    std::deque<std::optional<QColor>> colorAnswers_;
    std::deque<std::function<int(QDialog&)>> dialogAnswers_;
};

} // namespace lumivar::test
