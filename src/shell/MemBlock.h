// Resizable memory blocks for every large buffer (layer pixels, backups, thumbnails, file images).
//
// A block is owned by exactly one MemBlock object; moving transfers ownership. Every allocation
// carries 512 bytes of slack so small growth stays in place, and live blocks are counted in one
// table guarded by a process-wide mutex. All fallible calls return false and leave the block
// exactly as it was. Tests can make the allocator fail on purpose (MemFailAfter).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vek {

class MemBlock {
public:
    MemBlock() = default;
    ~MemBlock() { Free(); }
    MemBlock(const MemBlock&) = delete;
    MemBlock& operator=(const MemBlock&) = delete;
    MemBlock(MemBlock&& other) noexcept;
    MemBlock& operator=(MemBlock&& other) noexcept;

    // Replaces the block with a new one of `bytes` (0 counts as 1); contents undefined.
    // On failure the old block stays.
    bool Alloc(size_t bytes);
    // Same, zero-filled.
    bool AllocZeroed(size_t bytes);
    // Grows or shrinks keeping the first min(old, new) bytes. A block already of `bytes` is left
    // alone; an empty block is allocated. On failure the old block stays.
    bool Resize(size_t bytes);
    // Makes this an independent copy of `other`'s bytes. On failure this block stays.
    bool CopyFrom(const MemBlock& other);
    void Free();

    explicit operator bool() const { return data_ != nullptr; }
    bool Empty() const { return data_ == nullptr; }
    void* Data() { return data_; }
    const void* Data() const { return data_; }
    template <class T> T* As() { return static_cast<T*>(data_); }
    template <class T> const T* As() const { return static_cast<const T*>(data_); }
    size_t Size() const { return size_; }          // requested size
    size_t Capacity() const { return capacity_; }  // allocated size, slack included

private:
    bool AllocImpl(size_t bytes, bool zeroed);

    void* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// Allocator statistics (live blocks and their allocated bytes).
size_t MemLiveBlocks();
size_t MemLiveBytes();

// Test hook: the n-th allocation from now fails (1 = the next one); 0 switches failures off.
// Also fails every allocation while `always` is set.
void MemFailAfter(int n, bool always = false);

} // namespace vek
