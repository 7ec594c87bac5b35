// Whole-file reads and crash-safe whole-file writes: the one writer every file the user must not
// lose goes through (settings, pictures, history, exports).
//
// A write goes to a hidden temporary file beside its target (".<name>.sxtmpXXXXXX"), is written
// completely, flushed and renamed over the target, so a reader only ever finds the old file or the
// whole new one. On failure the temporary file is removed and the target stays as it was. Folder
// scans skip hidden names; IsTemporaryFileName recognises what an interrupted process left.
#pragma once

#include "shell/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vek {

// Largest file ReadWholeFile reads unless told otherwise.
constexpr uint64_t kMaxWholeFileBytes = uint64_t(1) << 30;

// Reads a whole regular file of at most `maxBytes` into `out`. Fails (out untouched) when the file
// is missing, not a regular file, too large, or changes size while it is read.
bool ReadWholeFile(const std::string& path, MemBlock& out, uint64_t maxBytes = kMaxWholeFileBytes);

// Writes `size` bytes to `path`, creating or replacing it. `durable` flushes the file before the
// rename and the folder after it, so the new file survives a power cut; files that never outlive
// the process may skip that. The file gets the mode a newly created file would get.
bool WriteFileReplacing(const std::string& path, const void* data, size_t size, bool durable = true);

// The two halves of WriteFileReplacing, for writers that replace several files together.
// WriteTemporaryFile leaves a finished temporary file beside `target` and names it in `temp`
// (untouched on failure, when nothing is left behind); ReplaceWithTemporaryFile renames it onto
// the target (the folder is not flushed: SyncFolder once after the last one); DiscardTemporaryFile
// removes one that will not be used.
bool WriteTemporaryFile(const std::string& target, const void* data, size_t size, bool durable,
                        std::string& temp);
bool ReplaceWithTemporaryFile(const std::string& temp, const std::string& target);
void DiscardTemporaryFile(const std::string& temp);
// Flushes a folder's entries (renames, new names) to the disk.
bool SyncFolder(const std::string& folder);
// The folder part of a path ("." for a bare name, "/" for a file in the root).
std::string FolderOfPath(const std::string& path);
bool IsTemporaryFileName(const std::string& name);

// Test hook: writes into temporary files fail once `bytes` more bytes have been written (a full
// disk). With `asCrash` the failing write also behaves like the process dying at that moment: the
// partial temporary file stays, and nothing is renamed or discarded until the hook is reset.
// A negative count switches the injection off.
void FailFileWritesAfter(int64_t bytes, bool asCrash = false);

} // namespace vek
