// The engine's growable lists: TIfList of untyped pointers, which never owns what they point
// to, and TIfStringList, which owns its strings. Slots grow in steps of 32 and the slot array
// is compacted only after more than 128 changes, so long runs of additions stay cheap.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace lumivar::script {

class TIfList {
public:
    // Slots of a new list.
    static constexpr std::uint32_t kInitialCapacity = 16;
    // Slots added when an addition finds the list full.
    static constexpr std::uint32_t kGrowStep = 32;
    // Compaction rounds the count up to a multiple of the step, but keeps at least this many.
    static constexpr std::uint32_t kMinCompactedCapacity = 64;
    // More changes than this since the last compaction compact the slot array.
    static constexpr std::uint32_t kChangesBeforeCompaction = 128;

    TIfList();
    TIfList(const TIfList&) = delete;
    TIfList& operator=(const TIfList&) = delete;
    virtual ~TIfList() = default;

    void Add(void* item);
    // Does nothing when index is not below Count.
    void Delete(std::uint32_t index);
    // Empties the list and compacts it (so a cleared list has 64 slots).
    virtual void Clear();
    // Null when index is not below Count (a negative index converted to unsigned, too).
    void* GetItem(std::uint32_t index) const;
    // Does nothing when index is not below Count.
    void SetItem(std::uint32_t index, void* item);

    std::uint32_t Count() const { return FCount; }
    std::uint32_t Capacity() const { return FCapacity; }

private:
    void CountChange();
    void Compact();
    void Reallocate(std::uint32_t capacity);

    std::uint32_t FCapacity = 0;
    std::uint32_t FCount = 0;
    std::unique_ptr<void*[]> FItems;
    std::uint32_t FChangeCount = 0;
};

class TIfStringList {
public:
    TIfStringList() = default;
    TIfStringList(const TIfStringList&) = delete;
    TIfStringList& operator=(const TIfStringList&) = delete;
    ~TIfStringList();

    std::uint32_t Count() const { return FList.Count(); }
    // An empty string when index is out of range.
    std::string GetItem(std::uint32_t index) const;
    // Ignored when index is out of range.
    void SetItem(std::uint32_t index, const std::string& s);
    void Add(const std::string& s);
    // Frees the string, then deletes its slot; ignored when index is out of range.
    void Delete(std::uint32_t index);
    // The underlying list, for looking at its slots.
    const TIfList& List() const { return FList; }

private:
    TIfList FList;
};

} // namespace lumivar::script
