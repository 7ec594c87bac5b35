// The panels' shared state and the rules that apply it to the tool box: the selected tool, the pen
// size (a share of the picture's shorter side), the palette of 24 colours with its defaults.
// The saved part lives in the program state (selected tool, pen size index, colour index,
// palette); what lasts only for the run (last applied tool and size, panels hidden) lives here.
// Palette colours are linear light, like the tool box's paint colour.
#pragma once

#include <cstdint>

class cVek_ToolBox;

namespace scribbix {

struct ProgramState;

struct PanelRunState {
    uint32_t lastAppliedTool = 0; // 0: none applied yet
    int32_t lastAppliedPenSize = -1;
    bool panelsHidden = false;
};

// The process-wide run state.
PanelRunState& PanelRun();

// The nine tool buttons in panel order (three rows of three).
struct ToolButton {
    const char* caption; // one letter of the icon font
    const char* help;
    uint32_t id;
};
extern const ToolButton kToolButtons[9];

// Pen size in pixels for index 0..5 on a picture of width × height:
// min(width, height) × {5, 10, 20, 35, 50, 75}[index] / 1000, clamped to 1..250.
int32_t PenSizePixels(int32_t index, int32_t width, int32_t height);

// Makes the selected tool the tool box's primary tool when it differs from the last applied one.
void ApplySelectedTool(ProgramState& state, cVek_ToolBox* toolBox);
// Sets the tool box's size from the pen size index when the index differs from the last applied
// one (or `force`). Needs the picture size.
void ApplyPenSize(ProgramState& state, cVek_ToolBox* toolBox, int32_t pictureWidth, int32_t pictureHeight,
                  bool force = false);

// The default palette: rows of dark, full and light shades, all 24 used.
extern const float kDefaultPalette[24][3];
// Whether the palette has ever been set (entry 0's used flag above 0).
bool PaletteSet(const ProgramState& state);
// Loads the default palette (entries 24..31 unused) and gives the tool box the paint colour of
// the selected index.
void LoadDefaultPalette(ProgramState& state, cVek_ToolBox* toolBox);
// Palette entry k as linear red, green, blue (k outside 0..31 gives entry 0).
const float* PaletteColour(const ProgramState& state, int32_t k);
void SetPaletteColour(ProgramState& state, int32_t k, const float rgb[3]);

} // namespace scribbix
