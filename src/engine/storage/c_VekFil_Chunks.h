// The tagged-chunk encoding of every store file: u32 size of the whole chunk (8-byte head
// included, a multiple of 4), u32 tag, payload; all numbers little-endian.
//
// The writer appends into a memory block, growing it in steps of at least 1024 bytes, and fails
// (sticky) instead of writing a chunk whose size does not fit 32 bits. The reader checks the whole
// chain before anyone looks at it: a size below 8, past the end or not a multiple of 4, or stray
// bytes after the last chunk, makes the data malformed and nothing is handed out.
#pragma once

#include "shell/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the store writes little-endian memory images");

class c_VekFil_ChunkWriter {
  public:
    // Appends at `pos` in `block` (which is grown as needed; bytes beyond pos are overwritten).
    explicit c_VekFil_ChunkWriter(vek::MemBlock& block, size_t pos = 0) : block_(block), pos_(pos) {}

    // Opens a chunk: reserves its head and returns its start for End.
    size_t Begin(uint32_t tag);
    // Pads the payload with zeros to a multiple of 4 and fills in the head.
    void End(size_t start);
    // A whole chunk with the given payload (padded to a multiple of 4).
    void Chunk(uint32_t tag, const void* payload, size_t bytes);
    // A whole chunk of 32-bit values.
    void Ints(uint32_t tag, std::initializer_list<int32_t> values) {
        Chunk(tag, values.begin(), values.size() * 4);
    }
    void Floats(uint32_t tag, std::initializer_list<float> values) {
        Chunk(tag, values.begin(), values.size() * 4);
    }

    void U32(uint32_t v) { Put(&v, 4); }
    void I32(int32_t v) { Put(&v, 4); }
    void F32(float v) { Put(&v, 4); }
    void U8(uint8_t v) { Put(&v, 1); }
    void Put(const void* p, size_t n);
    void Zeros(size_t n);
    // Makes room for `bytes` more without moving pos (one growth for a large payload).
    bool Reserve(size_t bytes);

    size_t Pos() const { return pos_; }
    bool Ok() const { return ok_; }
    // Marks the output unusable (something that cannot be stored was met).
    void Fail() { ok_ = false; }
    // Shrinks the block to the bytes written. False when any step failed.
    bool Finish();

  private:
    vek::MemBlock& block_;
    size_t pos_;
    bool ok_ = true;
};

struct c_VekFil_Chunk {
    uint32_t tag = 0;
    const uint8_t* data = nullptr; // payload
    size_t size = 0;               // payload bytes

    uint32_t U32(size_t at) const {
        uint32_t v;
        std::memcpy(&v, data + at, 4);
        return v;
    }
    int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
    float F32(size_t at) const {
        float v;
        std::memcpy(&v, data + at, 4);
        return v;
    }
    uint8_t U8(size_t at) const { return data[at]; }
};

class c_VekFil_ChunkReader {
  public:
    c_VekFil_ChunkReader(const void* data, size_t size);

    bool Ok() const { return ok_; }
    size_t Count() const { return chunks_.size(); }
    const c_VekFil_Chunk& At(size_t i) const { return chunks_[i]; }
    // First chunk with the tag whose payload holds at least `minPayload` bytes, or null. A chunk
    // with the tag but too short a payload also makes Find fail (`*tooShort` set when given).
    const c_VekFil_Chunk* Find(uint32_t tag, size_t minPayload = 0, bool* tooShort = nullptr) const;

  private:
    std::vector<c_VekFil_Chunk> chunks_;
    bool ok_ = false;
};
