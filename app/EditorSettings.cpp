// The main window's stored settings: the window placement (section "FormRect") and the
// editor's font, right margin, colours and tab width (section "Memo") with the extension list
// (section "ExtList").
#include "app/ScriptEditor.h"

#include <QGuiApplication>
#include <QScreen>

namespace lumivar {
namespace {

const QString kPlacementSection = QStringLiteral("FormRect");
const QString kMemoSection = QStringLiteral("Memo");
const QString kExtListSection = QStringLiteral("ExtList");

enum StoredWindowState : int { kNormal = 0, kMinimised = 1, kMaximised = 2 };

// Tab widths the settings dialog offers; a stored width outside them is malformed.
constexpr int kMinTabWidth = 1;
constexpr int kMaxTabWidth = 16;

// The colour to store for a painted colour: the remembered value while it still paints the
// same, so that a system colour such as clWindow keeps its name; else the painted colour.
TColor StoredColor(const QColor& painted, TColor remembered, const QPalette& palette) {
    return ResolveColor(remembered, palette, QColor()) == painted ? remembered : ColorFromQColor(painted);
}

QList<QRect> AvailableScreens() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas.append(screen->availableGeometry());
    return areas;
}

} // namespace

void TfScriptEditor::StorePlacement(bool save) {
    const int state = isMaximized() ? kMaximised : isMinimized() ? kMinimised : kNormal;
    if (save) {
        Reg.writeInteger(kPlacementSection, QStringLiteral("WindowState"), state);
        Reg.writeRect(kPlacementSection, QStringLiteral("Rect"), geometry());
        return;
    }
    const QRect rect = Reg.readRect(kPlacementSection, QStringLiteral("Rect"), geometry());
    setGeometry(KeepOnScreens(rect, AvailableScreens()));
    switch (Reg.readInteger(kPlacementSection, QStringLiteral("WindowState"), state)) {
    case kNormal: setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)); break;
    case kMinimised: setWindowState((windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized); break;
    case kMaximised: setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized); break;
    default: break; // not a state: the window keeps its own
    }
}

void TfScriptEditor::StoreEditorSettings(bool save) {
    const QPalette colours = palette();
    const StoredFont font = StoredFont::fromQFont(MemoFont(), MemoFontColor);
    const TColor edgeColor = StoredColor(Memo->edgeColor(), RightEdgeColorValue, colours);
    const TColor paper = StoredColor(MemoColor(), MemoColorValue, colours);
    if (save) {
        Reg.writeFont(kMemoSection, QStringLiteral("Font"), font);
        Reg.writeInteger(kMemoSection, QStringLiteral("RightEdge"), Memo->edgeColumn());
        Reg.writeColor(kMemoSection, QStringLiteral("RightEdgeColor"), edgeColor);
        Reg.writeColor(kMemoSection, QStringLiteral("Color"), paper);
        Reg.writeInteger(kMemoSection, QStringLiteral("TabWidth"), Memo->tabWidth());
        Reg.writeStringList(kExtListSection, ExtList);
        return;
    }
    const StoredFont readFont = Reg.readFont(kMemoSection, QStringLiteral("Font"), font);
    MemoFontColor = readFont.color;
    SetMemoFont(readFont.toQFont(MemoFont()));
    Memo->setColor(ResolveColor(MemoFontColor, colours, Memo->color()));

    const int edge = Reg.readInteger(kMemoSection, QStringLiteral("RightEdge"), Memo->edgeColumn());
    if (edge >= 0) Memo->setEdgeColumn(edge);
    RightEdgeColorValue = Reg.readColor(kMemoSection, QStringLiteral("RightEdgeColor"), edgeColor);
    Memo->setEdgeColor(ResolveColor(RightEdgeColorValue, colours, Memo->edgeColor()));
    MemoColorValue = Reg.readColor(kMemoSection, QStringLiteral("Color"), paper);
    SetMemoColor(ResolveColor(MemoColorValue, colours, MemoColor()));

    const int tabWidth = Reg.readInteger(kMemoSection, QStringLiteral("TabWidth"), Memo->tabWidth());
    if (tabWidth >= kMinTabWidth && tabWidth <= kMaxTabWidth) Memo->setTabWidth(tabWidth);
    ExtList = Reg.readStringList(kExtListSection);
}

} // namespace lumivar
