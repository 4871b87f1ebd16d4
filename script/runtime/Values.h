// Runtime values: type records, the value record, the block pool every value comes from, and the
// operations on values (create, reset, release, copy with conversion, arithmetic, comparison,
// array length). The unit needs neither an image nor an executor, so that the compiler's constant
// folding runs the very same arithmetic and comparison as the interpreter.
//
// Using it without an executor (what constant folding does):
//   TIFValuePool pool;
//   const TIFTypeRec s32 = MakeTypeRec(vkS32), boolean = MakeTypeRec(vkU8);
//   TValueRef left(pool, &s32), right(pool, &s32), flag(pool, &boolean);
//   SetInteger(*left, 7);                        // or write PayloadBytes(*left) directly
//   SetInteger(*right, 2);
//   TValueResult r = CalcValues(*left, *right, 3);   // 3 = divide; left becomes 3
//   if (!r) { /* r.Code: 12 mismatch, 15 division by zero, 16 math fault, 20 with r.Param */ }
//   r = CompareValues(*left, *right, 5, *flag);  // 5 = "="; flag's byte becomes 0
//   GetInteger(*left), GetFloat(...), GetString(...) read results back.
// Failures are returned as an error code (plus a parameter for code 20), never raised; the
// executor turns them into its runtime errors.
#pragma once

#include "script/runtime/ExecErrors.h"
#include "script/runtime/ImageFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumivar::script {

struct TIFProcEntry;
struct TIFValue;

// One runtime type. Arrays name their element type (also by its number in the image's type
// table); records list their field types in declaration order. Types that an image defines are
// owned by the executor's TypeList; other users keep their own.
struct TIFTypeRec {
    TValueKind Kind = vkU8;
    std::string ExportName;
    std::uint32_t ElementTypeNo = 0;           // vkArray: element type number in the image
    const TIFTypeRec* ElementType = nullptr;   // vkArray: the element type itself
    std::vector<const TIFTypeRec*> FieldTypes; // vkRecord
    std::uint64_t ValueCount = 1;              // values one CreateValue of this type makes
};

// Type records of a kind; ValueCount is filled in. The element and field types must outlive
// the record.
TIFTypeRec MakeTypeRec(TValueKind kind);
TIFTypeRec MakeArrayTypeRec(const TIFTypeRec& element, std::uint32_t elementTypeNo = 0);
TIFTypeRec MakeRecordTypeRec(std::vector<const TIFTypeRec*> fields);

// The shared type of every return-address value (kind 0); it belongs to no image.
const TIFTypeRec& ReturnAddressTypeRec();

// Payload of a return-address value: the caller's procedure, position and frame base.
struct TReturnAddress {
    const TIFProcEntry* Proc;
    std::uint32_t Position;
    std::int32_t StackBase;
};

// Handler of a resource pointer: mode 0 releases self (other is null), mode 1 copies self into
// other; returns success.
using TResourceHandler = bool (*)(int mode, const TIFValue& self, TIFValue* other);
inline constexpr int kResourceRelease = 0;
inline constexpr int kResourceCopy = 1;

struct TResourceData {
    std::uint32_t Data;
    std::uint32_t Second;
    TResourceHandler Handler;
};

// A runtime value. Type null means the value holds nothing (the inner value of a null variant).
// RefCount counts the extra holders; 0 means a single owner. Which payload member is in use
// follows the kind: Bytes for 1..9 and 17 (little-endian, at the kind's width), Text for 10 and
// 14 (shared, copied on write), Elements for 11 and 12 (owned; empty = no element table), Ref
// for 13 (the target, or null) and 16 (the inner value, always present), Return for 0,
// Resource for 15.
struct TIFValue {
    const TIFTypeRec* Type = nullptr;
    std::uint32_t RefCount = 0;
    union {
        unsigned char Bytes[16];
        TIFValue* Ref;
        TReturnAddress Return;
        TResourceData Resource;
    } Payload{};
    std::shared_ptr<const std::string> Text;
    std::vector<TIFValue*> Elements;

private:
    friend class TIFValuePool;
    struct TPoolBlock* Block_ = nullptr; // the pool block that holds this slot
    std::int32_t NextFree_ = -1;         // while free: next free slot of the block, -1 ends
};

using TIFValueList = std::vector<TIFValue*>;

// The kind of a value, or kNoKind when it holds nothing.
inline constexpr std::uint8_t kNoKind = 0xFF;
inline std::uint8_t KindOf(const TIFValue& v) {
    return v.Type ? std::uint8_t(v.Type->Kind) : kNoKind;
}

// Bytes of text the strings of one pool hold together, shared by the pool and every string it
// made, so that a string outliving its pool gives its bytes back safely.
struct TTextBudget {
    std::size_t Live = 0;
    std::size_t Limit = 0;
};

// Values come from blocks of kBlockSize slots. A new block chains its free slots from the last
// to the first; a block is freed as soon as its last value is; blocks with free slots are kept in
// a list whose head serves the next allocation. The pool refuses to hold more than its limit of
// live values, and its strings more than their limit of bytes, so that a script cannot exhaust
// the process's memory.
class TIFValuePool {
public:
    static constexpr std::size_t kBlockSize = 50;
    // About 200 MiB of values; far beyond any script an editor runs, well below a machine's memory.
    static constexpr std::size_t kDefaultValueLimit = std::size_t(1) << 22;
    // 1 GiB of text in all strings together: a script copying one large text into many
    // variables shares it, one that makes many distinct large texts stops here with error 19.
    static constexpr std::size_t kDefaultTextLimit = std::size_t(1) << 30;

