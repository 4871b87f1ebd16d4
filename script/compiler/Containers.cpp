// TIfList growth and compaction, and TIfStringList's ownership of its strings: each item is
// a string allocated on Add and freed on Delete or with the list.
#include "script/compiler/Containers.h"

#include <algorithm>

namespace lumivar::script {

TIfList::TIfList() {
    Reallocate(kInitialCapacity);
}

void TIfList::Reallocate(std::uint32_t capacity) {
    auto items = std::make_unique<void*[]>(capacity);
    if (FItems) std::copy_n(FItems.get(), FCount, items.get());
    FItems = std::move(items);
    FCapacity = capacity;
}

void TIfList::Compact() {
    FChangeCount = 0;
    const std::uint32_t rounded = (FCount + kGrowStep - 1) / kGrowStep * kGrowStep;
    Reallocate(std::max(rounded, kMinCompactedCapacity));
}

void TIfList::CountChange() {
    ++FChangeCount;
    if (FChangeCount > kChangesBeforeCompaction) Compact();
}

void TIfList::Add(void* item) {
    if (FCount >= FCapacity) Reallocate(FCapacity + kGrowStep);
    FItems[FCount] = item;
    ++FCount;
    CountChange();
}

void TIfList::Delete(std::uint32_t index) {
    if (index >= FCount) return;
    std::copy(FItems.get() + index + 1, FItems.get() + FCount, FItems.get() + index);
    --FCount;
    CountChange();
}

void TIfList::Clear() {
    FCount = 0;
    Compact();
}

void* TIfList::GetItem(std::uint32_t index) const {
    return index < FCount ? FItems[index] : nullptr;
}

void TIfList::SetItem(std::uint32_t index, void* item) {
    if (index < FCount) FItems[index] = item;
}

namespace {
// Takes back the ownership that Add handed to the untyped list.
std::unique_ptr<std::string> Adopt(void* item) {
    return std::unique_ptr<std::string>(static_cast<std::string*>(item));
}
} // namespace

TIfStringList::~TIfStringList() {
    for (std::uint32_t i = 0; i < FList.Count(); ++i)
        Adopt(FList.GetItem(i));
}

std::string TIfStringList::GetItem(std::uint32_t index) const {
    const auto* s = static_cast<const std::string*>(FList.GetItem(index));
    return s ? *s : std::string();
}

void TIfStringList::SetItem(std::uint32_t index, const std::string& s) {
    if (auto* item = static_cast<std::string*>(FList.GetItem(index))) *item = s;
}

void TIfStringList::Add(const std::string& s) {
    auto item = std::make_unique<std::string>(s);
    FList.Add(item.get());
    item.release(); // now owned through the list, freed by Delete or the destructor
}

void TIfStringList::Delete(std::uint32_t index) {
    if (index >= FList.Count()) return;
    Adopt(FList.GetItem(index));
    FList.Delete(index);
}

} // namespace lumivar::script
