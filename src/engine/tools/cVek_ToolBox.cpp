// The tool box: settings of both buttons, split handling, the event queue and its processing, the
// engine catalogue and the tip support (masks, distance tables, pick-up buffer).
//
// Sections: construction and catalogue · tools · settings and split · events and ProcessQueue ·
// recording · tip support.
#include "engine/tools/cVek_ToolBox.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesPic.h"
#include "engine/picture/cTes_PicHistory.h"
#include "engine/tools/TipEngine.h"
#include "engine/tools/cTes_Tool_ColorizerPen.h"
#include "engine/tools/cTes_Tool_DarkenPen.h"
#include "engine/tools/cTes_Tool_DuoColorPen.h"
#include "engine/tools/cTes_Tool_Eraser.h"
#include "engine/tools/cTes_Tool_FingerPaint.h"
#include "engine/tools/cTes_Tool_LightenPen.h"
#include "engine/tools/cTes_Tool_OilPaint.h"
#include "engine/tools/cTes_Tool_Pastel.h"
#include "engine/tools/cTes_Tool_Pen.h"
#include "engine/tools/cTes_Tool_PixelPen.h"
#include "engine/tools/cTes_Tool_Smear.h"
#include "engine/tools/cTes_Tool_Smudge.h"
#include "engine/tools/cTes_Tool_SprinkledPen.h"
#include "engine/tools/cTes_Tool_TriColorPen.h"
#include "shell/ShellState.h"

cVek_ToolBox* gVek_ToolBox = nullptr;

// ---- construction and catalogue ----

cVek_ToolBox::cVek_ToolBox() {
    for (auto& a : anchors)
        a[0] = a[1] = a[2] = 0.0f;
    anchors[0][2] = -1.0f;
}

cVek_ToolBox::~cVek_ToolBox() {
    if (gVek_ToolBox == this) gVek_ToolBox = nullptr;
}

bool cVek_ToolBox::Initialize() {
    if (!queue.Alloc(sizeof(s_ToolEvent) * (static_cast<size_t>(queueCapacity) + 1))) return false;
    if (!recordBuffer.Alloc(sizeof(s_ToolEvent) * (static_cast<size_t>(queueCapacity) + 1))) return false;
    if (!strokePoints.Alloc(sizeof(s_StrokePoint) * (static_cast<size_t>(strokeCapacity) + 1))) return false;
    queue.As<s_ToolEvent>()[0].type = kToolEventEnd;
    recordBuffer.As<s_ToolEvent>()[0].type = kToolEventEnd;
    queueCount = recordCount = readIndex = 0;
    recordCapacity = queueCapacity;
    ClearStrokeList();
    const int32_t top = std::max(maxSize, 3);
    const int32_t even = top & ~1, odd = (top - 1) | 1;
    if (!tes::BuildDistanceTable(distanceTable[0], even)) return false;
    distanceN[0] = even;
    if (!tes::BuildDistanceTable(distanceTable[1], odd)) return false;
    distanceN[1] = odd;
    return CreateTools();
}

void cVek_ToolBox::ClearTools() {
    for (auto& t : tools)
        t.reset();
    primaryTool = secondaryTool = nullptr;
}

bool cVek_ToolBox::FinishTools(bool allMade, uint32_t primaryId) {
    if (!allMade) {
        ClearTools();
        return false;
    }
    primaryTool = FindTool(primaryId);
    return true;
}

bool cVek_ToolBox::CreateTools() {
    ClearTools();
    bool ok = true;
    auto made = [&ok](auto* t) {
        if (!t) ok = false;
        return t;
    };
    made(NewTool<cTes_Tool_Pen>(1, "Pen", 2));
    made(NewTool<cTes_Tool_PixelPen>(9, "Pixel Pen", 10));
    if (auto* t = made(NewTool<cTes_Tool_DuoColorPen>(3, "2-Color Pen", 2))) t->usesOuterEdge = 1;
    if (auto* t = made(NewTool<cTes_Tool_TriColorPen>(4, "3-Color Pen", 2))) {
        t->usesOuterEdge = 1;
        t->usesInnerEdge = 1;
    }
    made(NewTool<cTes_Tool_ColorizerPen>(18, "Colorizer", 5));
    made(NewTool<cTes_Tool_LightenPen>(19, "Lighten", 20));
    made(NewTool<cTes_Tool_DarkenPen>(20, "Darken", 19));
    made(NewTool<cTes_Tool_Eraser>(2, "Eraser", 53));
    if (auto* t = made(NewTool<cTes_Tool_SprinkledPen>(8, "Sprinkled Pen", 2))) t->usesHighlight = 1;
    made(NewTool<cTes_Tool_Smear>(11, "Smear", 53));
    made(NewTool<cTes_Tool_Smudge>(12, "Smudge", 53));
    made(NewTool<cTes_Tool_FingerPaint>(13, "Fingerpaint", 11));
    made(NewTool<cTes_Tool_OilPaint>(14, "Oil Paint", 11));
    made(NewTool<cTes_Tool_Pastel>(15, "Pastel", 12));
    return FinishTools(ok, 14);
}

