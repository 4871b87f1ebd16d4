// Returns and try blocks: ocReturn with the finally blocks it has to run first, ocTryBegin and
// the four block ends of ocTryEnd. A frame's positions are cleared as their blocks are entered,
// so each block runs at most once per frame; an error stays pending with its frame while the
// frame's blocks run, and is reported again to the next frame when the frame is done.
#include "Exec.h"

namespace lumivar::script {

// ocReturn. Frames of the returning call are settled first: one with a finally block left to
// run diverts the return into it (the frame keeps the return's position, which brings control
// back here when the frame is done); one with nothing left to run is removed. Leaving an except
// block this way handles its error; leaving a finally block that runs for an error abandons the
// return and lets the error go on, as the end of that block would.
bool TScriptExec::DoReturn() {
    const std::uint32_t returnPos = Position_ - 1;
    while (!TryStack_.empty() && TryStack_.back().StackBase >= StackBase_) {
        TIFTryFrame& frame = TryStack_.back();
        CutStack(frame.StackSize);
        StackBase_ = frame.StackBase;
        if (frame.InExcept) {
            frame.InExcept = false;
            frame.Error = {};
            SetError(kNoProc, kNoPosition, 0, {});
        }
        if (frame.Error.Code != 0) {
            const TPendingError error = frame.Error;
            SetError(error.Proc, error.Position, error.Code, error.Param);
            return false;
        }
        if (frame.FinallyPos != kNoTryOffset) {
            Position_ = frame.FinallyPos;
            frame.FinallyPos = kNoTryOffset;
            frame.ReturnPos = returnPos;
            return true;
        }
        if (frame.Finally2Pos != kNoTryOffset) {
            Position_ = frame.Finally2Pos;
            frame.Finally2Pos = frame.ExceptPos = kNoTryOffset;
            frame.ReturnPos = returnPos;
            return true;
        }
        TryStack_.pop_back();
    }
    if (StackBase_ == -1) { // the main procedure ends the run
        State_ = TExecState::Ready;
        return true;
    }
    if (StackBase_ < 0 || std::size_t(StackBase_) >= Stack_.size() ||
        KindOf(*Stack_[std::size_t(StackBase_)]) != vkReturnAddress)
        return Fail(TExecError::StackOutOfRange); // the frame's return address was popped
    TIFValue* ret = Stack_[std::size_t(StackBase_)];
    const TReturnAddress caller = ret->Payload.Return;
    CutStack(std::size_t(StackBase_) + 1);
    ReleaseValue(Pool_, ret);
    Stack_.pop_back();
    CurrentProc_ = caller.Proc;
    Position_ = caller.Position;
    StackBase_ = caller.StackBase;
    if (!CurrentProc_) State_ = TExecState::Suspended; // called from outside the interpreter
    return true;
}

// ocTryBegin finally, except, finally2, end: offsets relative to the next instruction.
bool TScriptExec::DoTryBegin() {
    std::uint32_t pos[4] = {};
    for (std::uint32_t& p : pos)
        if (!Fetch32(p)) return false;
    for (std::uint32_t& p : pos) {
        if (p == kNoTryOffset) continue;
        p += Position_;
        if (p >= CurrentProc_->Code.size()) return Fail(TExecError::OutOfRange);
    }
    if (TryStack_.size() >= kMaxTryFrames) return Fail(TExecError::OutOfMemory);
    TIFTryFrame frame;
    frame.StackBase = StackBase_;
    frame.StackSize = std::uint32_t(Stack_.size());
    frame.FinallyPos = pos[0];
    frame.ExceptPos = pos[1];
    frame.Finally2Pos = pos[2];
    frame.EndPos = pos[3];
    frame.Proc = CurrentProc_;
    TryStack_.push_back(std::move(frame));
    return true;
}

// Removes the innermost frame; its pending error goes on to the next frame, otherwise control
// continues at its pending return, or after the construct.
bool TScriptExec::PopTryFrame() {
    TIFTryFrame frame = std::move(TryStack_.back());
    TryStack_.pop_back();
    if (frame.Error.Code != 0) {
        SetError(frame.Error.Proc, frame.Error.Position, frame.Error.Code,
                 std::move(frame.Error.Param));
        return false;
    }
    Position_ = frame.ReturnPos != kNoTryOffset ? frame.ReturnPos : frame.EndPos;
    return true;
}

// ocTryEnd kind: 0 end of the try body, 1 of the finally block, 2 of the except block, 3 of
// the second finally block.
bool TScriptExec::DoTryEnd() {
    std::uint8_t kind = 0;
    if (!Fetch8(kind)) return false;
    if (TryStack_.empty()) return Fail(TExecError::OutOfRange);
    TIFTryFrame& frame = TryStack_.back();
    const auto enter = [this](std::uint32_t& pos) {
        Position_ = pos;
        pos = kNoTryOffset;
        return true;
    };
    switch (kind) {
    case 0:
        if (frame.FinallyPos != kNoTryOffset) return enter(frame.FinallyPos);
        if (frame.Finally2Pos != kNoTryOffset) {
            frame.ExceptPos =
                kNoTryOffset; // an error in that block no longer enters the except block
            return enter(frame.Finally2Pos);
        }
        return PopTryFrame();
    case 1:
        if (frame.Error.Code != 0 && frame.ExceptPos != kNoTryOffset) {
            frame.InExcept = true;
            return enter(frame.ExceptPos);
        }
        if (frame.Finally2Pos != kNoTryOffset) return enter(frame.Finally2Pos);
        return PopTryFrame();
    case 2:
        SetError(kNoProc, kNoPosition, 0, {}); // the error is handled
        frame.Error = {};
        frame.InExcept = false;
        if (frame.Finally2Pos != kNoTryOffset) return enter(frame.Finally2Pos);
        return PopTryFrame();
    case 3:
        return PopTryFrame();
    default:
        return Fail(TExecError::InvalidParameter);
    }
}

} // namespace lumivar::script
