// Returns and try blocks: ocReturn with the finally blocks it has to run first, ocTryBegin and
// the four block ends of ocTryEnd. A frame's positions are cleared as their blocks are entered,
// so each block runs at most once per frame; an error stays pending (ErrorCode) while finally
// blocks run, and is reported again to the next frame when a frame is done.
#include "Exec.h"

namespace lumivar::script {

// ocReturn. Frames of the returning call are settled first: one with a finally block left to
// run diverts the return into it (the pending return position brings control back here when
// the block ends); one with nothing left to run is removed. Leaving an except block this way
// handles its error; leaving a finally block that runs for an error lets the error go on.
bool TScriptExec::DoReturn() {
    PendingReturn_ = Position_ - 1;
    while (!TryStack_.empty() && TryStack_.back().StackBase >= StackBase_) {
        TIFTryFrame& frame = TryStack_.back();
        CutStack(frame.StackSize);
        StackBase_ = frame.StackBase;
        if (frame.InExcept) {
            frame.InExcept = false;
            SetError(kNoProc, kNoPosition, 0, {});
        }
        if (frame.FinallyPos != kNoTryOffset) {
            Position_ = frame.FinallyPos;
            frame.FinallyPos = kNoTryOffset;
            return true;
        }
        if (frame.Finally2Pos != kNoTryOffset) {
            Position_ = frame.Finally2Pos;
            frame.Finally2Pos = frame.ExceptPos = kNoTryOffset;
            return true;
        }
        TryStack_.pop_back();
        if (ErrorCode_ != 0) {
            SetError(ErrorProc_, ErrorPosition_, ErrorCode_, ErrorParam_);
            return false;
        }
    }
    PendingReturn_ = kNoPosition;
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
    TryStack_.push_back(
        {StackBase_, std::uint32_t(Stack_.size()), pos[0], pos[1], pos[2], pos[3], CurrentProc_});
    return true;
}

// Removes the innermost frame; a pending error goes on to the next frame, otherwise control
// continues at the pending return, or after the construct.
bool TScriptExec::PopTryFrame() {
    const std::uint32_t end = TryStack_.back().EndPos;
    TryStack_.pop_back();
    if (ErrorCode_ != 0) {
        SetError(ErrorProc_, ErrorPosition_, ErrorCode_, ErrorParam_);
        return false;
    }
    Position_ = PendingReturn_ != kNoPosition ? PendingReturn_ : end;
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
        if (ErrorCode_ != 0 && frame.ExceptPos != kNoTryOffset) {
            frame.InExcept = true;
            return enter(frame.ExceptPos);
        }
        if (frame.Finally2Pos != kNoTryOffset) return enter(frame.Finally2Pos);
        return PopTryFrame();
    case 2:
        SetError(kNoProc, kNoPosition, 0, {}); // the error is handled
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