const char* GetToolDescription(uint32_t id) {
    switch (id) {
    case 1:
        return "An ordinary pen/brush, one of the most useful tools.";
    case 9:
        return "A single-pixel pen that's never anti-aliased.\rGood for precision work on sprites as well as "
               "photo "
               "details.";
    case 3:
        return "A pen with an extra color (outer edge color).";
    case 4:
        return "A pen with two extra colors (outer edge color & inner edge color).";
    case 8:
        return "A pen with a little extra something (highlight color) sprinkled on it.";
    case 15:
        return "A soft pastel crayon.";
    case 14:
        return "A type of paint often used in classic art.";
    case 13:
        return "Use this to apply a glob of paint and smear it.";
    case 11:
        return "Use this to mix and drag pixels far.";
    case 12:
        return "Use this to push pixels short distances.";
    case 2:
        return "Use this to remove things from the picture.";
    case 19:
        return "Lighten up the area where you draw.";
    case 20:
        return "Darken the area where you draw.";
    case 18:
        return "Change the color of the area where you draw.";
    default:
        return nullptr;
    }
}

// ---- tools ----

cTes_Tool* cVek_ToolBox::FindTool(uint32_t id) const {
    for (int32_t i = 0; i < kToolSlots && tools[i]; ++i)
        if (tools[i]->id == id) return tools[i].get();
    for (int32_t i = 0; i < kToolSlots && tools[i]; ++i)
        if (tools[i]->id == 1) return tools[i].get();
    return nullptr;
}

bool cVek_ToolBox::SetPrimaryTool(uint32_t id) {
    cTes_Tool* tool = FindTool(id);
    if (!tool) return false;
    primaryTool = tool;
    return true;
}

int32_t cVek_ToolBox::ToolCount() const {
    int32_t n = 0;
    while (n < kToolSlots && tools[n])
        ++n;
    return n;
}

bool cVek_ToolBox::AddTool(std::unique_ptr<cTes_Tool> tool) {
    const int32_t n = ToolCount();
    if (!tool || n >= kToolSlots - 1) return false;
    tools[n] = std::move(tool);
    return true;
}

// ---- settings and split ----

int32_t* cVek_ToolBox::SettingValues(e_Setting which) {
    int32_t* const values[kSettingCount] = {size,     softness,  tipProfile,    strength, flow,
                                            tolerance, drawMode, selectionMode, blendMode};
    return which >= 0 && which < kSettingCount ? values[which] : nullptr;
}

float (*cVek_ToolBox::ColourValues(e_Colour which))[3] {
    float(*const values[kColourCount])[3] = {highlight, paint, innerEdge, outerEdge};
    return which >= 0 && which < kColourCount ? values[which] : nullptr;
}

int32_t cVek_ToolBox::Setting(e_Setting which, uint32_t button) const {
    const int32_t* values = const_cast<cVek_ToolBox*>(this)->SettingValues(which);
    if (!values) return 0;
    const int side = (button == 2 && twoButtonSplit && settingSplit[which]) ? 1 : 0;
    if (which == kBlendMode && !blendEnabled[side]) return 0;
    return values[side];
}

const float* cVek_ToolBox::Colour(e_Colour which, uint32_t button) const {
    float(*values)[3] = const_cast<cVek_ToolBox*>(this)->ColourValues(which);
    if (!values) return outerEdge[0];
    const int side = (button == 2 && twoButtonSplit && colourSplit[which]) ? 1 : 0;
    return values[side];
}

void cVek_ToolBox::SetColour(e_Colour which, const float rgb[3], uint32_t button) {
    if (which < 0 || which >= kColourCount) return;
    float* c = const_cast<float*>(Colour(which, button));
    c[0] = rgb[0];
    c[1] = rgb[1];
    c[2] = rgb[2];
}

