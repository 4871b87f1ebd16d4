// The value pool and the life of values: type records, creation, reset, release, array length
// and raw payload access. Conversions and arithmetic live in ValueOps.cpp.
#include "Values.h"

#include "Extended.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace lumivar::script {

// One block of the pool: its bookkeeping, then its slots.
struct TPoolBlock {
    TIFValuePool* Pool = nullptr;   // the pool the block belongs to
    std::size_t Index = 0;          // position in the pool's list of all blocks
    std::size_t Used = 0;           // live values in this block
    std::int32_t FirstFree = -1;    // head of the chain of free slots
    TPoolBlock* PrevFree = nullptr; // list of blocks with free slots
    TPoolBlock* NextFree = nullptr;
    TIFValue Slots[TIFValuePool::kBlockSize];
};

namespace {

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b
               ? std::numeric_limits<std::uint64_t>::max()
               : a + b;
}

void ClearPayload(TIFValue& v) {
    std::memset(&v.Payload, 0, sizeof v.Payload);
    v.Text.reset();
    std::vector<TIFValue*>().swap(v.Elements);
}

bool HasChildren(std::uint8_t kind) {
    return kind == vkRecord || kind == vkArray || kind == vkPointer || kind == vkVariant ||
           kind == vkResourcePointer;
}

// Hands a child to the release work list when its holder was its last one.
void DropChild(TIFValue* child, std::vector<TIFValue*>& work) {
    if (!child) return;
    if (child->RefCount > 0)
        --child->RefCount;
    else
        work.push_back(child);
}

// Releases what the payload holds (children go to the work list) and zeroes it.
void DetachPayload(TIFValue& v, std::vector<TIFValue*>& work) {
    switch (KindOf(v)) {
    case vkRecord:
    case vkArray:
        for (auto it = v.Elements.rbegin(); it != v.Elements.rend(); ++it)
            DropChild(*it, work);
        break;
    case vkPointer:
    case vkVariant:
        DropChild(v.Payload.Ref, work);
        break;
    case vkResourcePointer:
        if (v.Payload.Resource.Handler) {
            try {
                v.Payload.Resource.Handler(kResourceRelease, v, nullptr);
            } catch (...) {
                // A host handler that throws while releasing cannot stop the release.
            }
        }
        break;
    default:
        break;
    }
    ClearPayload(v);
}

void ReleaseWork(TIFValuePool& pool, std::vector<TIFValue*>& work) {
    while (!work.empty()) {
        TIFValue* v = work.back();
        work.pop_back();
        DetachPayload(*v, work);
        pool.Free(v);
    }
}

void ReleasePayload(TIFValuePool& pool, TIFValue& v) {
    if (!HasChildren(KindOf(v))) {
        ClearPayload(v);
        return;
    }
    std::vector<TIFValue*> work;
    DetachPayload(v, work);
    ReleaseWork(pool, work);
}

// Gives a value of type `type` (already set) its zero payload. Records get one new value per
// field, variants a new null inner value. On failure nothing of the new payload remains.
bool InitPayload(TIFValuePool& pool, TIFValue& v) {
    switch (KindOf(v)) {
    case vkVariant:
        v.Payload.Ref = pool.Allocate();
        return v.Payload.Ref != nullptr;
    case vkRecord:
        try {
            v.Elements.reserve(v.Type->FieldTypes.size());
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (const TIFTypeRec* field : v.Type->FieldTypes) {
            TIFValue* element = CreateValue(pool, field);
            if (!element) {
                for (TIFValue* made : v.Elements)
                    ReleaseValue(pool, made);
                std::vector<TIFValue*>().swap(v.Elements);
                return false;
            }
            v.Elements.push_back(element);
        }
        return true;
    default:
        return true;
    }
}

} // namespace

TIFTypeRec MakeTypeRec(TValueKind kind) {
    TIFTypeRec t;
    t.Kind = kind;
    t.ValueCount = kind == vkVariant ? 2 : 1;
    return t;
}

TIFTypeRec MakeArrayTypeRec(const TIFTypeRec& element, std::uint32_t elementTypeNo) {
    TIFTypeRec t = MakeTypeRec(vkArray);
    t.ElementType = &element;
    t.ElementTypeNo = elementTypeNo;
    return t;
}

TIFTypeRec MakeRecordTypeRec(std::vector<const TIFTypeRec*> fields) {
    TIFTypeRec t = MakeTypeRec(vkRecord);
    for (const TIFTypeRec* f : fields)
        t.ValueCount = SaturatingAdd(t.ValueCount, f->ValueCount);
    t.FieldTypes = std::move(fields);
    return t;
}

const TIFTypeRec& ReturnAddressTypeRec() {
    static const TIFTypeRec type = MakeTypeRec(vkReturnAddress);
    return type;
}