    explicit TIFValuePool(std::size_t valueLimit = kDefaultValueLimit);
    ~TIFValuePool(); // frees every block, with whatever values are still live
    TIFValuePool(const TIFValuePool&) = delete;
    TIFValuePool& operator=(const TIFValuePool&) = delete;

    // A slot with no type, reference count 0 and a zero payload; null when the limit is reached
    // or no memory is left.
    TIFValue* Allocate();
    // Gives the slot back; the payload must already be released.
    void Free(TIFValue* value);

    std::size_t LiveCount() const { return Live_; }
    std::size_t BlockCount() const { return Blocks_.size(); }
    std::size_t Available() const { return Live_ < Limit_ ? Limit_ - Live_ : 0; }
    void SetValueLimit(std::size_t limit) { Limit_ = limit; }

    // A shared string holding `text`, its bytes counted against the text limit; null when they
    // do not fit.
    std::shared_ptr<const std::string> MakeText(std::string text);
    std::size_t TextBytes() const { return Budget_->Live; }
    void SetTextLimit(std::size_t limit) { Budget_->Limit = limit; }
    // The pool a value was allocated from.
    static TIFValuePool& Of(const TIFValue& value);

private:
    std::vector<std::unique_ptr<TPoolBlock>> Blocks_; // every block; a block knows its index here
    TPoolBlock* FreeHead_ = nullptr;                  // list of blocks with free slots
    std::size_t Live_ = 0;
    std::size_t Limit_;
    std::shared_ptr<TTextBudget> Budget_;
};

// Outcome of a value operation: Code None on success; Param is the text of code 20.
struct TValueResult {
    TExecError Code = TExecError::None;
    std::string Param;
    explicit operator bool() const { return Code == TExecError::None; }
};

// A new value of the type, zeroed: numbers 0, strings empty, arrays without elements, pointers
// without target, variants null, records with a new value per field. Null when the type is null
// or the pool cannot hold it.
TIFValue* CreateValue(TIFValuePool& pool, const TIFTypeRec* type);
// Releases the payload, gives the value the new type (possibly null) and initialises it as
// CreateValue does. False when a record field or a variant's inner value could not be made: a
// record is then left without element table, a variant without type.
bool ResetValue(TIFValuePool& pool, TIFValue& value, const TIFTypeRec* type);
// Drops one holder: lowers the reference count, or, for the last holder, releases the payload
// (strings, elements, inner value, the reference on a pointer's target, a resource through its
// handler) and frees the slot. Null does nothing. Works without recursion, so that deep chains
// of values cannot exhaust the machine stack.
void ReleaseValue(TIFValuePool& pool, TIFValue* value);

// dest := src with the conversions of dest's kind (failures: 12; 19 when the pool is full).
TValueResult CopyValue(TIFValuePool& pool, TIFValue& dest, const TIFValue& src);
// dest := dest (operation) src; operations 0 add .. 9 xor (ocCalc's numbering).
TValueResult CalcValues(TIFValue& dest, const TIFValue& src, std::uint8_t operation);
// dest := Boolean(left (comparison) right); comparisons 0 ">=", 1 "<=", 2 ">", 3 "<", 4 "<>", 5
// "=".
TValueResult CompareValues(const TIFValue& left, const TIFValue& right, std::uint8_t comparison,
                           TIFValue& dest);

// Element count of an array (0 without table and for other kinds).
std::uint32_t GetArrayLength(const TIFValue& value);
// Sets the element count of an array: surplus elements are released, new ones created with
// the element type from the last new number down. False (array unchanged) for other kinds or
// when the new elements cannot be made.
bool SetArrayLength(TIFValuePool& pool, TIFValue& value, std::uint32_t length);

// Owns one value of a pool and releases it at the end of its life.
class TValueRef {
public:
    TValueRef(TIFValuePool& pool, const TIFTypeRec* type)
        : Pool_(&pool), Value_(CreateValue(pool, type)) {}
    ~TValueRef() { ReleaseValue(*Pool_, Value_); }
    TValueRef(TValueRef&& other) noexcept : Pool_(other.Pool_), Value_(other.Value_) {
        other.Value_ = nullptr;
    }
    TValueRef& operator=(TValueRef&&) = delete;
    TValueRef(const TValueRef&) = delete;

    TIFValue* get() const { return Value_; }
    TIFValue& operator*() const { return *Value_; }
    TIFValue* operator->() const { return Value_; }
    explicit operator bool() const { return Value_ != nullptr; }

private:
    TIFValuePool* Pool_;
    TIFValue* Value_;
};

// Raw access to the bytes of numeric kinds (1..9 and 17) at the kind's width: 1, 2, 4, 8 or 10
// bytes, little-endian. Empty for other kinds.
std::size_t PayloadSize(std::uint8_t kind);
std::span<unsigned char> PayloadBytes(TIFValue& value);
std::span<const unsigned char> PayloadBytes(const TIFValue& value);

// Typed access. Integers: kinds 1..6 and 17, widened by their signedness when read and
// truncated to the width when written. Floats: kinds 7..9, rounded to the kind's precision when
// written. Strings: kinds 10 and 14 (other kinds read as empty and ignore writes); SetString
// is false, the value unchanged, when the text does not fit in the pool's text limit.
std::int64_t GetInteger(const TIFValue& value);
void SetInteger(TIFValue& value, std::int64_t number);
long double GetFloat(const TIFValue& value);
void SetFloat(TIFValue& value, long double number);
std::string_view GetString(const TIFValue& value);
bool SetString(TIFValue& value, std::string text);

} // namespace lumivar::script