bool cVek_ToolBox::AnySplit() const {
    if (toolSplit) return true;
    for (uint8_t f : settingSplit)
        if (f) return true;
    for (uint8_t f : colourSplit)
        if (f) return true;
    return false;
}

namespace {
uint8_t* SplitFlag(cVek_ToolBox& box, int32_t target) {
    if (target == cVek_ToolBox::kSplitTool) return &box.toolSplit;
    if (target >= cVek_ToolBox::kSplitSettings && target < cVek_ToolBox::kSplitColours)
        return &box.settingSplit[target - cVek_ToolBox::kSplitSettings];
    if (target >= cVek_ToolBox::kSplitColours && target < cVek_ToolBox::kSplitTargets)
        return &box.colourSplit[target - cVek_ToolBox::kSplitColours];
    return nullptr;
}
} // namespace

void cVek_ToolBox::SplitClick(int32_t target, bool rightButton) {
    uint8_t* flag = SplitFlag(*this, target);
    if (!rightButton || !flag) return;
    if (!twoButtonSplit) {
        twoButtonSplit = 1;
        toolSplit = 0;
        for (uint8_t& f : settingSplit)
            f = 0;
        for (uint8_t& f : colourSplit)
            f = 0;
        *flag = 1;
        complementSplitOn = target == kSplitTool ? 0 : complementSplitOff;
    } else {
        *flag = *flag ? 0 : 1;
    }
}

void cVek_ToolBox::UpdateSplitState() {
    bool exists = AnySplit();
    const bool splitChanged = twoButtonSplit != seenTwoButtonSplit;
    if (seenSplitExists >= 0 && exists != (seenSplitExists != 0) && !splitChanged && seenSplitExists)
        complementSplitOff = complementSplitOn;
    if (splitChanged && twoButtonSplit && !exists) {
        colourSplit[kPaint] = 1;
        exists = true;
    } else if (!splitChanged && !exists) {
        twoButtonSplit = 0;
    }
    if (toolSplit && !seenToolSplit && twoButtonSplit)
        complementSplitOn = 0;
    else if (toolSplit && complementSplitOn)
        toolSplit = 0;
    seenTwoButtonSplit = twoButtonSplit;
    seenSplitExists = exists ? 1 : 0;
    seenToolSplit = toolSplit;
}

void cVek_ToolBox::GetStateBytes(uint8_t bytes[2]) const {
    bytes[0] = subPixel ? 1 : 0;
    bytes[1] = inputSmoothing ? 1 : 0;
}

void cVek_ToolBox::SetStateBytes(const uint8_t bytes[2]) {
    subPixel = bytes[0] ? 1 : 0;
    inputSmoothing = bytes[1] ? 1 : 0;
}

// ---- events and ProcessQueue ----

void cVek_ToolBox::SetPicture(c_TesPic* pic) {
    if (pic != picture && strokeOpen) FinishOpenStroke();
    picture = pic;
}

bool cVek_ToolBox::AppendEvent(const s_ToolEvent& ev) {
    if (queue.Empty() && !queue.Alloc(sizeof(s_ToolEvent) * (static_cast<size_t>(queueCapacity) + 1)))
        return false;
    if (queueCount >= queueCapacity) {
        const int32_t grown = queueCapacity + kQueueGrowth;
        if (!queue.Resize(sizeof(s_ToolEvent) * (static_cast<size_t>(grown) + 1))) return false;
        queueCapacity = grown;
    }
    s_ToolEvent* q = queue.As<s_ToolEvent>();
    q[queueCount++] = ev;
    q[queueCount].type = kToolEventEnd;
    return true;
}

