// Whole-file reads and crash-safe whole-file writes for the picture store, plus the few folder
// operations it needs (delete files, remove folders, rename, list visible folders, free space).
//
// A write goes to a hidden temporary file in the target's folder, is flushed and then renamed over
// the target, so a reader only ever sees the old file or the complete new one. A batch keeps
// several finished temporary files and renames them together at the end: a failed save of a
// picture changes none of its files. Reads never hand out partial data.
#pragma once

#include "shell/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class c_VekFil_Disk {
  public:
    // Reads the whole regular file into `out`. Fails (out untouched) when the file is missing, is
    // not a regular file, is larger than `maxBytes`, or cannot be read completely.
    static bool ReadWhole(const std::string& path, vek::MemBlock& out, uint64_t maxBytes);
    // Writes `size` bytes through a temporary file and a rename. `durable` flushes the file and
    // its folder to the disk before returning (store files); history files skip it since they
    // never outlive the process. On failure the old file (if any) is left as it was.
    static bool WriteWhole(const std::string& path, const void* data, size_t size, bool durable = true);

    static bool IsFile(const std::string& path);
    static bool IsFolder(const std::string& path);
    // Size of a regular file, or -1.
    static int64_t FileSize(const std::string& path);
    // Removes one file; true when it is gone afterwards (a missing file counts as removed).
    static bool Delete(const std::string& path);
    // Removes every file directly inside `folder` (hidden ones too, sub-folders stay). Returns
    // false when the folder cannot be read or a file could not be removed.
    static bool DeleteFilesIn(const std::string& folder);
    // Removes temporary files left behind by an interrupted write.
    static void DeleteStrayTemporaries(const std::string& folder);
    // Removes an empty folder.
    static bool RemoveFolder(const std::string& path);
    // Renames a file or folder; fails when the target exists.
    static bool Rename(const std::string& from, const std::string& to);
    // Names of the regular files directly inside `folder` (hidden ones too), sorted.
    static std::vector<std::string> Files(const std::string& folder);
    // Names of the visible (not starting with ".") sub-folders of `folder`, sorted bytewise so
    // that every run meets them in the same order.
    static std::vector<std::string> VisibleFolders(const std::string& folder);
    // Bytes available to this user on the volume of `folder` (statvfs f_bavail * f_frsize);
    // 0 when it cannot be asked.
    static uint64_t FreeBytes(const std::string& folder);

    // Test hook: the next writes into temporary files fail once `bytes` more bytes have been
    // written (disk full). With `asCrash` the failing write also behaves like the process dying at
    // that moment: the partial temporary files stay behind and no later rename of the batch runs.
    // A negative count switches the injection off.
    static void FailWritesAfter(int64_t bytes, bool asCrash = false);
    static bool IsTemporaryName(const std::string& name);
};

// Several files written as one: each Add writes a finished temporary file, Commit renames them
// all in the order added. A batch that is not committed (or whose Add failed) removes its
// temporary files when destroyed, leaving every target as it was.
class c_VekFil_Batch {
  public:
    explicit c_VekFil_Batch(bool durable = true) : durable_(durable) {}
    ~c_VekFil_Batch();
    c_VekFil_Batch(const c_VekFil_Batch&) = delete;
    c_VekFil_Batch& operator=(const c_VekFil_Batch&) = delete;

    bool Add(const std::string& path, const void* data, size_t size);
    // Renames every temporary file onto its target; false after a failed Add or rename. Renames
    // already done stay done (each file is whole either way).
    bool Commit();
    bool Failed() const { return failed_; }
    size_t Count() const { return entries_.size(); }

  private:
    struct Entry {
        std::string temp;
        std::string target;
    };
    void Abandon();
    std::vector<Entry> entries_;
    bool durable_;
    bool failed_ = false;
    bool committed_ = false;
};
