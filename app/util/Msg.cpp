// Message boxes and questions over the replaceable prompter: the table of message kinds, the
// default captions, and the prompter in force.
#include "app/util/Msg.h"

#include "app/util/InteractivePrompter.h"

#include <array>

namespace lumivar {
namespace {

struct MsgKindRow {
    const char* caption; // UTF-8; nullptr for mkPlain, which takes the application title
    int flags;
};

// One row per TMsgKind value, in value order.
constexpr std::array<MsgKindRow, 5> kMsgKinds = {{
    {nullptr, 0},
    {"Для информации.", MB_ICONINFORMATION},
    {"?", MB_ICONQUESTION},
    {"Предупреждение!", MB_ICONWARNING | MB_SYSTEMMODAL},
    {"Ошибка!", MB_ICONERROR},
}};
static_assert(kMsgKinds.size() == mkError + 1);
static_assert(kMsgKinds[mkWarning].flags == 0x1030);

const MsgKindRow* KindRow(int kind) {
    if (kind < 0 || kind >= int(kMsgKinds.size())) return nullptr;
    return &kMsgKinds[kind];
}

QString& TitleStore() {
    static QString title = QStringLiteral("Lumivar");
    return title;
}

Prompter*& CurrentPrompterSlot() {
    static Prompter* current = nullptr;
    return current;
}

} // namespace

int MsgFlags(int kind) {
    const MsgKindRow* row = KindRow(kind);
    return row ? row->flags : 0;
}

QString DefaultCaption(int kind) {
    const MsgKindRow* row = KindRow(kind);
    if (!row) return {};
    return row->caption ? QString::fromUtf8(row->caption) : ApplicationTitle();
}

QString ApplicationTitle() { return TitleStore(); }

void SetApplicationTitle(const QString& title) { TitleStore() = title; }

int ShowMsg(const QString& text, const QString& caption, int kind) {
    const QString shown = caption.isEmpty() ? DefaultCaption(kind) : caption;
    return CurrentPrompter().messageBox(text, shown, MsgFlags(kind));
}

bool AskYesNo(const QString& text, const QString& caption) {
    return CurrentPrompter().messageBox(text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ReportError(const QString& text) { CurrentPrompter().errorReport(text); }

Prompter& CurrentPrompter() {
    static InteractivePrompter interactive;
    Prompter* current = CurrentPrompterSlot();
    return current ? *current : interactive;
}

ScopedPrompter::ScopedPrompter(Prompter& prompter) : previous_(CurrentPrompterSlot()) {
    CurrentPrompterSlot() = &prompter;
}

ScopedPrompter::~ScopedPrompter() { CurrentPrompterSlot() = previous_; }

} // namespace lumivar
