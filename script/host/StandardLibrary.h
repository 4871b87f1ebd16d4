// The standard native routines of the engine: the string-element and array-length routines the
// compiler itself emits calls to, and a few small string routines, in ONE table that both sides
// read: the compiler's tool registers each script-visible declaration with AddFunctionFromDecl
// from OnUses("SYSTEM"); RegisterStandardRoutines registers each handler with an executor.
#pragma once

#include "script/runtime/Exec.h"

#include <span>
#include <string_view>

namespace lumivar::script {

struct TStandardRoutine {
    std::string_view Declaration; // header in script syntax
    std::string_view Name; // upper-case name: the compiler's calls and the registration share it
    bool (*Handler)(TScriptExec& exec, const TIFProcEntry& proc, TIFValueList& globals,
                    TIFValueList& stack);

    // Rows whose name starts with "!" are declared by the compiler itself under that name, so
    // that no script calls them by name ("!ASSIGNED"); the compiler's OnUses skips them.
    bool ScriptVisible() const { return !Name.starts_with('!'); }
};

// Stack order of the calls the compiler emits (parameters pushed last first, a function's
// result slot last):
//   STRGET(var S: String; I: Longint): Char       S by reference, then the index, then the result
//   STRSET(C: Char; I: Longint; var S: String)    character, index, string by reference
//   SETARRAYLENGTH(var Arr; Len: Longint)         array by reference (ocPushRef), then the length
// Indexes of StrGet and StrSet are 1-based; an index outside the string fails the call (17).
std::span<const TStandardRoutine> StandardRoutines();

// Registers every row with the executor (name, handler, call declaration from the header).
void RegisterStandardRoutines(TScriptExec& exec);

} // namespace lumivar::script
