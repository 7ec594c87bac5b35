// Little-endian sub-chunk helpers for the layers' class blocks (WriteTypeBlock / ReadTypeBlock):
// a sub-chunk is u32 size (head included, a multiple of 4), u32 tag, payload. Readers stop and
// fail on a size below 8 or one running past the end.
#pragma once

#include <cstdint>
#include <cstring>

#include "shell/MemBlock.h"

namespace tes {

inline void PutU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

inline uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void PutF32(uint8_t* p, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    PutU32(p, u);
}

inline float GetF32(const uint8_t* p) {
    uint32_t u = GetU32(p);
    float v;
    std::memcpy(&v, &u, 4);
    return v;
}

// Makes room for `bytes` more at `position`; the block keeps its contents. False when it cannot grow.
inline bool Reserve(vek::MemBlock& buffer, int32_t position, int32_t bytes) {
    if (position < 0 || bytes < 0) return false;
    const size_t need = static_cast<size_t>(position) + static_cast<size_t>(bytes);
    if (buffer.Size() >= need) return true;
    return buffer.Resize(need);
}

// Appends one 12-byte sub-chunk whose 4-byte payload is `payload`. Returns the new end or -1.
inline int32_t PutSmallChunk(vek::MemBlock& buffer, int32_t position, uint32_t tag,
                             const uint8_t payload[4]) {
    if (!Reserve(buffer, position, 12)) return -1;
    uint8_t* p = buffer.As<uint8_t>() + position;
    PutU32(p, 12);
    PutU32(p + 4, tag);
    std::memcpy(p + 8, payload, 4);
    return position + 12;
}

// Walks the sub-chunks of data[0..size); calls visit(tag, payload, payloadSize) for each.
// False when a chunk's size is malformed.
template <class Visit> bool WalkChunks(const uint8_t* data, int32_t size, Visit visit) {
    int64_t pos = 0;
    while (size - pos >= 8) {
        const uint32_t chunk = GetU32(data + pos);
        if (chunk < 8 || chunk > static_cast<uint64_t>(size - pos)) return false;
        visit(GetU32(data + pos + 4), data + pos + 8, static_cast<int32_t>(chunk - 8));
        pos += chunk;
    }
    return true;
}

} // namespace tes
