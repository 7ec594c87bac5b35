// Helpers for the resource tests: a fresh temporary folder per test, whole-file access and the
// sound file images (AVR, WAV) built byte by byte.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace restest {

// A folder under /tmp removed (with its files) when the object goes.
class TempFolder {
  public:
    TempFolder() {
        char name[] = "/tmp/sx_resources_XXXXXX";
        path_ = mkdtemp(name);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& b) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return bool(f.flush());
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

inline void Put16Be(std::vector<uint8_t>& b, int v) {
    b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
}
inline void Put16Le(std::vector<uint8_t>& b, int v) {
    b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
}
inline void Put32Le(std::vector<uint8_t>& b, uint32_t v) {
    b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}

// An AVR image: 128-byte header, then big-endian 16-bit samples.
inline std::vector<uint8_t> Avr(const std::vector<int16_t>& values, bool stereo, uint32_t hz) {
    std::vector<uint8_t> b = {'2', 'B', 'I', 'T', 'T', 'E', 'S', 'T', 0, 0, 0, 0};
    // mono/stereo, resolution, signed, no loop, no MIDI note; 0xFF and the rate in 24 bits; count
    for (int v : {stereo ? 0xFFFF : 0, 16, 0xFFFF, 0, 0xFFFF})
        Put16Be(b, v);
    const uint32_t count = uint32_t(values.size() / (stereo ? 2 : 1));
    b.insert(b.end(), {0xFF, uint8_t(hz >> 16), uint8_t(hz >> 8), uint8_t(hz), uint8_t(count >> 24),
                       uint8_t(count >> 16), uint8_t(count >> 8), uint8_t(count)});
    b.resize(128, 0);
    for (int16_t v : values)
        Put16Be(b, v);
    return b;
}

// A 44-byte-header PCM WAV of 16-bit frames (interleaved when `channels` is 2).
inline std::vector<uint8_t> Wav(const std::vector<int16_t>& values, int channels) {
    const uint32_t data = uint32_t(values.size() * 2);
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F'};
    Put32Le(b, 36 + data);
    for (char c : std::string("WAVEfmt "))
        b.push_back(uint8_t(c));
    Put32Le(b, 16); // PCM, channels, 44100 Hz, bytes per second, bytes per frame, 16 bits
    Put16Le(b, 1), Put16Le(b, channels), Put32Le(b, 44100), Put32Le(b, 44100u * 2u * uint32_t(channels));
    Put16Le(b, 2 * channels), Put16Le(b, 16);
    for (char c : std::string("data"))
        b.push_back(uint8_t(c));
    Put32Le(b, data);
    for (int16_t v : values)
        Put16Le(b, v);
    return b;
}

} // namespace restest
