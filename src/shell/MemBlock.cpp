#include "shell/MemBlock.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

namespace vek {
namespace {

constexpr size_t kSlack = 512;

struct Table {
    std::mutex lock;
    size_t liveBlocks = 0;
    size_t liveBytes = 0;
    int failCountdown = 0;
    bool failAlways = false;
};

Table& Tab() {
    static Table t;
    return t;
}

// True when the injected failure says this allocation must fail. Caller holds the lock.
bool InjectedFailure(Table& t) {
    if (t.failAlways) return true;
    if (t.failCountdown > 0 && --t.failCountdown == 0) return true;
    return false;
}

bool SizeFits(size_t bytes, size_t* total) {
    if (bytes == 0) bytes = 1;
    if (bytes > SIZE_MAX - kSlack) return false;
    *total = bytes + kSlack;
    return true;
}

} // namespace

MemBlock::MemBlock(MemBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

MemBlock& MemBlock::operator=(MemBlock&& other) noexcept {
    if (this != &other) {
        Free();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

bool MemBlock::Alloc(size_t bytes) { return AllocImpl(bytes, false); }

// calloc for zeroed blocks: large fresh blocks come as lazily zeroed pages, so only the pages
// actually written later are ever touched.
bool MemBlock::AllocZeroed(size_t bytes) { return AllocImpl(bytes, true); }

bool MemBlock::AllocImpl(size_t bytes, bool zeroed) {
    size_t total;
    if (!SizeFits(bytes, &total)) return false;
    void* p;
    {
        Table& t = Tab();
        std::lock_guard<std::mutex> g(t.lock);
        if (InjectedFailure(t)) return false;
        p = zeroed ? std::calloc(1, total) : std::malloc(total);
        if (!p) return false;
        ++t.liveBlocks;
        t.liveBytes += total;
    }
    Free();
    data_ = p;
    size_ = bytes;
    capacity_ = total;
    return true;
}

bool MemBlock::Resize(size_t bytes) {
    if (!data_) return Alloc(bytes);
    if (bytes == size_) return true;
    size_t total;
    if (!SizeFits(bytes, &total)) return false;
    Table& t = Tab();
    std::lock_guard<std::mutex> g(t.lock);
    if (InjectedFailure(t)) return false;
    void* p = std::realloc(data_, total);
    if (!p) return false;
    t.liveBytes = t.liveBytes - capacity_ + total;
    data_ = p;
    size_ = bytes;
    capacity_ = total;
    return true;
}

bool MemBlock::CopyFrom(const MemBlock& other) {
    if (this == &other) return true;
    if (!other.data_) {
        Free();
        return true;
    }
    MemBlock fresh;
    if (!fresh.Alloc(other.size_)) return false;
    std::memcpy(fresh.data_, other.data_, other.size_);
    *this = std::move(fresh);
    return true;
}

void MemBlock::Free() {
    if (!data_) return;
    {
        Table& t = Tab();
        std::lock_guard<std::mutex> g(t.lock);
        std::free(data_);
        --t.liveBlocks;
        t.liveBytes -= capacity_;
    }
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

size_t MemLiveBlocks() {
    Table& t = Tab();
    std::lock_guard<std::mutex> g(t.lock);
    return t.liveBlocks;
}

size_t MemLiveBytes() {
    Table& t = Tab();
    std::lock_guard<std::mutex> g(t.lock);
    return t.liveBytes;
}

void MemFailAfter(int n, bool always) {
    Table& t = Tab();
    std::lock_guard<std::mutex> g(t.lock);
    t.failCountdown = n < 0 ? 0 : n;
    t.failAlways = always;
}

} // namespace vek
