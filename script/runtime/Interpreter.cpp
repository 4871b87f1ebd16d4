// The instruction loop's body: decoding of opcodes and value references, and every instruction
// but the return and try instructions (TryFrames.cpp). Each instruction has one fail path,
// Fail, which reports the error at the current position and ends the instruction; temporaries
// an instruction read are released by their TOperand holder on every path.
#include "Exec.h"

#include <bit>
#include <cstring>
#include <new>

namespace lumivar::script {

static_assert(std::endian::native == std::endian::little,
              "code operands are read as little-endian words");

// A value reference read from the code: the value, and whether it is a temporary (a constant)
// that this instruction owns and releases.
class TScriptExec::TOperand {
public:
    explicit TOperand(TIFValuePool& pool) : Pool_(pool) {}
    ~TOperand() {
        if (Temporary) ReleaseValue(Pool_, Value);
    }
    TOperand(const TOperand&) = delete;
    TOperand& operator=(const TOperand&) = delete;

    // Hands the temporary over to a new owner.
    TIFValue* Take() {
        Temporary = false;
        return Value;
    }

    TIFValue* Value = nullptr;
    bool Temporary = false;

private:
    TIFValuePool& Pool_;
};

namespace {

bool IsInt32Kind(std::uint8_t k) {
    return k >= vkU8 && k <= vkS32;
}

} // namespace

bool TScriptExec::Fail(TExecError code, std::string param) {
    RaiseError(code, std::move(param));
    return false;
}

bool TScriptExec::Fetch8(std::uint8_t& out) {
    const std::string_view code = CurrentProc_->Code;
    if (Position_ >= code.size()) return Fail(TExecError::OutOfRange);
    out = static_cast<std::uint8_t>(code[Position_++]);
    return true;
}

bool TScriptExec::Fetch32(std::uint32_t& out) {
    const std::string_view code = CurrentProc_->Code;
    if (code.size() < 4 || Position_ > code.size() - 4) return Fail(TExecError::OutOfRange);
    std::memcpy(&out, code.data() + Position_, 4);
    Position_ += 4;
    return true;
}

bool TScriptExec::Push(TIFValue* value) {
    if (Stack_.size() >= StackLimit_) {
        ReleaseValue(Pool_, value);
        return Fail(TExecError::OutOfMemory);
    }
    try {
        Stack_.push_back(value);
    } catch (const std::bad_alloc&) {
        ReleaseValue(Pool_, value);
        return Fail(TExecError::OutOfMemory);
    }
    return true;
}

// A variable number: below kFirstStackVar a global, from there on a stack slot relative to the
// frame base (kStackBaseVar names the base itself).
bool TScriptExec::Variable(std::uint32_t number, TIFValue*& out) {
    if (number < kFirstStackVar) {
        if (number >= GlobalList_.size()) return Fail(TExecError::GlobalOutOfRange);
        out = GlobalList_[number];
        return true;
    }
    const std::int64_t index =
        std::int64_t(StackBase_) + std::int64_t(number) - std::int64_t(kStackBaseVar);
    if (index < 0 || index >= std::int64_t(Stack_.size())) return Fail(TExecError::StackOutOfRange);
    out = Stack_[std::size_t(index)];
    return true;
}

bool TScriptExec::FollowPointer(TIFValue*& value) {
    if (KindOf(*value) != vkPointer) return true;
    if (!value->Payload.Ref) return Fail(TExecError::NullPointer);
    value = value->Payload.Ref;
    return true;
}

namespace {

// A variant's inner value; the error when there is none to use.
TExecError ThroughVariant(TIFValue*& value) {
    if (KindOf(*value) != vkVariant) return TExecError::None;
    TIFValue* inner = value->Payload.Ref;
    if (!inner) return TExecError::NullPointer;
    if (!inner->Type) return TExecError::NullVariant;
    value = inner;
    return TExecError::None;
}

} // namespace

// Element `index` of the container variable (okElement), or the element whose number is the
// value of the variable `index` (okElementByVar). The container is followed through a pointer
// and a variant; the index variable is used as it is and widened by its own signedness.
bool TScriptExec::Element(std::uint32_t container, std::uint32_t index, bool indexIsVariable,
                          TIFValue*& out) {
    TIFValue* c;
    if (!Variable(container, c) || !FollowPointer(c)) return false;
    if (TExecError e = ThroughVariant(c); e != TExecError::None) return Fail(e);
    if (KindOf(*c) != vkRecord && KindOf(*c) != vkArray) return Fail(TExecError::InvalidType);
    std::int64_t number = index;
    if (indexIsVariable) {
        TIFValue* w;
        if (!Variable(index, w)) return false;
        if (!IsInt32Kind(KindOf(*w))) return Fail(TExecError::TypeMismatch);
        number = GetInteger(*w);
    }
    if (number < 0 || std::uint64_t(number) >= c->Elements.size())
        return Fail(TExecError::ElementOutOfRange);
    out = c->Elements[std::size_t(number)];
    return true;
}

// okConstant: a new temporary of the type, its contents read from the code.
bool TScriptExec::ReadConstant(std::uint32_t typeNo, TOperand& out) {
    if (typeNo >= TypeList_.size()) return Fail(TExecError::InvalidType);
    const TIFTypeRec& type = TypeList_[typeNo];
    const std::string_view code = CurrentProc_->Code;
    std::size_t length = PayloadSize(type.Kind);
    const bool text = type.Kind == vkString || type.Kind == vkPChar;
    if (length == 0 && !text) return Fail(TExecError::InvalidType);
    if (text) {
        std::uint32_t n = 0;
        if (!Fetch32(n)) return false;
        length = n;
    }
    if (length > code.size() - Position_) return Fail(TExecError::OutOfRange);
    TIFValue* value = CreateValue(Pool_, &type);
    if (!value) return Fail(TExecError::OutOfMemory);
    out.Value = value;
    out.Temporary = true;
    if (!text)
        std::memcpy(value->Payload.Bytes, code.data() + Position_, length);
    else if (!SetString(*value, std::string(code.substr(Position_, length))))
        return Fail(TExecError::OutOfMemory); // the operand's holder releases the value
    Position_ += std::uint32_t(length);
    return true;
}

// A value reference: u8 kind, u32, kind-specific fields. With `deref` a pointer is replaced by
// its target and then a variant by its inner value (constants are taken as they are).
bool TScriptExec::ReadOperand(TOperand& out, bool deref) {
    std::uint8_t kind = 0;
    std::uint32_t first = 0;
    if (!Fetch8(kind) || !Fetch32(first)) return false;
    switch (kind) {
    case okVariable:
        if (!Variable(first, out.Value)) return false;
        break;
    case okConstant:
        return ReadConstant(first, out);
    case okElement:
    case okElementByVar: {
        std::uint32_t second = 0;
        if (!Fetch32(second) || !Element(first, second, kind == okElementByVar, out.Value))
            return false;
        break;
    }
    default:
        return Fail(TExecError::InvalidParameter);
    }
    if (!deref) return true;
    if (!FollowPointer(out.Value)) return false;
    if (TExecError e = ThroughVariant(out.Value); e != TExecError::None) return Fail(e);
    return true;
}

bool TScriptExec::CallProc(std::uint32_t number) {
    if (number >= ProcList_.size()) return Fail(TExecError::ProcOutOfRange);
    const TIFProcEntry& proc = ProcList_[number];
    if (proc.Imported) {
        const std::size_t depth = Stack_.size();
        bool ok = false;
        if (proc.Handler) {
            try {
                ok = proc.Handler(*this, proc, GlobalList_, Stack_);
            } catch (...) {
                ok = false; // a throwing routine is a failed call
            }
        }
        if (Stack_.size() != depth) { // the routine broke its contract; keep the frames intact
            CutStack(depth);
            ok = false;
        }
        if (!ok) RaiseError(TExecError::CannotCall);
        return true; // completed either way: what runs next is SetError's business
    }
    TIFValue* ret = Pool_.Allocate();
    if (!ret) return Fail(TExecError::OutOfMemory);
    ret->Type = &ReturnAddressTypeRec();
    ret->Payload.Return = {CurrentProc_, Position_, StackBase_};
    if (!Push(ret)) return false;
    StackBase_ = std::int32_t(Stack_.size() - 1);
    CurrentProc_ = &proc;
    Position_ = 0;
    return true;
}

// ocAssign dest, src: dest := src, both followed through one pointer.
bool TScriptExec::DoAssign() {
    TOperand dest(Pool_), src(Pool_);
    if (!ReadOperand(dest, false)) return false;
    if (dest.Temporary) return Fail(TExecError::InvalidParameter);
    if (!FollowPointer(dest.Value) || !ReadOperand(src, false) || !FollowPointer(src.Value))
        return false;
    TValueResult r = CopyValue(Pool_, *dest.Value, *src.Value);
    return r || Fail(r.Code, std::move(r.Param));
}

// ocCalc op, dest, src: dest := dest (op) src.
bool TScriptExec::DoCalc() {
    std::uint8_t operation = 0;
    TOperand dest(Pool_), src(Pool_);
    if (!Fetch8(operation) || !ReadOperand(dest, true)) return false;
    if (dest.Temporary) return Fail(TExecError::InvalidParameter);
    if (!ReadOperand(src, true)) return false;
    TValueResult r = CalcValues(*dest.Value, *src.Value, operation);
    return r || Fail(r.Code, std::move(r.Param));
}

// ocPush src: a temporary is pushed itself, anything else as a copy.
bool TScriptExec::DoPush() {
    TOperand src(Pool_);
    if (!ReadOperand(src, true)) return false;
    if (src.Temporary) return Push(src.Take());
    TIFValue* copy = CreateValue(Pool_, src.Value->Type);
    if (!copy) return Fail(src.Value->Type ? TExecError::OutOfMemory : TExecError::TypeMismatch);
    TValueResult r = CopyValue(Pool_, *copy, *src.Value);
    if (!r) {
        ReleaseValue(Pool_, copy);
        return Fail(r.Code, std::move(r.Param));
    }
    return Push(copy);
}

// ocPushRef src: the variable's own value is pushed, shared by one more reference.
bool TScriptExec::DoPushRef() {
    TOperand src(Pool_);
    if (!ReadOperand(src, false) || !FollowPointer(src.Value)) return false;
    if (src.Temporary) return Fail(TExecError::InvalidParameter);
    ++src.Value->RefCount;
    return Push(src.Value);
}

bool TScriptExec::DoPop() {
    if (Stack_.empty()) return Fail(TExecError::StackOutOfRange);
    ReleaseValue(Pool_, Stack_.back());
    Stack_.pop_back();
    return true;
}

// ocJumpTrue / ocJumpFalse offset, cond.
bool TScriptExec::DoJumpIf(bool whenTrue) {
    std::uint32_t offset = 0;
    TOperand cond(Pool_);
    if (!Fetch32(offset) || !ReadOperand(cond, true)) return false;
    if (cond.Temporary) return Fail(TExecError::InvalidParameter);
    if (!IsInt32Kind(KindOf(*cond.Value))) return Fail(TExecError::InvalidType);
    if ((GetInteger(*cond.Value) != 0) == whenTrue) Position_ += offset;
    return true;
}

// ocSetStackType type, slot: the slot StackBase + slot gets a new zero value of the type. The
// index is a 32-bit sum taken unsigned: a slot number of 0xFFFFFFFF names the slot just below
// the base, and in the main procedure (base -1) slot 0 names none.
bool TScriptExec::DoSetStackType() {
    std::uint32_t typeNo = 0, slot = 0;
    if (!Fetch32(typeNo) || !Fetch32(slot)) return false;
    const std::uint32_t index = static_cast<std::uint32_t>(StackBase_) + slot;
    if (typeNo >= TypeList_.size()) return Fail(TExecError::InvalidType);
    if (index >= Stack_.size()) return Fail(TExecError::StackOutOfRange);
    TIFValue*& target = Stack_[index];
    if (KindOf(*target) == vkReturnAddress) return Fail(TExecError::InvalidType);
    TIFValue* value = CreateValue(Pool_, &TypeList_[typeNo]);
    if (!value) return Fail(TExecError::OutOfMemory);
    ReleaseValue(Pool_, target);
    target = value;
    return true;
}

// ocPushType type: push a new zero value. A missing number counts as a missing type.
bool TScriptExec::DoPushType() {
    std::uint32_t typeNo = 0;
    if (CurrentProc_->Code.size() - Position_ < 4) return Fail(TExecError::InvalidType);
    if (!Fetch32(typeNo)) return false;
    if (typeNo >= TypeList_.size()) return Fail(TExecError::InvalidType);
    if (Stack_.size() >= StackLimit_) return Fail(TExecError::OutOfMemory);
    TIFValue* value = CreateValue(Pool_, &TypeList_[typeNo]);
    if (!value) return Fail(TExecError::OutOfMemory);
    return Push(value);
}

// ocCompare cmp, dest, left, right: dest := Boolean(left (cmp) right). Left and right are
// followed through a pointer and a variant; a null variant takes part as a null value.
bool TScriptExec::DoCompare() {
    std::uint8_t comparison = 0;
    TOperand dest(Pool_), left(Pool_), right(Pool_);
    if (!Fetch8(comparison) || !ReadOperand(dest, true)) return false;
    if (dest.Temporary) return Fail(TExecError::InvalidParameter);
    for (TOperand* side : {&left, &right}) {
        if (!ReadOperand(*side, false) || !FollowPointer(side->Value)) return false;
        if (KindOf(*side->Value) == vkVariant) side->Value = side->Value->Payload.Ref;
    }
    TValueResult r = CompareValues(*left.Value, *right.Value, comparison, *dest.Value);
    return r || Fail(r.Code, std::move(r.Param));
}

// ocCallVar proc: calls the procedure whose number the value holds.
bool TScriptExec::DoCallVar() {
    TOperand proc(Pool_);
    if (!ReadOperand(proc, true)) return false;
    const std::uint8_t kind = KindOf(*proc.Value);
    if (kind != vkU32 && kind != vkS32) return Fail(TExecError::TypeMismatch);
    const auto number = static_cast<std::uint32_t>(GetInteger(*proc.Value));
    if (number >= ProcList_.size() || number == MainProc_) return Fail(TExecError::ProcOutOfRange);
    return CallProc(number);
}

// ocSetPointer dest, src: dest gives up its target and points to src (one more reference).
bool TScriptExec::DoSetPointer() {
    TOperand dest(Pool_), src(Pool_);
    if (!ReadOperand(dest, false)) return false;
    if (dest.Temporary || KindOf(*dest.Value) != vkPointer)
        return Fail(TExecError::InvalidParameter);
    TIFValue* old = dest.Value->Payload.Ref;
    dest.Value->Payload.Ref = nullptr;
    ReleaseValue(Pool_, old);
    if (!ReadOperand(src, false)) return false;
    if (src.Temporary) return Fail(TExecError::InvalidParameter);
    ++src.Value->RefCount;
    dest.Value->Payload.Ref = src.Value;
    return true;
}

// ocNot target: 1 when 0, else 0, at the target's width. ocNegate target: two's-complement
// negation at the width, or the float's sign reversed.
bool TScriptExec::DoNotOrNegate(bool negate) {
    TOperand target(Pool_);
    if (!ReadOperand(target, false)) return false;
    if (target.Temporary) return Fail(TExecError::InvalidParameter);
    TIFValue& v = *target.Value;
    const std::uint8_t kind = KindOf(v);
    if (IsInt32Kind(kind)) {
        const std::int64_t n = GetInteger(v);
        SetInteger(v, negate ? -n : n == 0 ? 1 : 0);
        return true;
    }
    if (negate && kind >= vkSingle && kind <= vkExtended) {
        PayloadBytes(v).back() ^= 0x80; // the sign bit ends the little-endian number
        return true;
    }
    return Fail(TExecError::TypeMismatch);
}

// ocSetFlag cond, mode: ConditionFlag := cond <> 0 (mode 0) or cond = 0 (other modes).
bool TScriptExec::DoSetFlag() {
    TOperand cond(Pool_);
    std::uint8_t mode = 0;
    if (!ReadOperand(cond, true)) return false;
    if (cond.Temporary) return Fail(TExecError::InvalidParameter);
    if (!Fetch8(mode)) return false;
    if (!IsInt32Kind(KindOf(*cond.Value))) return Fail(TExecError::InvalidType);
    const bool nonZero = GetInteger(*cond.Value) != 0;
    ConditionFlag_ = mode == 0 ? nonZero : !nonZero;
    return true;
}

bool TScriptExec::DoJumpFlag() {
    std::uint32_t offset = 0;
    if (!Fetch32(offset)) return false;
    if (ConditionFlag_) Position_ += offset;
    return true;
}

bool TScriptExec::Step() {
    std::uint8_t opcode = 0;
    if (!Fetch8(opcode)) return false;
    switch (opcode) {
    case ocAssign:
        return DoAssign();
    case ocCalc:
        return DoCalc();
    case ocPush:
        return DoPush();
    case ocPushRef:
        return DoPushRef();
    case ocPop:
        return DoPop();
    case ocCall: {
        std::uint32_t number = 0;
        return Fetch32(number) && CallProc(number);
    }
    case ocJump: {
        std::uint32_t offset = 0;
        if (!Fetch32(offset)) return false;
        Position_ += offset;
        return true;
    }
    case ocJumpTrue:
        return DoJumpIf(true);
    case ocJumpFalse:
        return DoJumpIf(false);
    case ocReturn:
        return DoReturn();
    case ocSetStackType:
        return DoSetStackType();
    case ocPushType:
        return DoPushType();
    case ocCompare:
        return DoCompare();
    case ocCallVar:
        return DoCallVar();
    case ocSetPointer:
        return DoSetPointer();
    case ocNot:
        return DoNotOrNegate(false);
    case ocNegate:
        return DoNotOrNegate(true);
    case ocSetFlag:
        return DoSetFlag();
    case ocJumpFlag:
        return DoJumpFlag();
    case ocTryBegin:
        return DoTryBegin();
    case ocTryEnd:
        return DoTryEnd();
    default:
        return Fail(TExecError::InvalidOpcode);
    }
}

} // namespace lumivar::script
