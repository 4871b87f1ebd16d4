// Shared pieces of the compiler tests: a compiler with the three standard routines the code
// generator calls (StrGet, StrSet, SetArrayLength) or the whole standard library registered
// from OnUses, a compact text of the messages of a compile, and the listing of a procedure.
#pragma once

#include "ImageListing.h"

#include "script/compiler/ScriptCompiler.h"

#include <optional>
#include <string>

namespace lumivar::script::test {

// Registers the declarations of StrGet, StrSet and SetArrayLength for "SYSTEM".
void UseTestLibrary(TScriptCompiler& compiler);

// Registers every script-visible routine of the standard library for "SYSTEM".
void UseStandardLibrary(TScriptCompiler& compiler);

// "POS KIND CODE PARAM" per message, ";"-separated.
std::string MessagesOf(const TScriptCompiler& compiler);

// The image of the last compile, read; nothing when there is none or it is malformed.
std::optional<TListedImage> ImageOf(const TScriptCompiler& compiler);

// "ok" or "failed" (as ok says), then ": " and the compiler's messages when any.
std::string OutcomeOf(const TScriptCompiler& compiler, bool ok);

// Compiles with the test library: "ok" or "failed", then ": " and the messages when any.
std::string CompileOutcome(const std::string& script);

// Compiles with the test library; the listing of procedure procNo, or "failed: " + messages.
std::string CompileAndList(const std::string& script, std::size_t procNo = 0);

} // namespace lumivar::script::test
