// Whole-file reads and writes for the resource, sound and settings files.
// Reads are capped so a huge or endless file is refused before anything is allocated; writes go to
// a temporary file beside the target, are flushed to disk and then renamed over it, so a failed
// write never leaves a half-written file in place of a good one.
#pragma once

#include "shell/MemBlock.h"

#include <cstddef>
#include <string>

namespace vek::res {

// Reads the whole file into `out` (Size() = file length). False when the file is missing,
// unreadable or longer than `maxBytes`; `out` is then untouched.
bool ReadWholeFile(const std::string& path, MemBlock& out, size_t maxBytes);

// Writes `bytes` as the complete new content of `path` via "<path>.tmp" and rename. False when any
// step fails; the old file (if any) is then still in place and the temporary file is removed.
bool WriteWholeFile(const std::string& path, const void* bytes, size_t size);

bool FileExists(const std::string& path);

} // namespace vek::res