int32_t cVek_ToolBox::QueueEvent(float x, float y, uint32_t button, double time, int32_t type,
                                 uint8_t buttons) {
    // A position that is not a number cannot be painted; one far off any picture is clamped so
    // that a single event cannot ask for billions of stroke points.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(time)) return 0;
    constexpr float kFar = 1048576.0f;
    x = std::min(std::max(x, -kFar), kFar);
    y = std::min(std::max(y, -kFar), kFar);
    if (recordingState == 2) EndRecordingOrReplay();
    const int32_t kind = type == kToolEventPress     ? kToolEventPress
                         : type == kToolEventRelease ? kToolEventRelease
                                                     : kToolEventMove;
    // Moves may arrive without a button; the stroke keeps the button of its press.
    if (kind == kToolEventPress || button != 0) batchButton = button;
    if (kind == kToolEventPress) {
        if (strokeOpen) FinishOpenStroke();
        lastEventTime = time;
        if (recordingState != 1) {
            readIndex = 0;
            queueCount = 0;
            if (!queue.Empty()) queue.As<s_ToolEvent>()[0].type = kToolEventEnd;
        }
    }
    const s_ToolEvent ev{x, y, static_cast<float>(time - lastEventTime), kind,
                         static_cast<uint8_t>(buttons & 7)};
    if (!AppendEvent(ev)) return 0;
    const int32_t n = ProcessQueue(-1.0);
    lastEventTime = time;
    return n;
}

cTes_Tool* cVek_ToolBox::ResolveTool(uint32_t side[kSettingCount], uint32_t colourSide[kColourCount]) {
    for (int i = 0; i < kSettingCount; ++i)
        side[i] = 0;
    for (int i = 0; i < kColourCount; ++i)
        colourSide[i] = 0;
    cTes_Tool* tool = primaryTool;
    if (!tool) return nullptr;
    if (batchButton == 2) {
        const uint32_t complement = twoButtonSplit ? complementSplitOn : complementSplitOff;
        if (complement)
            tool = FindTool(primaryTool->complementId);
        else if (!twoButtonSplit)
            tool = FindTool(53);
        if (twoButtonSplit) {
            for (int i = 0; i < kSettingCount; ++i)
                side[i] = settingSplit[i] ? 1 : 0;
            for (int i = 0; i < kColourCount; ++i)
                colourSide[i] = colourSplit[i] ? 1 : 0;
            // A split tool without a right-button tool chosen yet keeps the tool found so far.
            if (toolSplit && secondaryTool) tool = secondaryTool;
        }
    }
    return tool;
}

