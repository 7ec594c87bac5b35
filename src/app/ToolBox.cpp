// The program's catalogue. Every tool keeps the tip-tool defaults (continuous, smoothed sampling,
// restart pairs on press, draw mode, frame forcing 2, paint colour, size, softness, strength,
// complement 2 = Eraser) except where set below.
#include "app/ToolBox.h"

#include <algorithm>

#include "app/HardSmearTool.h"
#include "app/Highlight3DPenTool.h"
#include "app/MoveSmearTool.h"
#include "app/SoftPenTool.h"
#include "app/ThreeDeePenTool.h"
#include "app/White3dPenTool.h"
#include "engine/tools/cTes_Tool_Eraser.h"
#include "engine/tools/cTes_Tool_Pen.h"
#include "engine/tools/cTes_Tool_SprinkledPen.h"

namespace scribbix {

int32_t ToolBox::MaxSizeForScreen(int32_t screenWidth, int32_t screenHeight) {
    const int64_t side = std::min(screenWidth, screenHeight);
    const int64_t size = side * 76 / 1000;
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(size, 3), 251));
}

ToolBox::ToolBox(int32_t screenWidth, int32_t screenHeight) {
    gVek_ToolBox = this;
    maxSize = MaxSizeForScreen(screenWidth, screenHeight);
    softness[0] = 1;
    outerEdge[0][0] = outerEdge[0][1] = outerEdge[0][2] = 0.0f;
    innerEdge[0][0] = innerEdge[0][1] = innerEdge[0][2] = 1.0f;
}

ToolBox::~ToolBox() = default;

bool ToolBox::CreateTools() {
    ClearTools();
    bool ok = true;
    auto made = [&ok](auto* t) {
        if (!t) ok = false;
        return t;
    };
    made(NewTool<cTes_Tool_Pen>(1, "Pen", 2));
    if (auto* t = made(NewTool<cTes_Tool_Eraser>(2, "Eraser", 53))) t->usesPaint = 0;
    if (auto* t = made(NewTool<ThreeDeePenTool>(kThreeDeePen, "3D Pen", 2))) {
        t->usesOuterEdge = 1;
        t->needsEdgeCone = 1;
    }
    if (auto* t = made(NewTool<White3dPenTool>(kLight3DPen, "Light 3D Pen", 2))) {
        t->usesInnerEdge = 1;
        t->needsEdgeCone = 1;
    }
    if (auto* t = made(NewTool<SoftPenTool>(kSoftPen, "Soft Pen", 2))) t->needsEdgeCone = 1;
    if (auto* t = made(NewTool<cTes_Tool_SprinkledPen>(8, "Sprinkled Pen", 2))) t->usesHighlight = 1;
    if (auto* t = made(NewTool<Highlight3DPenTool>(kHighlight3DPen, "Highlight 3D Pen", 2))) {
        t->usesInnerEdge = 1;
        t->usesOuterEdge = 1;
        t->needsEdgeCone = 1;
    }
    // The smear factors (1 and 0.85) are the classes' own.
    if (auto* t = made(NewTool<MoveSmearTool>(kDrag, "Drag", 53))) t->usesPaint = 0, t->needsPickUp = 1;
    if (auto* t = made(NewTool<HardSmearTool>(kSmudge, "Smudge", 53))) t->usesPaint = 0, t->needsPickUp = 1;
    return FinishTools(ok, kThreeDeePen);
}

} // namespace scribbix
