// TScriptExec, the executor: loads a compiled image into its runtime tables and runs it on a
// value stack, one instruction at a time. Every failure is a runtime error reported through the
// one virtual SetError, which hands control to the innermost try block or ends the run; no C++
// exception leaves an instruction, and nothing an image holds can make the executor touch
// memory outside its tables.
#pragma once

#include "script/runtime/ExecErrors.h"
#include "script/runtime/Values.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumivar::script {

class TScriptExec;

// A registered routine. It works on the value stack in place: parameter i (0-based, declaration
// order) of a routine with n parameters is stack[stack.size() - 1 - r - i], where r is 1 for a
// function (its result slot is the top) and 0 for a procedure. It must leave the stack's size as
// it found it; false (or an exception) makes the call fail with error 17.
using TProcHandler = std::function<bool(TScriptExec& exec, const TIFProcEntry& proc,
                                        TIFValueList& globals, TIFValueList& stack)>;

// Calling conventions of machine-level native routines.
enum class TCallingConvention : std::uint32_t { Register = 0, Pascal = 1, Cdecl = 2, Stdcall = 3 };

// A routine a host has registered. The call declaration is a byte string: byte 0 nonzero for a
// function, then one byte per parameter in declaration order, nonzero for a var parameter.
struct TIFRegisteredProc {
    std::string Name; // at most kMaxProcNameLength characters, compared case-sensitively
    std::uint32_t NameHash = 0;
    TProcHandler Handler;
    std::uint32_t Reserved = 0;
    std::uintptr_t NativeAddress =
        0; // entry point of a machine-level routine, 0 for in-process handlers
    TCallingConvention CallingConvention = TCallingConvention::Register;
    std::string Declaration;
};

// One procedure of the loaded image. Script procedures own their code; imported ones carry
// what their registration gave them.
struct TIFProcEntry {
    bool Imported = false;
    std::string_view Code;  // script procedure: its instruction stream, inside the loaded image
    std::string ExportName; // script procedure with an export record
    std::string ExportDecl;
    std::string Name;        // imported: the name it is bound by
    std::string Declaration; // imported: the call declaration
    TProcHandler Handler;
    std::uintptr_t NativeAddress = 0;
    TCallingConvention CallingConvention = TCallingConvention::Register;
};

// An error a try block's handlers run for: reported again to the next frame when the frame is
// done, unless its except block handles it. Code 0: none.
struct TPendingError {
    std::uint8_t Code = 0;
    std::uint32_t Proc = 0;
    std::uint32_t Position = 0;
    std::string Param;
};

// An active try block. Positions are absolute code offsets, kNoTryOffset once used or absent.
// The pending error and the pending return belong to the frame, so that try blocks nested in
// its handlers neither report its error early nor take over its return.
struct TIFTryFrame {
    std::int32_t StackBase = -1;
    std::uint32_t StackSize = 0;
    std::uint32_t FinallyPos = kNoTryOffset;
    std::uint32_t ExceptPos = kNoTryOffset;
    std::uint32_t Finally2Pos = kNoTryOffset;
    std::uint32_t EndPos = kNoTryOffset;
    const TIFProcEntry* Proc = nullptr; // the procedure that entered the block: an error
                                        // returns control there
    bool InExcept = false; // its except block runs: leaving it by a return handles the error
    TPendingError Error;   // the error its finally or except block runs for
    std::uint32_t ReturnPos = kNoTryOffset; // a return diverted into its finally block resumes here
};

enum class TExecState : std::uint8_t { Unloaded = 0, Ready = 1, Running = 2, Suspended = 3 };

inline constexpr std::size_t kMaxProcNameLength = 255;
inline constexpr std::uint32_t kNoProc = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoPosition = 0xFFFFFFFF;

class TScriptExec {
public:
    // One million values: deep enough for any sane recursion, bounded so that a runaway one
    // reports error 19 instead of taking the process's memory.
    static constexpr std::size_t kDefaultStackLimit = 1'000'000;
    // Active try blocks; beyond this a script that enters try blocks without leaving them gets 19.
    static constexpr std::size_t kMaxTryFrames = 100'000;

    TScriptExec();
    virtual ~TScriptExec();
    TScriptExec(const TScriptExec&) = delete;
    TScriptExec& operator=(const TScriptExec&) = delete;

    // Registers a routine under its name (cut to kMaxProcNameLength characters) before an image
    // is loaded; imported procedures bind to it by name. A name that is already registered keeps
    // its first registration: false.
    bool RegisterProc(std::string_view name, TProcHandler handler, std::string declaration);
    const TIFRegisteredProc* FindRegisteredProc(std::string_view name) const;

    // Builds the runtime tables from an image; true and state Ready when the whole image was
    // taken over. Otherwise false, state Unloaded, and the error fields say why (4 header, 14
    // version, 13 truncation, 2 type, 1 unknown import with its name, 3 other inconsistency,
    // 19 memory). Refused while a run is under way.
    virtual bool LoadImage(std::string_view image);

