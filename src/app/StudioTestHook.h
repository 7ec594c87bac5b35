// Test hook: when the environment variable SCRIBBIX_TEST_STATE names a file, the program writes
// what a test driving it from outside needs to know into that file after every frame in which it
// changed: the panel state, the tool box's tool, size and colour, the drawing and its history,
// the slots, the last export, the open windows and menus with their items, whether popup help is
// showing, and the screen pixel at the centre of every panel button. Users never set it; nothing
// the program does depends on it. One "key values..." line per fact, plain ASCII.
#pragma once

#include <string>

namespace scribbix {

class Studio;

// The text the hook writes (also used by tests directly).
std::string StudioStateText(const Studio* studio);

// Writes the text to `path` (temporary file, then renamed) when it differs from the last one
// written. Does nothing for an empty path.
void WriteStudioState(const Studio* studio, const std::string& path);

} // namespace scribbix
