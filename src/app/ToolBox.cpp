// The program's catalogue. Every tool keeps the tip-tool defaults (continuous, smoothed sampling,
// restart pairs on press, draw mode, frame forcing 2, paint colour, size, softness, strength,
// complement 2 = Eraser) except where set below.
#include "app/ToolBox.h"

#include <algorithm>
#include <memory>
#include <new>

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

namespace {

template <class T> T* Make(cVek_ToolBox& box, uint32_t id, const char* name, bool& ok) {
    std::unique_ptr<T> tool(new (std::nothrow) T());
    T* raw = tool.get();
    if (!tool) {
        ok = false;
        return nullptr;
    }
    tool->id = id;
    tool->name = name;
    if (!box.AddTool(std::move(tool))) {
        ok = false;
        return nullptr;
    }
    return raw;
}

} // namespace

bool ToolBox::CreateTools() {
    for (auto& t : tools)
        t.reset();
    primaryTool = secondaryTool = nullptr;
    bool ok = true;
    Make<cTes_Tool_Pen>(*this, 1, "Pen", ok);
    if (auto* t = Make<cTes_Tool_Eraser>(*this, 2, "Eraser", ok)) {
        t->usesPaint = 0;
        t->complementId = 53;
    }
    if (auto* t = Make<ThreeDeePenTool>(*this, kThreeDeePen, "3D Pen", ok)) {
        t->usesOuterEdge = 1;
        t->needsEdgeCone = 1;
    }
    if (auto* t = Make<White3dPenTool>(*this, kLight3DPen, "Light 3D Pen", ok)) {
        t->usesInnerEdge = 1;
        t->needsEdgeCone = 1;
    }
    if (auto* t = Make<SoftPenTool>(*this, kSoftPen, "Soft Pen", ok)) t->needsEdgeCone = 1;
    if (auto* t = Make<cTes_Tool_SprinkledPen>(*this, 8, "Sprinkled Pen", ok)) t->usesHighlight = 1;
    if (auto* t = Make<Highlight3DPenTool>(*this, kHighlight3DPen, "Highlight 3D Pen", ok)) {
        t->usesInnerEdge = 1;
        t->usesOuterEdge = 1;
        t->needsEdgeCone = 1;
    }
    if (auto* t = Make<MoveSmearTool>(*this, kDrag, "Drag", ok)) {
        t->usesPaint = 0;
        t->needsPickUp = 1;
        t->smearFactor = 1.0f;
        t->complementId = 53;
    }
    if (auto* t = Make<HardSmearTool>(*this, kSmudge, "Smudge", ok)) {
        t->usesPaint = 0;
        t->needsPickUp = 1;
        t->smearFactor = 0.85f;
        t->complementId = 53;
    }
    if (!ok) {
        for (auto& t : tools)
            t.reset();
        return false;
    }
    primaryTool = FindTool(kThreeDeePen);
    return true;
}

} // namespace scribbix
