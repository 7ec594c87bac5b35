// Chunk writer and validating chunk reader.
#include "engine/storage/c_VekFil_Chunks.h"

#include <algorithm>

bool c_VekFil_ChunkWriter::Reserve(size_t bytes) {
    if (!ok_) return false;
    if (bytes > SIZE_MAX - pos_ - 1024) {
        ok_ = false;
        return false;
    }
    const size_t need = pos_ + bytes;
    if (need <= block_.Size() && !block_.Empty()) return true;
    if (!block_.Resize(need + 1024)) ok_ = false;
    return ok_;
}

void c_VekFil_ChunkWriter::Put(const void* p, size_t n) {
    if (!Reserve(n)) return;
    if (n) std::memcpy(block_.As<uint8_t>() + pos_, p, n);
    pos_ += n;
}

void c_VekFil_ChunkWriter::Zeros(size_t n) {
    if (!Reserve(n)) return;
    if (n) std::memset(block_.As<uint8_t>() + pos_, 0, n);
    pos_ += n;
}

size_t c_VekFil_ChunkWriter::Begin(uint32_t tag) {
    const size_t start = pos_;
    U32(0);
    U32(tag);
    return start;
}

void c_VekFil_ChunkWriter::End(size_t start) {
    if (!ok_) return;
    Zeros((4 - (pos_ - start) % 4) % 4);
    if (!ok_) return;
    const size_t size = pos_ - start;
    if (size > UINT32_MAX) { // a payload of 4 GB or more cannot be described by the format
        ok_ = false;
        return;
    }
    const uint32_t s = static_cast<uint32_t>(size);
    std::memcpy(block_.As<uint8_t>() + start, &s, 4);
}

void c_VekFil_ChunkWriter::Chunk(uint32_t tag, const void* payload, size_t bytes) {
    if (!Reserve(bytes + 12)) return;
    const size_t start = Begin(tag);
    Put(payload, bytes);
    End(start);
}

bool c_VekFil_ChunkWriter::Finish() {
    if (ok_ && !block_.Resize(pos_)) ok_ = false;
    return ok_;
}

c_VekFil_ChunkReader::c_VekFil_ChunkReader(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    size_t at = 0;
    if (!p && size) return;
    while (size - at >= 8) {
        uint32_t len, tag;
        std::memcpy(&len, p + at, 4);
        std::memcpy(&tag, p + at + 4, 4);
        if (len < 8 || len % 4 != 0 || len > size - at) {
            chunks_.clear();
            return;
        }
        c_VekFil_Chunk c;
        c.tag = tag;
        c.data = p + at + 8;
        c.size = len - 8;
        chunks_.push_back(c);
        at += len;
    }
    if (at != size) { // stray bytes after the last chunk: the data was cut or damaged
        chunks_.clear();
        return;
    }
    ok_ = true;
}

const c_VekFil_Chunk* c_VekFil_ChunkReader::Find(uint32_t tag, size_t minPayload, bool* tooShort) const {
    for (const c_VekFil_Chunk& c : chunks_) {
        if (c.tag != tag) continue;
        if (c.size < minPayload) {
            if (tooShort) *tooShort = true;
            return nullptr;
        }
        return &c;
    }
    return nullptr;
}
