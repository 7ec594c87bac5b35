// The program's persistent state: everything the settings file keeps between runs, in one place.
// The studio's panels, the tool box and the picture editor read and write these fields directly;
// the settings file loads into them and saves from them (record identifiers beside each field).
// Values read from a file are checked (Sanitize) before anyone indexes a table with them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class cVek_Settings;

namespace scribbix {

struct EditorAndToolBoxBytes {    // record 3
    uint8_t editorSubPixel = 0;   // picture editor's sub-pixel mapping flag
    uint8_t editorMagnifier = 16; // low byte of the picture editor's magnifier factor
    uint8_t toolBox[2] = {1, 1};  // tool box: sub-pixel coordinates, input smoothing
};

struct LookBytes { // record 4
    uint8_t colourScheme = 3;
    uint8_t look = 1;
    uint8_t unused[2] = {0, 0};
};

struct ProgramState {
    // Record 1: settings version 100, 0, version and sub-version of the program that wrote it.
    uint32_t versionRecord[4] = {100, 0, 0, 0};
    EditorAndToolBoxBytes editor;
    LookBytes look;
    int32_t wipSlots[10] = {};      // record 5: picture identifiers, 0 = empty slot
    float palette[128] = {};        // record 6: 32 × (red, green, blue, used flag); unused until set
    int32_t selectedColour = 6;     // record 8: palette index 0..23
    int32_t selectedTool = 1020000; // record 9: Dark 3D Pen
    int32_t penSizeIndex = 3;       // record 10: 0..5

    static constexpr int kPaletteEntries = 32;
    static constexpr int kUsedColours = 24;
    static constexpr int kPenSizes = 6;

    // Back to the values of a first run.
    void Reset() { *this = ProgramState(); }
    // Replaces values no program run can have written (an index out of range, a colour that is
    // not a finite number) with their defaults; returns true when anything changed.
    bool Sanitize();
};

// The process-wide state.
ProgramState& State();

// The settings object for "DATA2.BIN" with the program's records (1, 3, 4, 5, 6, 8, 9, 10), all
// loading into and saving from `state`. After a load it sanitises the state and, when a file was
// read, runs the version check of cVek_AppInfo on the version record; before a save it writes the
// current version into that record. `apply` (after load) and `gather` (before save) let the
// program copy between the state and objects that keep their own copies; either may be empty.
std::unique_ptr<cVek_Settings> CreateSettings(ProgramState& state, std::function<void(bool fromFile)> apply,
                                              std::function<void()> gather);

} // namespace scribbix