    // Runs the main procedure (state Ready) or resumes a suspended call. False when nothing can
    // run (no main procedure, wrong state); true otherwise, the outcome being ErrorCode.
    bool Run();
    // Calls one script procedure from outside: the caller has pushed its arguments (and the
    // result slot) onto Stack(). The run ends Suspended with them still on the stack, or Ready
    // when an error ended it. False when the state or procedure does not allow the call.
    bool RunProcedure(std::uint32_t proc);
    // Releases every value on the stack; a suspended executor becomes Ready again.
    void ReleaseStack();
    // Ends the run under way at once with this error, whatever try blocks are active (for
    // hosts that cancel a script from StepHook).
    void Stop(TExecError code, std::string param = {});

    // Records an error; a nonzero code during a run transfers control to the innermost try
    // block or ends the run.
    virtual void SetError(std::uint32_t proc, std::uint32_t position, std::uint8_t code,
                          std::string param);

    TExecState State() const { return State_; }
    std::uint8_t ErrorCode() const { return ErrorCode_; }
    std::uint32_t ErrorProc() const { return ErrorProc_; }
    std::uint32_t ErrorPosition() const { return ErrorPosition_; }
    const std::string& ErrorParam() const { return ErrorParam_; }

    TIFValuePool& Pool() { return Pool_; }
    const std::deque<TIFTypeRec>& Types() const { return TypeList_; }
    const std::vector<TIFProcEntry>& Procs() const { return ProcList_; }
    TIFValueList& Globals() { return GlobalList_; }
    TIFValueList& Stack() { return Stack_; }
    std::uint32_t MainProc() const { return MainProc_; }
    const TIFProcEntry* CurrentProc() const { return CurrentProc_; }
    std::uint32_t Position() const { return Position_; }
    std::int32_t StackBase() const { return StackBase_; }
    bool ConditionFlag() const { return ConditionFlag_; }
    // The number of a procedure entry of this executor, kNoProc for any other.
    std::uint32_t ProcNumber(const TIFProcEntry* proc) const;

    void SetFinishHookEnabled(bool enabled) { FinishHookEnabled_ = enabled; }
    // Values the stack may hold at most (StackBase is a 32-bit number, which bounds it too).
    void SetStackLimit(std::size_t limit) { StackLimit_ = std::min<std::size_t>(limit, INT32_MAX); }

protected:
    // Called once when a run starts and after every completed instruction.
    virtual void StepHook() {}
    // Called after a run that ended in state Ready, when enabled.
    virtual void FinishHook() {}
    // Reports an error at the current procedure and position.
    void RaiseError(TExecError code, std::string param = {});

private:
    class TOperand;

    void Unload();
    void CutStack(std::size_t size);
    bool Push(TIFValue* value);

    // Interpreter (Interpreter.cpp): one instruction; false when it failed.
    bool Step();
    bool Fail(TExecError code, std::string param = {});
    bool Fetch8(std::uint8_t& out);
    bool Fetch32(std::uint32_t& out);
    bool ReadOperand(TOperand& out, bool deref);
    bool ReadConstant(std::uint32_t typeNo, TOperand& out);
    bool Variable(std::uint32_t number, TIFValue*& out);
    bool Element(std::uint32_t container, std::uint32_t index, bool indexIsVariable,
                 TIFValue*& out);
    bool FollowPointer(TIFValue*& value);
    bool CallProc(std::uint32_t number);
    bool DoAssign();
    bool DoCalc();
    bool DoPush();
    bool DoPushRef();
    bool DoPop();
    bool DoJumpIf(bool whenTrue);
    bool DoSetStackType();
    bool DoPushType();
    bool DoCompare();
    bool DoCallVar();
    bool DoSetPointer();
    bool DoNotOrNegate(bool negate);
    bool DoSetFlag();
    bool DoJumpFlag();

    // Try blocks and returns (TryFrames.cpp).
    bool DoReturn();
    bool DoTryBegin();
    bool DoTryEnd();
    bool PopTryFrame();

    bool ConditionFlag_ = false;
    bool FinishHookEnabled_ = false;
    TIFValuePool Pool_;
    std::vector<TIFTryFrame> TryStack_;
    std::deque<TIFTypeRec> TypeList_;
    std::vector<TIFProcEntry> ProcList_;
    TIFValueList GlobalList_;
    TIFValueList Stack_;
    std::uint32_t MainProc_ = kNoProc;
    TExecState State_ = TExecState::Unloaded;
    const TIFProcEntry* CurrentProc_ = nullptr;
    std::uint32_t Position_ = 0;
    std::int32_t StackBase_ = -1;
    std::vector<TIFRegisteredProc> RegisteredProcs_;
    std::string Image_; // the loaded image: procedures read their code from it, so that code
                        // blocks an image lets overlap are held once
    std::uint32_t ErrorProc_ = kNoProc;
    std::uint32_t ErrorPosition_ = kNoPosition;
    std::uint8_t ErrorCode_ = 0;
    std::string ErrorParam_;
    std::size_t StackLimit_ = kDefaultStackLimit;
};

} // namespace lumivar::script