namespace {
inline int32_t Clamp(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
} // namespace

int32_t cVek_ToolBox::ProcessQueue(double time) {
    c_TesPic* pic = picture;
    if (!pic || queue.Empty()) return 0;
    c_TesLayer* layer = pic->currentLayer;
    if (!layer || layer->type != 1) return 0;
    if (!layer->EnsurePixels()) return 0;
    if (layer->compacted && !layer->SetCompact(false)) return 0;
    // The coverage buffer is one float a picture pixel: the layer must cover the picture exactly.
    if (layer->x != 0 || layer->y != 0 || layer->width != pic->width || layer->height != pic->height)
        return 0;

    uint32_t side[kSettingCount], colourSide[kColourCount];
    cTes_Tool* tool = ResolveTool(side, colourSide);
    if (!tool) return 0;

    vek::MemBlock* backup = layer->EnsureBackup();
    float* coverage = pic->GetStrokeBuffer();
    if (!backup || !coverage) return 0;

    s_ToolPars pars{};
    pars.toolBox = this;
    pars.picture = pic;
    pars.layer = layer;
    pars.backup = backup->As<float>();
    pars.pixels = layer->Pixels();
    pars.coverage = coverage;
    pars.width = layer->width;
    pars.height = layer->height;
    pars.wrapX = pic->repeatX ? 1 : 0;
    pars.wrapY = pic->repeatY ? 1 : 0;
    // Max size bounds what the settings panel offers; the program's pen sizes follow the picture
    // and may exceed it. A stroke only keeps the size sane (a tip's masks grow with its square).
    pars.size = static_cast<float>(Clamp(size[side[kSize]], 1, kLargestTip));
    pars.hardness = (100 - Clamp(softness[side[kSoftness]], 0, 100)) / 100.0f;
    pars.tipShape = 1.0f - Clamp(tipProfile[side[kTipProfile]], 0, 100) / 100.0f;
    pars.strength = Clamp(strength[side[kStrength]], 1, 100) / 100.0f;
    const float fl = Clamp(flow[side[kFlow]], 1, 100) / 100.0f;
    pars.flow = fl * fl;
    pars.tolerance = Clamp(tolerance[side[kTolerance]], 1, 100) / 100.0f;
    pars.highlight = highlight[colourSide[kHighlight]];
    pars.paint = paint[colourSide[kPaint]];
    pars.innerEdge = innerEdge[colourSide[kInnerEdge]];
    pars.outerEdge = outerEdge[colourSide[kOuterEdge]];
    pars.drawMode = tool->hasDrawMode ? (drawMode[side[kDrawMode]] == 1 ? 1 : 0) : 0;
    pars.blendMode = blendEnabled[side[kBlendMode]] ? blendMode[side[kBlendMode]] : 0;
    pars.selectionMode = Clamp(selectionMode[side[kSelectionMode]], 0, 3);
    pars.subPixel = subPixel ? 1 : 0;
    const uint32_t smoothing = tool->noInputSmoothing ? 0 : (inputSmoothing ? 1 : 0);
    tool->PrepareParams(pars);

    const uint32_t required = pars.drawMode == 1 ? 2 : tool->pointsPerApplication;
    if (required != 0) {
        s_ToolEvent* q = queue.As<s_ToolEvent>();
        int32_t processed = 0;
        while (q[readIndex].type != kToolEventEnd) {
            const s_ToolEvent ev = q[readIndex++];
            ++processed;
            const bool point =
                ev.type == kToolEventPress || (ev.type == kToolEventRelease && tool->restartPairs);
            if (!point) {
                // The rubber band: the anchor after the last follows the pointer.
                anchors[anchorCount][0] = ev.x;
                anchors[anchorCount][1] = ev.y;
                tool->OnPoint(pars, ev.x, ev.y, ev.buttons);
                continue;
            }
            vek::shell::SetStrokeFrameForcing(tool->frameForcingMode);
            if (tool->restartPairs && ev.type == kToolEventPress && (anchorCount & 1)) --anchorCount;
            if (anchorCount < kAnchorSlots - 1) {
                anchors[anchorCount][0] = ev.x;
                anchors[anchorCount][1] = ev.y;
                anchors[anchorCount][2] = pars.strength;
                ++anchorCount;
            }
            if (ev.type == kToolEventPress) {
                lastPress[0] = ev.x;
                lastPress[1] = ev.y;
                lastPress[2] = 1.0f;
            }
            anchors[anchorCount][2] = -1.0f;
            tool->OnPoint(pars, ev.x, ev.y, ev.buttons);
            if (anchorCount >= static_cast<int32_t>(required) && !pars.abort) {
                c_TesLayer* edited = layer;
                pars.target = layer->Pixels();
                if (tool->actsOnSelection) {
                    cTes_Layer_Selection* sel = pic->GetSelection();
                    if (!sel || !sel->SetCompact(false)) return processed;
                    if (pars.selectionMode == 0) sel->Clear();
                    edited = sel;
                    pars.target = sel->Pixels();
                }
                tool->Apply(pars, anchors, layer);
                anchorCount = 0;
                anchors[0][2] = -1.0f;
                vek::shell::SetStrokeFrameForcing(0);
                rubberBand[0] = rubberBand[1] = -1.0f;
                if (!historySuppressed && pic->history)
                    pic->history->Record(cTes_PicHistory::kRegion, tool->actsOnSelection
                                                                       ? cTes_PicHistory::kSelection
                                                                       : cTes_PicHistory::kCurrentLayer);
                edited->CommitChanges();
                if (!tool->actsOnSelection) {
                    ReleasePickUp();
                    layer->UpdateThumbnail();
                    layer->UploadThumbnail();
                }
                return processed;
            }
        }
        return processed;
    }
    if (pars.drawMode == 1) return 0;
    if (!tool->IsKind(kToolKind_Freehand)) return 0;
    pars.target = pars.pixels;
    // A freehand press also switches frame forcing on, so a flood of pointer messages cannot
    // starve the screen while the stroke is drawn; the stroke's end switches it off.
    for (int32_t i = readIndex; queue.As<s_ToolEvent>()[i].type != kToolEventEnd; ++i)
        if (queue.As<s_ToolEvent>()[i].type == kToolEventPress)
            vek::shell::SetStrokeFrameForcing(tool->frameForcingMode);
    if (tool->IsKind(kToolKind_FreehandTip)) {
        const int32_t n = RunFreehandSampler(pars.subPixel, smoothing, tool->everySample, time);
        tool->PaintStroke(pars, StrokeList());
        return n;
    }
    if (tool->IsKind(kToolKind_FreehandTimed))
        return tool->RunTimed(time, pars, smoothing, tool->everySample);
    const int32_t n = tool->smoothedSampling
                          ? RunFreehandSampler(pars.subPixel, smoothing, tool->everySample, time)
                          : RunRawSampler();
    for (const s_StrokePoint* p = StrokeList(); p->time >= 0.0f; ++p) {
        tool->OnPoint(pars, p->x, p->y, p->buttons);
        tool->OnFreehandSample(pars, *p);
    }
    ClearStrokeList();
    return n;
}

void cVek_ToolBox::FinishLayerChanges(s_ToolPars& pars) {
    if (pars.abort) return;
    if (!historySuppressed && pars.picture->history)
        pars.picture->history->Record(cTes_PicHistory::kRegion, cTes_PicHistory::kCurrentLayer);
    pars.layer->CommitChanges();
    pars.layer->UpdateThumbnail();
    pars.layer->UploadThumbnail();
}

// A press arrived while the previous stroke never saw its release (a lost release, a second
// button): that stroke is ended as it stands, so the new one cannot paint over it from a backup
// that still predates it.
void cVek_ToolBox::FinishOpenStroke() {
    strokeOpen = 0;
    ReleasePickUp();
    c_TesPic* pic = picture;
    if (!pic || !pic->currentLayer || !pic->currentLayer->changed.valid) return;
    if (!historySuppressed && pic->history)
        pic->history->Record(cTes_PicHistory::kRegion, cTes_PicHistory::kCurrentLayer);
    pic->currentLayer->CommitChanges();
}

// ---- recording ----

void cVek_ToolBox::StartRecording() {
    EndRecordingOrReplay();
    recordingState = 1;
    readIndex = queueCount = 0;
    if (!queue.Empty()) queue.As<s_ToolEvent>()[0].type = kToolEventEnd;
}

int32_t cVek_ToolBox::StartReplay() {
    if (recordingState != 0) EndRecordingOrReplay();
    if (recordBuffer.Empty() || recordCount == 0) return 0;
    std::swap(queue, recordBuffer);
    std::swap(queueCount, recordCount);
    std::swap(queueCapacity, recordCapacity);
    readIndex = 0;
    historySuppressed = 1;
    recordingState = 2;
    batchButton = 1;
    return ProcessQueue(-1.0);
}

void cVek_ToolBox::EndRecordingOrReplay() {
    if (recordingState == 0) return;
    const bool replaying = recordingState == 2;
    // The recorded events go to (or back to) the second buffer; the queue starts empty.
    std::swap(queue, recordBuffer);
    std::swap(queueCount, recordCount);
    std::swap(queueCapacity, recordCapacity);
    queueCount = 0;
    readIndex = 0;
    if (!queue.Empty()) queue.As<s_ToolEvent>()[0].type = kToolEventEnd;
    historySuppressed = 0;
    recordingState = 0;
    if (replaying && picture && picture->currentLayer) picture->currentLayer->CommitChanges();
}

// ---- tip support ----

bool cVek_ToolBox::PrepareTip(s_TipPars& tip) {
    const int32_t m = tip.maskSize;
    const int32_t parity = m & 1;
    bool fresh = false;
    if (distanceN[parity] < m) {
        if (!tes::BuildDistanceTable(distanceTable[parity], m)) return false;
        distanceN[parity] = m;
        fresh = true;
    }
    const size_t side = static_cast<size_t>(m) + 1;
    const size_t maskBytes = sizeof(float) * side * side;
    const size_t qh = static_cast<size_t>(m + 1) / 2;
    const size_t planeBytes = sizeof(float) * (side + 1) * (side + 1);
    // Grown masks lose their known layout.
    if (maskA.Size() < maskBytes || (tip.needsEdgeCone && maskB.Size() < maskBytes)) ++planeGeneration;
    if (maskA.Size() < maskBytes && !maskA.Resize(maskBytes)) return false;
    if (maskRestricted.Size() < maskBytes && !maskRestricted.Resize(maskBytes)) return false;
    if (maskQuadrant.Size() < sizeof(float) * 2 * qh * qh &&
        !maskQuadrant.Resize(sizeof(float) * 2 * qh * qh))
        return false;
    if (maskPlaneA.Size() < planeBytes && !maskPlaneA.Resize(planeBytes)) return false;
    const size_t extentBytes = sizeof(int32_t) * 2 * (side + 1);
    if (planeExtents.Size() < extentBytes && !planeExtents.Resize(extentBytes)) return false;
    if (maskExtents.Size() < extentBytes && !maskExtents.Resize(extentBytes)) return false;
    if (tip.needsEdgeCone) {
        if (maskB.Size() < maskBytes && !maskB.Resize(maskBytes)) return false;
        if (maskPlaneB.Size() < planeBytes && !maskPlaneB.Resize(planeBytes)) return false;
    }
    tip.maskA = &maskA;
    tip.maskB = tip.needsEdgeCone ? &maskB : nullptr;
    tip.rowFirst = maskExtents.As<int32_t>();
    tip.rowEnd = maskExtents.As<int32_t>() + side + 1;
    int32_t* planeFirst = planeExtents.As<int32_t>();
    int32_t* planeEnd = planeFirst + side + 1;
    const float key[7] = {float(m),
                          tip.softDiameter,
                          tip.slope,
                          tip.tipShape,
                          tip.strength,
                          float(tip.needsEdgeCone),
                          float(distanceN[parity])};
    if (fresh || std::memcmp(key, planeKey, sizeof key) != 0) {
        tes::BuildTipPlanes(tip, distanceTable[parity].As<float>(), distanceN[parity],
                            maskQuadrant.As<float>(), maskPlaneA.As<float>(),
                            tip.needsEdgeCone ? maskPlaneB.As<float>() : nullptr, planeFirst, planeEnd);
        std::memcpy(planeKey, key, sizeof key);
        ++planeGeneration;
    }
    return true;
}

void cVek_ToolBox::BuildTipMasks(s_TipPars& tip) {
    const int32_t side = tip.maskSize + 1;
    const int32_t* planeFirst = planeExtents.As<int32_t>();
    const uint8_t shape = static_cast<uint8_t>((tip.fx != 0.0f ? 1 : 0) | (tip.fy != 0.0f ? 2 : 0));
    const bool same = maskGeneration == planeGeneration && maskShape == shape;
    // Stamps along a row or column often repeat their fractions: the masks are then kept.
    const bool sameShift = same && maskFx == tip.fx && maskFy == tip.fy;
    maskFx = tip.fx, maskFy = tip.fy;
    tes::ShiftTipMasks(tip, maskPlaneA.As<float>(), tip.needsEdgeCone ? maskPlaneB.As<float>() : nullptr,
                       planeFirst, planeFirst + side + 1, same, sameShift);
    maskGeneration = planeGeneration;
    maskShape = shape;
}

bool cVek_ToolBox::PreparePickUp(const s_TipPars& tip) {
    const int32_t m = tip.maskSize, pick = m + 2;
    const size_t bytes = sizeof(int32_t) * 4 * static_cast<size_t>(pick);
    if (pickUpReach.Size() < bytes && !pickUpReach.Resize(bytes)) return false;
    int32_t* kept = pickUpReach.As<int32_t>();
    int32_t* first = kept + 2 * pick;
    int32_t* end = first + pick;
    // Grid pixel (i, j) reads pick-up entries i and i + 1 of rows j and j + 1, and is non-zero only
    // where the tip's mask is, which covers tip pixels i - 1 and i of rows j - 1 and j; tip pixel x
    // is pick-up entry x + 1. So row q reaches two entries past the tip pixels of rows q - 2 .. q.
    const int32_t* planeFirst = planeExtents.As<int32_t>();
    const int32_t* planeEnd = planeFirst + m + 2;
    for (int32_t q = 0; q < pick; ++q) {
        int32_t a = pick, b = 0;
        for (int32_t y = std::max(0, q - 2); y <= std::min(q, m - 1); ++y) {
            if (planeEnd[y] <= planeFirst[y]) continue;
            a = std::min(a, planeFirst[y]);
            b = std::max(b, std::min(planeEnd[y] + 2, pick));
        }
        first[q] = a < b ? a : 0;
        end[q] = a < b ? b : 0;
    }
    bool covered = !pickUp.Empty() && pickUpWidth == pick && pickUpHeight == pick;
    for (int32_t q = 0; covered && q < pick; ++q)
        covered = end[q] <= first[q] || (kept[q] <= first[q] && end[q] <= kept[pick + q]);
    if (covered) return true;
    ReleasePickUp();
    pickUpWidth = pickUpHeight = pick;
    std::memcpy(kept, first, sizeof(int32_t) * 2 * pick);
    return true;
}

void cVek_ToolBox::ReleasePickUp() {
    pickUp.Free();
}
