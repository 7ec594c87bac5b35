#include "resources/cVek_Settings.h"

#include "platform/ImageCodec.h"
#include "shell/FolderService.h"

#include <cassert>
#include <cstring>
#include <utility>

namespace {

constexpr size_t kHeader = 12;

uint32_t Read32(const uint8_t* p, bool bigEndian) {
    return bigEndian ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                     : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

void Write32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t ElementSize(const s_SettingsRecord& r) {
    return r.size == 1 ? 1 : 4;
}

} // namespace

cVek_Settings::cVek_Settings(std::string fileName) : fileName_(std::move(fileName)) {}

void cVek_Settings::AddRecord(const s_SettingsRecord& record) {
    records_.push_back(record);
}

void cVek_Settings::Scramble(uint8_t* bytes, size_t size) {
    uint32_t s = 0x5C7A3E91u;
    for (size_t i = kHeader; i < size; ++i) {
        s = s * 1664525u + 1013904223u;
        bytes[i] ^= uint8_t(s >> 24);
    }
}

uint32_t cVek_Settings::Checksum(const uint8_t* bytes, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        if (i < 8 || i >= kHeader) sum += bytes[i];
    return sum;
}

bool cVek_Settings::Parse(const uint8_t* stored, size_t size) {
    if (!stored || size < kMinFileBytes || size > kMaxFileBytes) return false;
    bool big;
    if (Read32(stored + 4, false) == kMarker)
        big = false;
    else if (Read32(stored + 4, true) == kMarker)
        big = true;
    else
        return false;
    if (Checksum(stored, size) != Read32(stored + 8, big)) return false;

    vek::MemBlock plain;
    if (!plain.Alloc(size)) return false;
    std::memcpy(plain.Data(), stored, size);
    Scramble(plain.As<uint8_t>(), size);
    const uint8_t* b = plain.As<uint8_t>();

    // First walk: validate every record before anything is copied.
    size_t at = kHeader;
    while (at + 8 <= size) {
        const uint32_t len = Read32(b + at + 4, big);
        if (len == 0) break;
        if (len < 8 || len > size - at) return false;
        at += len;
    }
    // Second walk: copy min(payload elements, table count) of every known record.
    at = kHeader;
    while (at + 8 <= size) {
        const uint32_t id = Read32(b + at, big);
        const uint32_t len = Read32(b + at + 4, big);
        if (len == 0) break;
        for (const s_SettingsRecord& r : records_) {
            if (r.id != id || !r.load) continue;
            const uint32_t es = ElementSize(r);
            uint32_t n = (len - 8) / es;
            if (n > r.count) n = r.count;
            uint8_t* dst = static_cast<uint8_t*>(r.load);
            const uint8_t* src = b + at + 8;
            if (es == 1) {
                std::memcpy(dst, src, n);
            } else {
                for (uint32_t k = 0; k < n; ++k) {
                    const uint32_t v = Read32(src + k * 4, big);
                    std::memcpy(dst + k * 4, &v, 4);
                }
            }
        }
        at += len;
    }
    return true;
}

bool cVek_Settings::Build(vek::MemBlock& out) const {
    size_t size = kHeader + 8;
    for (const s_SettingsRecord& r : records_)
        size += 8 + size_t(r.count) * ElementSize(r);
    vek::MemBlock block;
    if (!block.AllocZeroed(size)) return false;
    uint8_t* b = block.As<uint8_t>();
    Write32(b + 4, kMarker);
    size_t at = kHeader;
    for (const s_SettingsRecord& r : records_) {
        const uint32_t es = ElementSize(r);
        const uint32_t payload = r.count * es;
        Write32(b + at, r.id);
        Write32(b + at + 4, 8 + payload);
        const void* src = r.save ? r.save : r.load;
        if (src) {
            if (es == 1) {
                std::memcpy(b + at + 8, src, payload);
            } else {
                for (uint32_t k = 0; k < r.count; ++k) {
                    uint32_t v;
                    std::memcpy(&v, static_cast<const uint8_t*>(src) + k * 4, 4);
                    Write32(b + at + 8 + k * 4, v);
                }
            }
        }
        at += 8 + payload;
    }
    // The terminating record is the 8 zero bytes left at the end.
    Scramble(b, size);
    Write32(b + 8, Checksum(b, size));
    out = std::move(block);
    return true;
}

bool cVek_Settings::GoToFolder(std::string& path) const {
    vek::FolderService& fs = vek::FolderService::Get();
    if (!fs.GoToConfig() || !fs.Enter("Vekstal/Sx", true)) return false;
    path = fs.PathOf(fileName_);
    return true;
}

bool cVek_Settings::LoadFile(const std::string& path) {
    vek::MemBlock file;
    const bool ok = vek::ReadWholeFile(path, file, kMaxFileBytes) && Parse(file.As<uint8_t>(), file.Size());
    if (afterLoad) afterLoad(ok);
    return ok;
}

bool cVek_Settings::SaveFile(const std::string& path) {
    if (beforeSave) beforeSave();
    vek::MemBlock image;
    return Build(image) && vek::WriteFileReplacing(path, image.Data(), image.Size());
}

bool cVek_Settings::Load() {
    std::string path;
    if (!GoToFolder(path)) {
        if (afterLoad) afterLoad(false);
        return false;
    }
    return LoadFile(path);
}

bool cVek_Settings::Save() {
    std::string path;
    if (!GoToFolder(path)) return false;
    return SaveFile(path);
}
