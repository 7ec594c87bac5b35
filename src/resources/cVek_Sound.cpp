#include "resources/cVek_Sound.h"

#include "platform/ImageCodec.h"
#include "resources/SoundMixer.h"
#include "shell/FolderService.h"

#include <cstring>
#include <unistd.h>
#include <utility>

namespace {

constexpr uint32_t kDatRate = 44100;
constexpr size_t kAvrHeader = 128;
constexpr size_t kWavHeader = 44;

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[1] << 8 | p[0]);
}
int16_t Be16s(const uint8_t* p) {
    return static_cast<int16_t>(uint16_t(p[0] << 8 | p[1]));
}

bool HasExtension(const std::string& name, const char* ext) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return false;
    const std::string e = name.substr(dot + 1);
    if (e.size() != std::strlen(ext)) return false;
    for (size_t i = 0; i < e.size(); ++i)
        if ((e[i] & ~0x20) != ext[i]) return false; // ext is upper case letters
    return true;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace

namespace vek::res {

std::string DatNameOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return name + ".DAT";
    return name.substr(0, dot + 1) + "DAT";
}

bool WavToDat(const uint8_t* b, size_t size, MemBlock& dat) {
    if (size < kWavHeader) return false;
    if (std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0 ||
        std::memcmp(b + 12, "fmt ", 4) != 0 || std::memcmp(b + 36, "data", 4) != 0)
        return false;
    const uint16_t format = Le16(b + 20), channels = Le16(b + 22), bits = Le16(b + 34);
    if (format != 1 || bits != 16 || (channels != 1 && channels != 2)) return false;
    const uint32_t riff = Le32(b + 4);
    if (riff < 36) return false;
    // The data length comes from the RIFF length; a file cut short of it is refused.
    const uint64_t dataBytes = uint64_t(riff) - 36;
    if (dataBytes > size - kWavHeader) return false;
    const size_t frameBytes = 2u * channels;
    const size_t frames = static_cast<size_t>(dataBytes / frameBytes);
    if (frames == 0) return false;
    MemBlock out;
    if (!out.Alloc(frames * 2)) return false;
    uint8_t* o = out.As<uint8_t>();
    const uint8_t* s = b + kWavHeader;
    for (size_t i = 0; i < frames; ++i, s += frameBytes) {
        // little-endian in the WAV, big-endian in the DAT; the left channel comes first
        o[i * 2] = s[1];
        o[i * 2 + 1] = s[0];
    }
    dat = std::move(out);
    return true;
}

} // namespace vek::res

cVek_Sound::cVek_Sound() {
    MakeSilent();
}

cVek_Sound::~cVek_Sound() {
    vek::SoundMixer::ForgetEverywhere(Samples());
}

void cVek_Sound::Publish(vek::MemBlock&& data, uint32_t count, uint32_t rate, uint8_t flags) {
    vek::SoundMixer::ForgetEverywhere(Samples());
    samples_ = std::move(data);
    count_ = count;
    rate_ = rate;
    flags_ = flags;
}

void cVek_Sound::MakeSilent() {
    vek::MemBlock zero;
    if (!zero.AllocZeroed(kSilentCount * sizeof(int16_t))) {
        // Without memory for 32 bytes keep whatever plays now; an empty sound is never mixed.
        if (samples_.Empty()) count_ = 0;
        return;
    }
    Publish(std::move(zero), kSilentCount, kDatRate << 12, kSixteenBit);
}

bool cVek_Sound::ReadAvr(const uint8_t* b, size_t size) {
    if (!b || size < kAvrHeader || std::memcmp(b, "2BIT", 4) != 0) return false;
    const bool stereo = (b[12] & 1) != 0;
    const bool sixteen = (b[15] & 0x10) != 0;
    const bool signedBytes = b[16] != 0 || b[17] != 0;
    const uint32_t hz = uint32_t(b[23]) << 16 | uint32_t(b[24]) << 8 | b[25];
    const uint32_t count = Be32(b + 26);
    // The rate is kept in 20.12 fixed point, so it must stay below 2^20 Hz.
    if (hz == 0 || hz >= (1u << 20) || count == 0) return false;
    const uint64_t values = uint64_t(count) * (stereo ? 2 : 1);
    const uint64_t bytes = values * (sixteen ? 2 : 1);
    if (bytes > size - kAvrHeader) return false; // truncated
    vek::MemBlock data;
    if (!data.Alloc(static_cast<size_t>(values) * sizeof(int16_t))) return false;
    int16_t* o = data.As<int16_t>();
    const uint8_t* s = b + kAvrHeader;
    for (uint64_t i = 0; i < values; ++i) {
        if (sixteen) {
            o[i] = Be16s(s + i * 2);
        } else {
            // 8-bit samples widen to 16 bits so the mixer sees one format.
            const int v = signedBytes ? static_cast<int8_t>(s[i]) : int(s[i]) - 128;
            o[i] = static_cast<int16_t>(v * 256);
        }
    }
    Publish(std::move(data), count, hz << 12, uint8_t((stereo ? kStereo : 0) | kSixteenBit));
    return true;
}

bool cVek_Sound::ReadDat(const uint8_t* b, size_t size) {
    const size_t count = size / 2;
    if (!b || count == 0 || count > UINT32_MAX) return false;
    vek::MemBlock data;
    if (!data.Alloc(count * sizeof(int16_t))) return false;
    int16_t* o = data.As<int16_t>();
    for (size_t i = 0; i < count; ++i)
        o[i] = Be16s(b + i * 2);
    Publish(std::move(data), static_cast<uint32_t>(count), kDatRate << 12, kSixteenBit);
    return true;
}

void cVek_Sound::Load(const std::string& name) {
    vek::FolderService& fs = vek::FolderService::Get();
    if (!fs.GoTo(0)) {
        MakeSilent();
        return;
    }
    LoadFrom(fs.Current(), name);
}

void cVek_Sound::LoadFrom(const std::string& folder, const std::string& name) {
    vek::MemBlock file;
    const std::string path = Join(folder, name);
    if (HasExtension(name, "AVR")) {
        if (!vek::ReadWholeFile(path, file, kMaxFileBytes) || !ReadAvr(file.As<uint8_t>(), file.Size()))
            MakeSilent();
        return;
    }
    const std::string datPath = Join(folder, vek::res::DatNameOf(name));
    if (vek::ReadWholeFile(path, file, kMaxFileBytes)) {
        vek::MemBlock dat;
        if (vek::res::WavToDat(file.As<uint8_t>(), file.Size(), dat) &&
            ReadDat(dat.As<uint8_t>(), dat.Size())) {
            // Convert once: the WAV goes only after its DAT is safely written. A read-only data
            // folder keeps the WAV and converts again next time, which costs nothing audible.
            if (vek::WriteFileReplacing(datPath, dat.Data(), dat.Size())) unlink(path.c_str());
            return;
        }
        // A damaged WAV stays where it is; an earlier conversion may still be usable.
    }
    if (!vek::ReadWholeFile(datPath, file, kMaxFileBytes) || !ReadDat(file.As<uint8_t>(), file.Size()))
        MakeSilent();
}
