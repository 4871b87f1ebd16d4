// Set-up shared by the tests of the window's macros, search and settings dialog: empty
// settings, no association files left from an earlier test, and a shown, active window made
// as at start-up.
#pragma once

#include "app/ScriptEditor.h"
#include "settings/FileAssociations.h"
#include "settings/SettingsStore.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestPrompter.h"
#include "tests/support/WindowTesting.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace lumivar::test {

inline void ForgetAssociations() {
    const TAssociationFolders folders = UserAssociationFolders();
    QDir(folders.dataHome + "/mime").removeRecursively();
    QFile::remove(DesktopEntryPath(folders));
    QFile::remove(MimeAppsPath(folders));
}

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        QFile::remove(SettingsStore().fileName());
        ForgetAssociations();
        window_ = StartUp({});
        ASSERT_TRUE(ShowAndActivate(*window_));
    }
    void TearDown() override {
        window_.reset();
        QFile::remove(SettingsStore().fileName());
        ForgetAssociations();
    }

    // The editor's text with "@" at the caret.
    QString markedText() const {
        const QByteArray bytes = window_->Memo->text().toUtf8();
        const long caret = window_->Memo->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        return QString::fromUtf8(bytes.left(caret)) + '@' + QString::fromUtf8(bytes.mid(caret));
    }
    void setMarkedText(const QString& marked) {
        QString text = marked;
        text.remove('@');
        window_->Memo->LoadText(text);
        window_->Memo->SendScintilla(
            QsciScintillaBase::SCI_GOTOPOS,
            static_cast<long>(marked.left(marked.indexOf('@')).toUtf8().size()));
    }

    TestPrompter prompter_;
    std::unique_ptr<TfScriptEditor> window_;
};

} // namespace lumivar::test
