// Statement compilation: blocks, assignments and calls, IF, WHILE, REPEAT, FOR, CASE, TRY,
// GOTO and labels, EXIT, BREAK and CONTINUE, with their jumps and the statement position
// records. Forward jumps are written with a placeholder offset and patched; every offset
// is relative to the end of its instruction.
#include "script/compiler/ByteString.h"
#include "script/compiler/CompilerCore.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/compiler/StringTools.h"
#include "script/runtime/ImageFormat.h"
#include "script/runtime/Names.h"

#include <algorithm>

namespace lumivar::script {
namespace {

constexpr std::uint32_t kJumpPlaceholder = 0x12345678;
constexpr std::uint8_t kDebugPosition = 4;

// ocSetFlag modes and ocTryEnd kinds.
constexpr std::uint8_t kFlagWhenFalse = 1;
enum : std::uint8_t { kEndTryBody = 0, kEndFinally = 1, kEndExcept = 2, kEndFinally2 = 3 };

// The compare kind of a FOR test: TO runs while V <= B, DOWNTO while V >= B.
constexpr std::uint8_t kCompareLE = opLE - kFirstCompareOp;
constexpr std::uint8_t kCompareGE = opGE - kFirstCompareOp;

// Saves the innermost loop's jump lists and installs fresh ones for a new loop.
class TLoopScope {
public:
    explicit TLoopScope(TCompilerCore& core)
        : Core(core), SavedBreak(core.BreakList), SavedContinue(core.ContinueList) {
        Core.BreakList = &Breaks;
        Core.ContinueList = &Continues;
    }
    ~TLoopScope() {
        Core.BreakList = SavedBreak;
        Core.ContinueList = SavedContinue;
    }
    TLoopScope(const TLoopScope&) = delete;
    TLoopScope& operator=(const TLoopScope&) = delete;

    // BREAK jumps go to breakTarget, CONTINUE jumps to continueTarget.
    void Close(std::uint32_t breakTarget, std::uint32_t continueTarget) {
        Core.PatchList(Breaks, breakTarget);
        Core.PatchList(Continues, continueTarget);
    }

