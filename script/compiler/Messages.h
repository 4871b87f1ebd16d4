// The compiler's message record and its display text. Kinds, codes and texts all come from
// Messages.def; the texts are code page 1251 byte strings, like every text the engine keeps.
#pragma once

#include <cstdint>
#include <string>

namespace lumivar::script {

enum TCompilerMessageKind : std::uint8_t {
#define LV_MESSAGE_KIND(kind, name, prefix, fallback) name = kind,
#include "Messages.def"
};

// Error codes (kind mkError); codes 2..5 are the scanner's error kinds 1..4 plus one.
enum TCompilerErrorCode : std::uint8_t {
#define LV_ERROR(code, name, before, usesParam, after) name = code,
#include "Messages.def"
};

enum TCompilerWarningCode : std::uint8_t {
#define LV_WARNING(code, name, before, usesParam, after) name = code,
#include "Messages.def"
};

enum TCompilerHintCode : std::uint8_t {
#define LV_HINT(code, name, before, usesParam, after) name = code,
#include "Messages.def"
};

static_assert(ceUnknownIdentifier == 0 && ceCommentError == 2 && ceSyntaxError == 5);
static_assert(ceTypeMismatch == 14 && ceInternalError == 15 && ceCustomError == 36);
static_assert(ceUnresolvedForward == 39 && cwIsNotNeeded == 1 && chVariableNeverUsed == 0);

struct TIFPSPascalCompilerMessage {
    std::string ModuleName; // empty in every message this compiler makes
    std::string Param;
    std::uint32_t Position = 0; // 0-based byte offset in the source text
    std::uint8_t Kind = mkError;
    std::uint8_t Code = 0;
};

// Prefix + ModuleName + ": " + body, in code page 1251; "Unknown message" for an unknown kind.
std::string MessageToText(const TIFPSPascalCompilerMessage& message);

} // namespace lumivar::script
