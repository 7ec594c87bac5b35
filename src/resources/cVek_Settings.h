// The settings file: a small record file that keeps the program's persistent state between runs.
//
// Layout (each number 32-bit, in the file's byte order): word 0 = 0; marker 12 (read as 12 the
// file is little-endian, read byte-reversed it is big-endian and every 32-bit value is reversed);
// checksum = sum of all file bytes as unsigned values with this word taken as 0; then records of
// identifier, length (8 + payload bytes) and payload, ended by a record of 8 zero bytes.
// Scrambling: every byte from offset 12 on is XORed with a key stream (see Scramble), so the
// records are not plain text; the checksum covers the bytes as stored.
// A file that is short, has a bad marker or checksum, or whose records run past its end is
// ignored as a whole: nothing is loaded and the defaults stay.
#pragma once

#include "shell/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct s_SettingsRecord {
    uint32_t id;
    void* load;       // where loaded elements go
    const void* save; // where saved elements come from; null = `load`
    uint32_t count;   // element count
    uint32_t size;    // element size, 1 or 4 bytes (0 means 4); 4-byte elements are byte-swapped
                      // when the file is big-endian
};

class cVek_Settings {
  public:
    // `fileName` lives in "Vekstal/Sx" below the per-user configuration folder.
    explicit cVek_Settings(std::string fileName);

    void AddRecord(const s_SettingsRecord& record);
    const std::vector<s_SettingsRecord>& Records() const { return records_; }

    // Run at the end of every Load (true when a file was read) and at the start of every Save.
    std::function<void(bool fromFile)> afterLoad;
    std::function<void()> beforeSave;

    // Enters "Vekstal/Sx" (created if missing) below the configuration folder and loads or saves
    // the file there. Load returns true when a file was read; Save returns false when the file
    // could not be written (the previous file is then still intact).
    bool Load();
    bool Save();
    bool LoadFile(const std::string& path);
    bool SaveFile(const std::string& path);

    // The file image, without the hooks. Parse returns false (nothing loaded) for a file it
    // ignores; Build can fail only for want of memory.
    bool Parse(const uint8_t* bytes, size_t size);
    bool Build(vek::MemBlock& out) const;

    // Set by the program once set-up has applied the settings; only then does closing save them.
    void MarkLoaded() { loaded_ = true; }
    bool IsLoaded() const { return loaded_; }

    // XORs bytes [12, size) with the key stream: state s = 0x5C7A3E91, then per byte
    // s = s * 1664525 + 1013904223 (mod 2^32) and the byte is XORed with s >> 24. Its own inverse.
    static void Scramble(uint8_t* bytes, size_t size);
    static uint32_t Checksum(const uint8_t* bytes, size_t size);

    static constexpr uint32_t kMarker = 12;
    static constexpr size_t kMinFileBytes = 24;
    static constexpr size_t kMaxFileBytes = 1u << 20;

  private:
    bool GoToFolder(std::string& path) const;

    std::string fileName_;
    std::vector<s_SettingsRecord> records_;
    bool loaded_ = false;
};
