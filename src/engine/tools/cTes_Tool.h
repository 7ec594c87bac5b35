// The tool descriptor and the table of virtual operations every tool shares.
//
// A tool is a small descriptor (the fields below, set by the constructors of the class chain and
// then by the catalogue) plus virtual operations that the tool box calls; every operation but the
// destructor does nothing by default. A tool is of kind K when K occurs in its kind chain.
#pragma once

#include <cstdint>

#include "engine/tools/cTes_Tools_CommonBase.h"
#include "engine/tools/s_StampPars.h"
#include "engine/tools/s_ToolPars.h"

class c_TesLayer;

// Kind numbers; chains list them most derived first and end with 0.
enum e_TesToolKind {
    kToolKind_Tool = 1,
    kToolKind_Freehand = 2,
    kToolKind_FreehandTip = 3,
    kToolKind_FreehandTimed = 4,
    kToolKind_BoxedShape = 5,
    kToolKind_SelectionBoxedShape = 6,
    kToolKind_BaseFill = 7,
    kToolKind_Fill = 8,
    kToolKind_SelectionFill = 9,
};

// One anchor of the line anchor list: x, y and weight; a weight of -1 ends the list.
typedef float t_ToolAnchor[3];

class cTes_Tool : public cTes_Tools_CommonBase {
  public:
    // ---- descriptor, in order ----
    const int32_t* kinds;              // kind chain, ends with 0
    uint32_t id = 0;                   // unique within one tool box
    uint32_t pointsPerApplication = 0; // 0 freehand, 1 applies on press, 2 on press and release
    const char* name = "Nothing";
    int32_t blendMode = -1000; // negative: the tool box's blend mode setting is used
    uint8_t usesHighlight = 0;
    uint8_t usesPaint = 1;
    uint8_t usesInnerEdge = 0;
    uint8_t usesOuterEdge = 0;
    uint8_t hasFlow = 0;
    uint8_t hasTolerance = 0;
    uint8_t hasStrength = 1;
    uint8_t hasSize = 1;
    uint8_t hasSoftness = 1;
    uint8_t hasDrawMode = 0;
    uint8_t hasSelectionMode = 0;
    uint8_t continuous = 0;       // acts on every sample while the button is held
    uint8_t smoothedSampling = 0; // freehand samples go through the smoothing sampler
    uint8_t noInputSmoothing = 0; // forces the tool box's smoothing switch off
    uint8_t restartPairs = 0;     // a press always starts a new pair of points
    uint8_t selectionFill = 0;
    uint8_t actsOnSelection = 0;  // edits the selection mask instead of the current layer
    uint8_t frameForcingMode = 0; // written into the shell's stroke frame forcing flag
    uint8_t shapeFlag = 1;
    uint8_t everySample = 0;   // the sampler keeps samples closer than its minimum distance
    uint32_t complementId = 2; // tool of the right button with "Complement Tool" on

    cTes_Tool();
    ~cTes_Tool() override = default;
    cTes_Tool(const cTes_Tool&) = delete;
    cTes_Tool& operator=(const cTes_Tool&) = delete;

    bool IsKind(int32_t kind) const;

    // ---- virtual operations, in slot order ----
    // Once per handled batch, before the parameters are used.
    virtual void PrepareParams(s_ToolPars& pars) {}
    // Every queued point event of a point tool, and before every stamp of a tip tool.
    virtual void OnPoint(s_ToolPars& pars, float x, float y, uint8_t buttons) {}
    // A point tool has its points. The base version only empties the anchor list.
    virtual void Apply(s_ToolPars& pars, t_ToolAnchor* anchors, c_TesLayer* layer);
    // Every freehand sample of a freehand tool that has no tip.
    virtual void OnFreehandSample(s_ToolPars& pars, const s_StrokePoint& point) {}
    // Once per painted stroke segment, before the tip masks are built: may change hardness, tip
    // shape and colours.
    virtual void AdjustStamp(s_StampPars& stamp) {}
    // The entry of a timed freehand tool (kind 4): returns the number of events consumed.
    virtual int32_t RunTimed(double time, s_ToolPars& pars, uint32_t inputSmoothing, uint8_t everySample) {
        return 0;
    }
    // Smear tools: refresh the pick-up buffer from the area under the tip (`count` pixels each, RGBA
    // premultiplied by alpha, in the tip's own frame).
    virtual void PickUp(s_StampPars& stamp, float* pickUp, const float* area, int32_t count) {}
    // Paints the stroke points (up to the first negative time value).
    virtual void PaintStroke(s_ToolPars& pars, const s_StrokePoint* points) {}
    // Places one stamp.
    virtual void Stamp(s_StampPars& stamp, const s_StrokePoint& point) {}
    // The per-pixel kernel over one clipped rectangle of a stamp.
    virtual void BlendSpan(s_StampPars& stamp) {}
    // Class-specific preparation (smear: the decay rate).
    virtual void StrokeSetup(s_StampPars& stamp) {}

  protected:
    static const int32_t kKindChain[];
};