TIFValuePool::TIFValuePool(std::size_t valueLimit)
    : Limit_(valueLimit), Budget_(std::make_shared<TTextBudget>()) {
    Budget_->Limit = kDefaultTextLimit;
}

namespace {

// A string with the budget it is counted in; it gives its bytes back when the last holder goes.
struct TCountedText {
    TCountedText(std::string text, std::shared_ptr<TTextBudget> budget)
        : Text(std::move(text)), Budget(std::move(budget)) {
        Budget->Live += Text.size();
    }
    ~TCountedText() { Budget->Live -= Text.size(); }
    TCountedText(const TCountedText&) = delete;
    TCountedText& operator=(const TCountedText&) = delete;

    const std::string Text;
    const std::shared_ptr<TTextBudget> Budget;
};

} // namespace

std::shared_ptr<const std::string> TIFValuePool::MakeText(std::string text) {
    TTextBudget& budget = *Budget_;
    if (text.size() > budget.Limit - std::min(budget.Live, budget.Limit)) return nullptr;
    try {
        auto counted = std::make_shared<const TCountedText>(std::move(text), Budget_);
        return std::shared_ptr<const std::string>(counted, &counted->Text);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

TIFValuePool& TIFValuePool::Of(const TIFValue& value) {
    return *value.Block_->Pool;
}

TIFValuePool::~TIFValuePool() = default;

TIFValue* TIFValuePool::Allocate() {
    if (Live_ >= Limit_) return nullptr;
    if (!FreeHead_) {
        try {
            auto block = std::make_unique<TPoolBlock>();
            block->Pool = this;
            for (std::size_t i = 0; i < kBlockSize; ++i) {
                block->Slots[i].Block_ = block.get();
                block->Slots[i].NextFree_ = std::int32_t(i) - 1; // slot i links to i-1; 0 ends
            }
            block->FirstFree = std::int32_t(kBlockSize - 1);
            block->Index = Blocks_.size();
            Blocks_.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        FreeHead_ = Blocks_.back().get();
    }
    TPoolBlock* block = FreeHead_;
    TIFValue* slot = &block->Slots[block->FirstFree];
    block->FirstFree = slot->NextFree_;
    ++block->Used;
    ++Live_;
    if (block->FirstFree < 0) { // full: leaves the list of blocks with free slots
        FreeHead_ = block->NextFree;
        if (FreeHead_) FreeHead_->PrevFree = nullptr;
        block->NextFree = nullptr;
    }
    return slot;
}

void TIFValuePool::Free(TIFValue* value) {
    TPoolBlock* block = value->Block_;
    value->Type = nullptr;
    value->RefCount = 0;
    ClearPayload(*value);
    const bool wasFull = block->FirstFree < 0;
    value->NextFree_ = block->FirstFree;
    block->FirstFree = std::int32_t(value - block->Slots);
    --block->Used;
    --Live_;
    if (block->Used == 0) { // the last value: the block goes
        if (!wasFull) {
            if (block->PrevFree)
                block->PrevFree->NextFree = block->NextFree;
            else
                FreeHead_ = block->NextFree;
            if (block->NextFree) block->NextFree->PrevFree = block->PrevFree;
        }
        const std::size_t index = block->Index;
        std::swap(Blocks_[index], Blocks_.back());
        Blocks_[index]->Index = index;
        Blocks_.pop_back();
    } else if (wasFull) { // back to the head of the list of blocks with free slots
        block->PrevFree = nullptr;
        block->NextFree = FreeHead_;
        if (FreeHead_) FreeHead_->PrevFree = block;
        FreeHead_ = block;
    }
}

TIFValue* CreateValue(TIFValuePool& pool, const TIFTypeRec* type) {
    if (!type || type->ValueCount > pool.Available()) return nullptr;
    TIFValue* v = pool.Allocate();
    if (!v) return nullptr;
    v->Type = type;
    if (!InitPayload(pool, *v)) {
        v->Type = nullptr;
        pool.Free(v);
        return nullptr;
    }
    return v;
}

bool ResetValue(TIFValuePool& pool, TIFValue& value, const TIFTypeRec* type) {
    ReleasePayload(pool, value);
    value.Type = type;
    if (InitPayload(pool, value)) return true;
    if (KindOf(value) == vkVariant) value.Type = nullptr;
    return false;
}

void ReleaseValue(TIFValuePool& pool, TIFValue* value) {
    if (!value) return;
    if (value->RefCount > 0) {
        --value->RefCount;
        return;
    }
    if (!HasChildren(KindOf(*value))) {
        pool.Free(value);
        return;
    }
    std::vector<TIFValue*> work{value};
    ReleaseWork(pool, work);
}

std::uint32_t GetArrayLength(const TIFValue& value) {
    return KindOf(value) == vkArray ? std::uint32_t(value.Elements.size()) : 0;
}

bool SetArrayLength(TIFValuePool& pool, TIFValue& value, std::uint32_t length) {
    if (KindOf(value) != vkArray) return false;
    const std::size_t old = value.Elements.size();
    if (length <= old) {
        for (std::size_t i = old; i > length; --i)
            ReleaseValue(pool, value.Elements[i - 1]);
        value.Elements.resize(length);
        if (length == 0) std::vector<TIFValue*>().swap(value.Elements);
        return true;
    }
    const TIFTypeRec* element = value.Type->ElementType;
    const std::uint64_t added = length - old;
    if (!element || added > pool.Available() / std::max<std::uint64_t>(element->ValueCount, 1))
        return false;
    std::vector<TIFValue*> made; // new elements, highest number first
    try {
        made.reserve(added);
        value.Elements.reserve(length);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::uint64_t i = 0; i < added; ++i) {
        TIFValue* e = CreateValue(pool, element);
        if (!e) {
            for (TIFValue* m : made)
                ReleaseValue(pool, m);
            return false;
        }
        made.push_back(e);
    }
    value.Elements.insert(value.Elements.end(), made.rbegin(), made.rend());
    return true;
}

std::size_t PayloadSize(std::uint8_t kind) {
    switch (kind) {
    case vkU8:
    case vkS8:
        return 1;
    case vkU16:
    case vkS16:
        return 2;
    case vkU32:
    case vkS32:
    case vkSingle:
        return 4;
    case vkDouble:
    case vkS64:
        return 8;
    case vkExtended:
        return kExtendedSize;
    default:
        return 0;
    }
}

std::span<unsigned char> PayloadBytes(TIFValue& value) {
    return {value.Payload.Bytes, PayloadSize(KindOf(value))};
}

std::span<const unsigned char> PayloadBytes(const TIFValue& value) {
    return {value.Payload.Bytes, PayloadSize(KindOf(value))};
}

std::int64_t GetInteger(const TIFValue& value) {
    const unsigned char* b = value.Payload.Bytes;
    switch (KindOf(value)) {
    case vkU8:
        return b[0];
    case vkS8:
        return std::int8_t(b[0]);
    case vkU16:
        return std::uint16_t(b[0] | b[1] << 8);
    case vkS16:
        return std::int16_t(b[0] | b[1] << 8);
    case vkU32: {
        std::uint32_t u;
        std::memcpy(&u, b, 4);
        return u;
    }
    case vkS32: {
        std::int32_t s;
        std::memcpy(&s, b, 4);
        return s;
    }
    case vkS64: {
        std::int64_t s;
        std::memcpy(&s, b, 8);
        return s;
    }
    default:
        return 0;
    }
}

void SetInteger(TIFValue& value, std::int64_t number) {
    const std::size_t size = PayloadSize(KindOf(value));
    const std::uint8_t kind = KindOf(value);
    if ((kind < vkU8 || kind > vkS32) && kind != vkS64) return;
    const auto bits = static_cast<std::uint64_t>(number);
    for (std::size_t i = 0; i < size; ++i)
        value.Payload.Bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

long double GetFloat(const TIFValue& value) {
    switch (KindOf(value)) {
    case vkSingle: {
        float f;
        std::memcpy(&f, value.Payload.Bytes, 4);
        return f;
    }
    case vkDouble: {
        double d;
        std::memcpy(&d, value.Payload.Bytes, 8);
        return d;
    }
    case vkExtended:
        return ReadExtended(value.Payload.Bytes);
    default:
        return 0;
    }
}

void SetFloat(TIFValue& value, long double number) {
    switch (KindOf(value)) {
    case vkSingle: {
        const auto f = static_cast<float>(number);
        std::memcpy(value.Payload.Bytes, &f, 4);
        break;
    }
    case vkDouble: {
        const auto d = static_cast<double>(number);
        std::memcpy(value.Payload.Bytes, &d, 8);
        break;
    }
    case vkExtended:
        WriteExtended(value.Payload.Bytes, number);
        break;
    default:
        break;
    }
}

std::string_view GetString(const TIFValue& value) {
    const std::uint8_t kind = KindOf(value);
    if ((kind != vkString && kind != vkPChar) || !value.Text) return {};
    return *value.Text;
}

bool SetString(TIFValue& value, std::string text) {
    const std::uint8_t kind = KindOf(value);
    if (kind != vkString && kind != vkPChar) return true;
    if (text.empty()) {
        value.Text.reset();
        return true;
    }
    std::shared_ptr<const std::string> made = TIFValuePool::Of(value).MakeText(std::move(text));
    if (!made) return false;
    value.Text = std::move(made);
    return true;
}

} // namespace lumivar::script
