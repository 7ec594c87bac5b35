// Panel state rules: tool selection, pen sizes and the palette.
#include "app/StudioPanelState.h"

#include "engine/tools/cVek_ToolBox.h"
#include "resources/ProgramState.h"

#include <algorithm>

namespace scribbix {

PanelRunState& PanelRun() {
    static PanelRunState s;
    return s;
}

const ToolButton kToolButtons[9] = {
    {"A", "Ordinary Pen", 1},      {"C", "Soft Pen", 1020002},      {"B", "Eraser", 2},
    {"D", "Dark 3D Pen", 1020000}, {"E", "Medium 3D Pen", 1020003}, {"F", "Light 3D Pen", 1020001},
    {"I", "Glitter Pen", 8},       {"G", "Smudge", 1020005},        {"H", "Drag", 1020004},
};

namespace {
// Thousandths of the picture's shorter side, per pen size index.
constexpr int32_t kPenShares[6] = {5, 10, 20, 35, 50, 75};
} // namespace

int32_t PenSizePixels(int32_t index, int32_t width, int32_t height) {
    index = std::clamp(index, 0, 5);
    const int64_t side = std::max<int64_t>(0, std::min(width, height));
    const int64_t px = side * kPenShares[index] / 1000;
    return int32_t(std::clamp<int64_t>(px, 1, 250));
}

void ApplySelectedTool(ProgramState& state, cVek_ToolBox* toolBox) {
    PanelRunState& run = PanelRun();
    if (!toolBox || uint32_t(state.selectedTool) == run.lastAppliedTool) return;
    toolBox->SetPrimaryTool(uint32_t(state.selectedTool));
    run.lastAppliedTool = uint32_t(state.selectedTool);
}

void ApplyPenSize(ProgramState& state, cVek_ToolBox* toolBox, int32_t w, int32_t h, bool force) {
    PanelRunState& run = PanelRun();
    if (!toolBox || w <= 0 || h <= 0) return;
    if (!force && state.penSizeIndex == run.lastAppliedPenSize) return;
    toolBox->size[0] = PenSizePixels(state.penSizeIndex, w, h);
    run.lastAppliedPenSize = state.penSizeIndex;
}

const float kDefaultPalette[24][3] = {
    {0, 0, 0},       {0.5f, 0.5f, 0.5f}, {1, 1, 1},          //
    {0.5f, 0, 0},    {1, 0, 0},          {1, 0.5f, 0.5f},    //
    {0.5f, 0.5f, 0}, {1, 1, 0},          {1, 1, 0.5f},       //
    {0, 0.5f, 0},    {0, 1, 0},          {0.5f, 1, 0.5f},    //
    {0, 0.5f, 0.5f}, {0, 1, 1},          {0.5f, 1, 1},       //
    {0, 0, 0.5f},    {0, 0, 1},          {0.5f, 0.5f, 1},    //
    {0.5f, 0, 0.5f}, {1, 0, 1},          {1, 0.5f, 1},       //
    {0.2f, 0.1f, 0}, {0.6f, 0.2f, 0},    {0.7f, 0.4f, 0.2f}, //
};

bool PaletteSet(const ProgramState& state) {
    return state.palette[3] > 0.0f;
}

void LoadDefaultPalette(ProgramState& state, cVek_ToolBox* toolBox) {
    for (int k = 0; k < ProgramState::kPaletteEntries; ++k) {
        float* e = state.palette + k * 4;
        const bool used = k < ProgramState::kUsedColours;
        e[0] = used ? kDefaultPalette[k][0] : 0.0f;
        e[1] = used ? kDefaultPalette[k][1] : 0.0f;
        e[2] = used ? kDefaultPalette[k][2] : 0.0f;
        e[3] = used ? 1.0f : 0.0f;
    }
    if (toolBox) toolBox->SetColour(cVek_ToolBox::kPaint, PaletteColour(state, state.selectedColour), 1);
}

const float* PaletteColour(const ProgramState& state, int32_t k) {
    if (k < 0 || k >= ProgramState::kPaletteEntries) k = 0;
    return state.palette + k * 4;
}

void SetPaletteColour(ProgramState& state, int32_t k, const float rgb[3]) {
    if (k < 0 || k >= ProgramState::kPaletteEntries) return;
    float* e = state.palette + k * 4;
    e[0] = rgb[0];
    e[1] = rgb[1];
    e[2] = rgb[2];
    e[3] = 1.0f;
}

} // namespace scribbix
