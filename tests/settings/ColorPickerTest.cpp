// The colour picker: named colours, an unnamed colour, and the colour dialog for any other.
#include "settings/ColorPicker.h"

#include "tests/support/QtPrinters.h"
#include "tests/support/TestPrompter.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace lumivar {
namespace {

using test::Interaction;
using test::TestPrompter;

TEST(ColorPicker, NamedColourShowsItsName) {
    TColorPicker picker;
    picker.SetSelected(QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(picker.currentText(), "Silver");
    EXPECT_EQ(picker.Selected(), QColor(0xC0, 0xC0, 0xC0));
}

TEST(ColorPicker, ListsTheStandardColoursThenOther) {
    TColorPicker picker;
    EXPECT_EQ(picker.itemText(0), "Black");
    EXPECT_EQ(picker.itemText(picker.count() - 1), "Другой...");
    EXPECT_EQ(picker.count(), 21);
}

TEST(ColorPicker, UnnamedColourGetsOneEntry) {
    TColorPicker picker;
    const int named = picker.count();
    picker.SetSelected(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(picker.currentText(), "#123456");
    picker.SetSelected(QColor(0x65, 0x43, 0x21));
    EXPECT_EQ(picker.currentText(), "#654321");
    EXPECT_EQ(picker.count(), named + 1);
}

TEST(ColorPicker, OtherAsksTheColourDialog) {
    TestPrompter prompter;
    TColorPicker picker;
    picker.SetSelected(Qt::red);
    QSignalSpy changed(&picker, &TColorPicker::ColorChanged);
    prompter.answerColor(QColor(0x01, 0x02, 0x03));
    picker.activated(picker.count() - 1);
    EXPECT_EQ(prompter.last().kind, Interaction::Color);
    EXPECT_EQ(prompter.last().color, QColor(Qt::red));
    EXPECT_EQ(picker.Selected(), QColor(0x01, 0x02, 0x03));
    EXPECT_EQ(changed.count(), 1);
}

TEST(ColorPicker, CancelledColourDialogKeepsTheColour) {
    TestPrompter prompter;
    TColorPicker picker;
    picker.SetSelected(Qt::blue);
    picker.activated(picker.count() - 1);
    EXPECT_EQ(picker.Selected(), QColor(Qt::blue));
    EXPECT_EQ(picker.currentText(), "Blue");
}

TEST(ColorPicker, ChoosingAnEntryReportsItsColour) {
    TColorPicker picker;
    QSignalSpy changed(&picker, &TColorPicker::ColorChanged);
    picker.activated(1);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QColor>(), QColor(0x80, 0, 0));
    EXPECT_EQ(picker.currentText(), "Maroon");
}

} // namespace
} // namespace lumivar