    std::vector<std::uint32_t> Breaks;
    std::vector<std::uint32_t> Continues;

private:
    TCompilerCore& Core;
    std::vector<std::uint32_t>* SavedBreak;
    std::vector<std::uint32_t>* SavedContinue;
};

} // namespace

// ---- Jumps ----

// opcode and a placeholder offset; the result is the offset's position.
std::uint32_t TCompilerCore::EmitJumpPlaceholder(std::uint8_t opcode) {
    Emit8(opcode);
    const std::uint32_t at = CodePos();
    Emit32(kJumpPlaceholder);
    return at;
}

void TCompilerCore::EmitJumpBack(std::uint32_t target) {
    Emit8(ocJump);
    Emit32(target - (CodePos() + 4));
}

void TCompilerCore::PatchJump(std::uint32_t offsetPos, std::uint32_t instructionEnd, std::uint32_t target) {
    PatchU32(CurProc->Code, offsetPos, target - instructionEnd);
}

// Entries are positions just after a jump's offset (the end of an ocJump).
void TCompilerCore::PatchList(const std::vector<std::uint32_t>& list, std::uint32_t target) {
    for (const std::uint32_t entry : list) PatchJump(entry - 4, entry, target);
}

// ocJumpFalse with a placeholder offset and cond; offsetPos receives the offset's position.
void TCompilerCore::EmitJumpFalse(const TExprNode& cond, const char* internalCode, std::uint32_t& offsetPos) {
    offsetPos = EmitJumpPlaceholder(ocJumpFalse);
    WriteOperandOr(cond, false, internalCode);
}

void TCompilerCore::Expect(TPasToken token, std::uint8_t errorCode) {
    if (Parser.Token != token) Error(errorCode);
}

void TCompilerCore::DebugMarker() {
    if (Owner.OnWriteLine && !Owner.OnWriteLine(Owner, Parser.TokenPos)) return;
    AppendU8(DebugOutput, kDebugPosition);
    AppendU32(DebugOutput, CurProcNo);
    AppendU32(DebugOutput, CodePos());
    AppendU32(DebugOutput, Parser.TokenPos);
}

// ---- Blocks ----

// Block kinds main, procedure body and compound start at BEGIN; the main block ends at
// END "." and a body at END ";", the others leave their terminator to the caller.
void TCompilerCore::CompileBlock(TBlockKind kind) {
    TNesting nesting(*this);
    if (kind == bkMain || kind == bkProcBody || kind == bkCompound) Parser.Next();
    const bool single = kind == bkStatement || kind == bkThenPart;
    for (bool done = false; !done;) {
        switch (Parser.Token) {
        case ttEOF: Error(ceUnexpectedEndOfFile);
        case ttIdentifier:
            if (PlaceLabel()) continue;
            CompileAssignOrCall();
            break;
        case ttSemicolon: Parser.Next(); break;
        case ttBegin:
            CompileBlock(bkCompound);
            Parser.Next();
            break;
        case ttIf: CompileIf(); break;
        case ttCase: CompileCase(); break;
        case ttFor: CompileFor(); break;
        case ttWhile: CompileWhile(); break;
        case ttRepeat: CompileRepeat(); break;
        case ttTry: CompileTry(); break;
        case ttGoto: CompileGoto(); break;
        case ttExit:
            DebugMarker();
            Emit8(ocReturn);
            Parser.Next();
            continue; // EXIT does not end a single-statement block
        case ttBreak:
        case ttContinue: CompileBreakContinue(Parser.Token == ttBreak); break;
        case ttElse:
            if (kind != bkThenPart) Error(ceIdentifierExpected);
            done = true;
            continue;
        case ttEnd:
            if (kind == bkRepeatBody || kind == bkTryBody) Error(ceIdentifierExpected);
            done = true;
            continue;
        case ttUntil:
            DebugMarker();
            if (kind != bkRepeatBody) Error(ceIdentifierExpected);
            done = true;
            continue;
        case ttExcept:
        case ttFinally:
            if (kind != bkTryBody && kind != bkHandlerBody) Error(ceEndExpected);
            done = true;
            continue;
        default: Error(ceIdentifierExpected);
        }
        if (single) return;
    }
    if (kind == bkMain || kind == bkProcBody) {
        Emit8(ocReturn);
        Parser.Next();
        if (kind == bkMain) {
            // Nothing after the final "." is scanned: trailing text is ignored.
            Expect(ttPeriod, cePeriodExpected);
        } else {
            Expect(ttSemicolon, ceSemicolonExpected);
            Parser.Next();
        }
    }
}

// Statement -> Designator ":=" Expr | Call
void TCompilerCore::CompileAssignOrCall() {
    DebugMarker();
    TNodePtr node = ResolveIdentifier(rmStatement);
    switch (node->Kind) {
    case nkCall: EmitCall(node->Flags, node->ProcNo, node->Args, nullptr); return;
    case nkProcVarCall: EmitProcVarCall(node->Flags, *node->Inner, node->Args, nullptr); return;
    case nkVariable: {
        Expect(ttAssignment, ceAssignmentExpected);
        Parser.Next();
        TNodePtr value = ParseExpression(ttSemicolon);
        CompileInto(*value, *node);
        return;
    }
    default: Error(ceTypeMismatch, {}, node->Position); // a statement that starts with a type name
    }
}

// IfStatement -> IF Expr THEN Statement [ELSE Statement]
void TCompilerCore::CompileIf() {
    DebugMarker();
    Parser.Next();
    TNodePtr cond = ParseExpression(ttThen);
    Expect(ttThen, ceThenExpected);
    TNodePtr reg = AllocTemp(BooleanTypeNo());
    CompileInto(*cond, *reg);
    Emit8(ocSetFlag);
    WriteOperandOr(*reg, false, "00018");
    Emit8(kFlagWhenFalse);
    FreeTemp(*reg);
    const std::uint32_t toElse = EmitJumpPlaceholder(ocJumpFlag);
    Parser.Next();
    CompileBlock(bkThenPart);
    if (Parser.Token == ttElse) {
        const std::uint32_t toEnd = EmitJumpPlaceholder(ocJump);
        PatchJump(toElse, toElse + 4, CodePos());
        Parser.Next();
        CompileBlock(bkStatement);
        PatchJump(toEnd, toEnd + 4, CodePos());
    } else {
        PatchJump(toElse, toElse + 4, CodePos());
    }
}

// WhileStatement -> WHILE Expr DO Statement
void TCompilerCore::CompileWhile() {
    DebugMarker();
    Parser.Next();
    TNodePtr cond = ParseExpression(ttDo);
    Expect(ttDo, ceDoExpected);
    TNodePtr reg = AllocTemp(BooleanTypeNo());
    std::uint32_t bodyStart = 0;
    {
        TLoopScope loop(*this);
        const std::uint32_t start = CodePos();
        CompileInto(*cond, *reg);
        Parser.Next();
        std::uint32_t exitJump = 0;
        EmitJumpFalse(*reg, "00017", exitJump);
        const std::uint32_t exitEnd = CodePos();
        bodyStart = exitJump + 4;
        CompileBlock(bkStatement);
        DebugMarker();
        EmitJumpBack(start);
        PatchJump(exitJump, exitEnd, CodePos());
        loop.Close(CodePos(), start);
    }
    FreeTemp(*reg);
    CheckJumps(bodyStart, CodePos());
}

// RepeatStatement -> REPEAT {Statement} UNTIL Expr
// CONTINUE goes to the first statement of the body, without testing the condition.
void TCompilerCore::CompileRepeat() {
    DebugMarker();
    Parser.Next();
    TNodePtr reg;
    std::uint32_t start = 0;
    {
        TLoopScope loop(*this);
        reg = AllocTemp(BooleanTypeNo());
        start = CodePos();
        CompileBlock(bkRepeatBody);
        Parser.Next();
        TNodePtr cond = ParseExpression(ttSemicolon);
        CompileInto(*cond, *reg);
        std::uint32_t back = 0;
        EmitJumpFalse(*reg, "00016", back);
        PatchJump(back, CodePos(), start);
        loop.Close(CodePos(), start);
    }
    FreeTemp(*reg);
    CheckJumps(start, CodePos());
}

// ForStatement -> FOR Variable ":=" Expr (TO | DOWNTO) Expr DO Statement
// The limit is evaluated anew at every test; after a complete run V holds the first value
// beyond it.
void TCompilerCore::CompileFor() {
    DebugMarker();
    Parser.Next();
    Expect(ttIdentifier, ceIdentifierExpected);
    TNodePtr var = ResolveIdentifier(rmVariable);
    const TTypeNo varType = TypeOfNode(*var);
    const std::uint8_t kind = KindOf(varType);
    if (var->Kind != nkVariable || kind < btU8 || kind > btS32) Error(ceTypeMismatch); // at the token after V
    Expect(ttAssignment, ceAssignmentExpected);
    Parser.Next();
    TNodePtr from = ParseExpression(ttDownto);
    if (Parser.Token != ttTo && Parser.Token != ttDownto) Error(ceToExpected);
    const bool up = Parser.Token == ttTo;
    Parser.Next();
    TNodePtr limit = ParseExpression(ttDo);
    Expect(ttDo, ceDoExpected);
    Parser.Next();
    CompileInto(*from, *var);
    TNodePtr reg = AllocTemp(BooleanTypeNo());
    const std::uint32_t start = CodePos();
    PrepareOperand(*var, kNoType);
    PrepareOperand(*limit, varType);
    Emit8(ocCompare);
    Emit8(up ? kCompareLE : kCompareGE);
    WriteOperandOr(*reg, false, "00013");
    WriteOperandOr(*var, true, "00013");
    WriteOperandOr(*limit, true, "00014");
    ReleaseOperand(*limit);
    ReleaseOperand(*var);
    std::uint32_t exitJump = 0;
    EmitJumpFalse(*reg, "00017", exitJump);
    const std::uint32_t bodyStart = CodePos();
    {
        TLoopScope loop(*this);
        CompileBlock(bkStatement);
        const std::uint32_t step = CodePos();
        const std::size_t width = kind <= btS8 ? 1 : kind <= btS16 ? 2 : 4;
        PrepareOperand(*var, kNoType);
        Emit8(ocCalc);
        Emit8(up ? opAdd : opSub);
        WriteOperandOr(*var, false, "00019");
        Emit8(okConstant);
        WriteConstant({varType, std::string("\x01\0\0\0", width)});
        ReleaseOperand(*var);
        EmitJumpBack(start);
        PatchJump(exitJump, bodyStart, CodePos());
        loop.Close(CodePos(), step);
    }
    FreeTemp(*reg);
    CheckJumps(bodyStart, CodePos());
}

// CaseStatement -> CASE Expr OF {Expr ":" Statement [";"]} [ELSE Statement [";"]] END
// Each branch has one value, any expression, compared with "=" when its branch is tested.
void TCompilerCore::CompileCase() {
    DebugMarker();
    Parser.Next();
    TNodePtr selector = ParseExpression(ttOf);
    Expect(ttOf, ceOfExpected);
    Parser.Next();
    const TTypeNo selectorType = TypeOfNode(*selector);
    if (selectorType == kNoType) Error(ceTypeMismatch, {}, selector->Position);
    TNodePtr value = AllocTemp(selectorType);
    CompileInto(*selector, *value);
    TNodePtr reg = AllocTemp(BooleanTypeNo());
    const std::uint32_t start = CodePos();
    std::vector<std::uint32_t> endJumps;
    while (Parser.Token != ttElse && Parser.Token != ttEnd) {
        TNodePtr label = ParseExpression(ttColon);
        Expect(ttColon, ceColonExpected);
        Parser.Next();
        TExprNode test;
        test.Kind = nkCalc;
        test.Position = label->Position;
        test.Op = opEQ;
        test.ResultType = BooleanTypeNo();
        test.Left = std::move(label);
        test.Right = MakeNode(nkTemp, value->Position);
        test.Right->Address = value->Address;
        CompileInto(test, *reg);
        std::uint32_t next = 0;
        EmitJumpFalse(*reg, "00017", next);
        const std::uint32_t nextEnd = CodePos();
        CompileBlock(bkThenPart);
        endJumps.push_back(EmitJumpPlaceholder(ocJump) + 4);
        PatchJump(next, nextEnd, CodePos());
        if (Parser.Token == ttSemicolon) Parser.Next();
    }
    if (Parser.Token == ttElse) {
        Parser.Next();
        CompileBlock(bkStatement);
        if (Parser.Token == ttSemicolon) Parser.Next();
        Expect(ttEnd, ceEndExpected);
    }
    Parser.Next();
    PatchList(endJumps, CodePos());
    FreeTemp(*reg);
    FreeTemp(*value);
    CheckJumps(start, CodePos());
}

// TryStatement -> TRY {Statement} (EXCEPT {Statement} [FINALLY {Statement}]
//                                 | FINALLY {Statement} [EXCEPT {Statement}]) END
// ocTryBegin's four offsets (finally, except, second finally, end) are relative to the end
// of the instruction; those of absent parts stay 0xFFFFFFFF.
void TCompilerCore::CompileTry() {
    Emit8(ocTryBegin);
    const std::uint32_t operands = CodePos();
    for (int i = 0; i < 4; ++i) Emit32(kNoTryOffset);
    const std::uint32_t base = operands + 16;
    enum { kFinally = 0, kExcept = 1, kFinally2 = 2, kEnd = 3 };
    auto setOffset = [&](int which) { PatchU32(CurProc->Code, operands + 4 * which, CodePos() - base); };
    auto part = [&](int which) {
        setOffset(which);
        Parser.Next();
        CompileBlock(bkHandlerBody);
    };
    auto endPart = [&](std::uint8_t kind) {
        Emit8(ocTryEnd);
        Emit8(kind);
    };
    Parser.Next();
    CompileBlock(bkTryBody);
    endPart(kEndTryBody);
    // The part that comes first decides which second part may follow.
    const bool exceptFirst = Parser.Token == ttExcept;
    part(exceptFirst ? kExcept : kFinally);
    endPart(exceptFirst ? kEndExcept : kEndFinally);
    if (Parser.Token == (exceptFirst ? ttFinally : ttExcept)) {
        part(exceptFirst ? kFinally2 : kExcept);
        Expect(ttEnd, ceEndExpected);
        endPart(exceptFirst ? kEndFinally2 : kEndExcept);
    } else {
        Expect(ttEnd, ceEndExpected);
    }
    Parser.Next();
    setOffset(kEnd);
}

// ---- Labels and jumps out of the structure ----

// Label ":" at a statement start moves the label to the current code position.
bool TCompilerCore::PlaceLabel() {
    const std::uint32_t hash = MakeHash(Parser.TokenText);
    for (TLabelEntry& label : CurProc->Labels) {
        if (label.NameHash != hash || label.Name != Parser.TokenText) continue;
        label.Position = CodePos();
        Parser.Next();
        Expect(ttColon, ceColonExpected);
        Parser.Next();
        return true;
    }
    return false;
}

// GotoStatement -> GOTO Label
void TCompilerCore::CompileGoto() {
    DebugMarker();
    Parser.Next();
    const std::uint32_t hash = MakeHash(Parser.TokenText);
    const auto& labels = CurProc->Labels;
    const auto it = std::find_if(labels.begin(), labels.end(), [&](const TLabelEntry& l) {
        return Parser.Token == ttIdentifier && l.NameHash == hash && l.Name == Parser.TokenText;
    });
    if (it == labels.end()) Error(ceUnknownIdentifier, Parser.OriginalToken);
    Parser.Next();
    const std::uint32_t at = EmitJumpPlaceholder(ocJump);
    CurProc->Gotos.push_back({at + 4, static_cast<std::uint32_t>(it - labels.begin())});
}

void TCompilerCore::CompileBreakContinue(bool isBreak) {
    if (!BreakList) Error(ceNotInLoop);
    const std::uint32_t at = EmitJumpPlaceholder(ocJump);
    (isBreak ? BreakList : ContinueList)->push_back(at + 4);
    Parser.Next();
}

void TCompilerCore::ResolveGotos(TIFPSProcedure& proc) {
    for (const TLabelEntry& label : proc.Labels)
        if (label.Position == kLabelNotPlaced) Error(ceLabelNotSet, label.Name);
    for (auto it = proc.Gotos.rbegin(); it != proc.Gotos.rend(); ++it)
        PatchU32(proc.Code, it->Position - 4, proc.Labels[it->LabelIndex].Position - it->Position);
}

// A GOTO may neither leave nor enter the code range [from, to] of a loop or CASE.
void TCompilerCore::CheckJumps(std::uint32_t from, std::uint32_t to) {
    auto inside = [&](std::uint32_t pos) { return pos >= from && pos <= to; };
    const auto& labels = CurProc->Labels;
    for (const TGotoEntry& g : CurProc->Gotos) {
        const bool labelInside = inside(labels[g.LabelIndex].Position);
        if (inside(g.Position) != labelInside) Error(ceInvalidJump);
    }
}

} // namespace lumivar::script
