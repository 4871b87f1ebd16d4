// The standard native routines: handlers that work on the value stack in place.
#include "StandardLibrary.h"

#include "script/runtime/CallDeclaration.h"

#include <array>
#include <string>

namespace lumivar::script {
namespace {

// The arguments of one call: parameter i and the result slot, as the caller pushed them.
class TArgs {
public:
    TArgs(TIFValueList& stack, bool hasResult, std::size_t params)
        : Stack_(stack), Result_(hasResult ? 1 : 0), Valid_(stack.size() >= params + Result_) {}

    bool Valid() const { return Valid_; }
    TIFValue& Param(std::size_t i) const { return *Stack_[Stack_.size() - 1 - Result_ - i]; }
    TIFValue& Result() const { return *Stack_.back(); }

private:
    TIFValueList& Stack_;
    std::size_t Result_;
    bool Valid_;
};

bool IsInt32Kind(std::uint8_t k) {
    return k >= vkU8 && k <= vkS32;
}
bool IsStringKind(std::uint8_t k) {
    return k == vkString || k == vkPChar;
}

// An integer argument of any integer kind.
bool IntArg(const TIFValue& v, std::int64_t& out) {
    if (!IsInt32Kind(KindOf(v)) && KindOf(v) != vkS64) return false;
    out = GetInteger(v);
    return true;
}

// A string argument; a var string may reach the routine inside a variant.
TIFValue* StringArg(TIFValue& v) {
    TIFValue* s = KindOf(v) == vkVariant ? v.Payload.Ref : &v;
    return IsStringKind(KindOf(*s)) ? s : nullptr;
}

TIFValue* ArrayArg(TIFValue& v) {
    TIFValue* a = KindOf(v) == vkVariant ? v.Payload.Ref : &v;
    return KindOf(*a) == vkArray ? a : nullptr;
}

bool SetIntResult(TIFValue& result, std::int64_t n) {
    if (!IsInt32Kind(KindOf(result)) && KindOf(result) != vkS64) return false;
    SetInteger(result, n);
    return true;
}

bool SetTextResult(TIFValue& result, std::string text) {
    return IsStringKind(KindOf(result)) && SetString(result, std::move(text));
}

// A 1-based index into a string: the byte position, or nothing when outside.
bool CharIndex(std::int64_t index, std::string_view text, std::size_t& out) {
    if (index < 1 || std::uint64_t(index) > text.size()) return false;
    out = std::size_t(index - 1);
    return true;
}

bool StrGet(TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
    TArgs a(stack, true, 2);
    std::int64_t index;
    std::size_t at;
    if (!a.Valid() || !IntArg(a.Param(1), index)) return false;
    TIFValue* s = StringArg(a.Param(0));
    if (!s || !CharIndex(index, GetString(*s), at)) return false;
    if (KindOf(a.Result()) != vkU8 && KindOf(a.Result()) != vkS8) return false;
    a.Result().Payload.Bytes[0] = static_cast<unsigned char>(GetString(*s)[at]);
    return true;
}

bool StrSet(TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
    TArgs a(stack, false, 3);
    std::int64_t index;
    std::size_t at;
    if (!a.Valid() || !IntArg(a.Param(1), index)) return false;
    const TIFValue& c = a.Param(0);
    TIFValue* s = StringArg(a.Param(2));
    if ((KindOf(c) != vkU8 && KindOf(c) != vkS8) || !s || !CharIndex(index, GetString(*s), at))
        return false;
    std::string text(GetString(*s)); // strings are shared: write a copy
    text[at] = static_cast<char>(c.Payload.Bytes[0]);
    return SetString(*s, std::move(text));
}

bool SetArrayLengthRoutine(TScriptExec& exec, const TIFProcEntry&, TIFValueList&,
                           TIFValueList& stack) {
    TArgs a(stack, false, 2);
    std::int64_t length;
    if (!a.Valid() || !IntArg(a.Param(1), length) || length < 0 || length > INT32_MAX) return false;
    TIFValue* array = ArrayArg(a.Param(0));
    return array && SetArrayLength(exec.Pool(), *array, std::uint32_t(length));
}

bool GetArrayLengthRoutine(TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
    TArgs a(stack, true, 1);
    if (!a.Valid()) return false;
    TIFValue* array = ArrayArg(a.Param(0));
    return array && SetIntResult(a.Result(), GetArrayLength(*array));
}

bool Length(TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
    TArgs a(stack, true, 1);
    if (!a.Valid()) return false;
    TIFValue* s = StringArg(a.Param(0));
    return s && SetIntResult(a.Result(), std::int64_t(GetString(*s).size()));
}

// Copy(S, Index, Count): Count characters from the 1-based Index on, clipped to the string.
bool Copy(TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
    TArgs a(stack, true, 3);
    std::int64_t index, count;
    if (!a.Valid() || !IntArg(a.Param(1), index) || !IntArg(a.Param(2), count)) return false;
    TIFValue* s = StringArg(a.Param(0));
    if (!s) return false;
    const std::string_view text = GetString(*s);
    if (index < 1) index = 1;
    std::string part;
    if (count > 0 && std::uint64_t(index) <= text.size())
        part = text.substr(std::size_t(index - 1),
                           std::size_t(std::min<std::uint64_t>(std::uint64_t(count), text.size())));
    return SetTextResult(a.Result(), std::move(part));
}

// Pos(SubStr, S): the 1-based position of the first SubStr in S, 0 when absent or empty.
bool Pos(TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
    TArgs a(stack, true, 2);
    if (!a.Valid()) return false;
    TIFValue* sub = StringArg(a.Param(0));
    TIFValue* s = StringArg(a.Param(1));
    if (!sub || !s) return false;
    const std::size_t at =
        GetString(*sub).empty() ? std::string_view::npos : GetString(*s).find(GetString(*sub));
    return SetIntResult(a.Result(), at == std::string_view::npos ? 0 : std::int64_t(at + 1));
}

bool IntToStr(TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
    TArgs a(stack, true, 1);
    std::int64_t n;
    return a.Valid() && IntArg(a.Param(0), n) && SetTextResult(a.Result(), std::to_string(n));
}

// Assigned(I): whether a reference held as a number is set.
bool Assigned(TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
    TArgs a(stack, true, 1);
    std::int64_t n;
    return a.Valid() && IntArg(a.Param(0), n) && SetIntResult(a.Result(), n != 0 ? 1 : 0);
}

constexpr std::array<TStandardRoutine, 9> kRoutines = {{
    {"function StrGet(var S: String; I: Longint): Char;", "STRGET", StrGet},
    {"procedure StrSet(C: Char; I: Longint; var S: String);", "STRSET", StrSet},
    {"procedure SetArrayLength(var Arr: TVariantArray; Len: Longint);", "SETARRAYLENGTH",
     SetArrayLengthRoutine},
    {"function GetArrayLength(var Arr: TVariantArray): Longint;", "GETARRAYLENGTH",
     GetArrayLengthRoutine},
    {"function Length(S: String): Longint;", "LENGTH", Length},
    {"function Copy(S: String; Index, Count: Longint): String;", "COPY", Copy},
    {"function Pos(SubStr, S: String): Longint;", "POS", Pos},
    {"function IntToStr(I: Longint): String;", "INTTOSTR", IntToStr},
    {"function Assigned(I: Longint): Boolean;", "!ASSIGNED", Assigned},
}};

} // namespace

std::span<const TStandardRoutine> StandardRoutines() {
    return kRoutines;
}

void RegisterStandardRoutines(TScriptExec& exec) {
    for (const TStandardRoutine& r : kRoutines)
        exec.RegisterProc(r.Name, r.Handler,
                          CallDeclarationFromHeader(r.Declaration).value_or(std::string()));
}

} // namespace lumivar::script
