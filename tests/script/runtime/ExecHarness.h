// Test support for the executor: an image written in the listing syntax is assembled, loaded
// into an executor with the standard routines and three misbehaving test routines registered,
// and run; the outcome is the error fields and the canonical text of every global.
#pragma once

#include "script/runtime/Exec.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumivar::script::testing {

// The types every case may use, as T0..T17, and "main P0".
inline constexpr std::string_view kPrelude = R"(
main P0
type U8              ; T0
type S8              ; T1
type U16             ; T2
type S16             ; T3
type U32             ; T4
type S32             ; T5
type Single          ; T6
type Double          ; T7
type Extended        ; T8
type String          ; T9
type Variant         ; T10
type S64             ; T11
type Pointer         ; T12
type Array T5        ; T13
type Record T5 T9    ; T14
type PChar           ; T15
type ResourcePointer ; T16
type Array T10       ; T17
)";

struct TOutcome {
    bool Loaded = false;
    bool RunResult = false;
    int Code = 0;
    std::int64_t Proc = -1; // ErrorProc and ErrorPosition as signed 32-bit numbers
    std::int64_t Position = -1;
    std::string Param;
    std::vector<std::string> Globals;
    std::string Listing; // for failure messages
};

// Registers the standard routines and FAIL (returns false), THROW (throws) and PUSHER
// (pushes a value and succeeds, breaking the handler contract).
void RegisterTestRoutines(TScriptExec& exec);

// Assembles kPrelude + body; an assembly error fails the current test.
std::string Assemble(std::string_view body);

TOutcome RunImage(TScriptExec& exec, std::string_view image);
TOutcome RunBody(std::string_view body);

} // namespace lumivar::script::testing
