// The tool box: owns every tool, holds the settings of both mouse buttons, queues the pointer
// events of the picture editor and drives the tools through their virtual operations.
//
// Sections: settings and split (per button: index 0 left, 1 right), the event queue and its
// processing, the freehand sampler and the tip support for the tip tools.
// A stroke is press → moves → release of one button; the press empties the queue (unless events
// are being recorded) and every later event is appended and processed at once. Buffers (queue,
// stroke points, masks, distance tables) are allocated once and only grown.
// One tool box per process; the program reaches it through gVek_ToolBox.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

#include "engine/tools/cTes_Tool.h"
#include "engine/tools/cTes_Tools_CommonBase.h"
#include "engine/tools/s_StampPars.h"
#include "engine/tools/s_ToolPars.h"
#include "shell/MemBlock.h"

class c_TesPic;
class c_TesLayer;

class cVek_ToolBox : public cTes_Tools_CommonBase {
  public:
    static constexpr int32_t kToolSlots = 250; // up to 249 tools, then a null
    static constexpr int32_t kAnchorSlots = 101;
    static constexpr int32_t kQueueStart = 10000;
    static constexpr int32_t kQueueGrowth = 2000;
    static constexpr int32_t kStrokeStart = 5000;
    static constexpr int32_t kStrokeGrowth = 1000;
    static constexpr int32_t kLargestTip = 1000; // pixels; larger size settings paint at this size

    // The nine split settings, in the order of their split flags.
    enum e_Setting {
        kSize,
        kSoftness,
        kTipProfile,
        kStrength,
        kFlow,
        kTolerance,
        kDrawMode,
        kSelectionMode,
        kBlendMode,
        kSettingCount
    };
    enum e_Colour { kHighlight, kPaint, kInnerEdge, kOuterEdge, kColourCount };
    // What a split click names: the tool, a setting (kSplitSettings + e_Setting) or a colour
    // (kSplitColours + e_Colour).
    enum { kSplitTool = 0, kSplitSettings = 1, kSplitColours = 1 + kSettingCount, kSplitTargets = 14 };

    // ---- fields, in order ----
    cTes_Tool* primaryTool = nullptr;
    cTes_Tool* secondaryTool = nullptr; // right button's tool while the tool is split
    uint8_t toolSplit = 1;
    float lastPress[3] = {0.0f, 0.0f, -1.0f}; // x, y, weight of the latest press
    float rubberBand[2] = {-1.0f, -1.0f};     // reset to -1 after every application
    uint32_t twoButtonSplit = 0;
    uint32_t complementSplitOn = 1;  // "Complement Tool" while 2-Button Split is on
    uint32_t complementSplitOff = 1; // ... while it is off
    vek::MemBlock queue;             // s_ToolEvent, queueCapacity + 1 entries
    int32_t queueCapacity = kQueueStart;
    int32_t maxSize = 300;       // upper bound of the size setting
    uint32_t recordingState = 0; // 0 idle, 1 recording, 2 replaying
    uint32_t historySuppressed = 0;
    float highlight[2][3] = {{2.0f, 1.5f, 0.25f}, {0.875f, 1.8f, 2.0f}}; // linear, HDR
    float paint[2][3] = {{0.0f, 0.39f, 0.15f}, {0.25f, 0.4f, 0.0f}};
    float innerEdge[2][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 1.0f}};
    float outerEdge[2][3] = {{0.0f, 0.0f, 0.15f}, {0.0f, 0.1f, 0.0f}};
    uint8_t colourSplit[kColourCount] = {0, 1, 0, 0};
    int32_t size[2] = {35, 50};        // pixels
    int32_t softness[2] = {40, 5};     // percent
    int32_t tipProfile[2] = {50, 50};  // percent
    int32_t strength[2] = {100, 40};   // percent
    int32_t flow[2] = {50, 10};        // percent
    int32_t tolerance[2] = {20, 10};   // percent
    int32_t drawMode[2] = {0, 0};      // 0 standard, 1 line
    int32_t selectionMode[2] = {0, 0}; // 0 replace, 1 add, 2 subtract, 3 and
    int32_t blendMode[2] = {0, 1};
    uint8_t blendEnabled[2] = {0, 0};
    uint8_t settingSplit[kSettingCount] = {1, 1, 0, 0, 0, 0, 1, 0, 0};
    int32_t readIndex = 0; // next queued event to process
    vek::MemBlock pickUp;  // smear tools: RGBA, pickUpWidth × pickUpHeight
    int32_t pickUpWidth = 0, pickUpHeight = 0;
    double lastEventTime = 0.0;
    uint32_t inputSmoothing = 1;
    uint32_t subPixel = 1;          // "Sub-Pixel Coords"
    vek::MemBlock distanceTable[2]; // [0] even, [1] odd diameter
    int32_t distanceN[2] = {0, 0};
    vek::MemBlock strokePoints; // s_StrokePoint, strokeCapacity + 1 entries
    int32_t strokeCapacity = kStrokeStart;
    // Sampler state: last accepted sample position, previous segment delta and length, previous
    // time rate, axis of the last pixel step (0 none, 1 x, 2 y) and leftover time.
    float samplerX = 0.0f, samplerY = 0.0f, samplerDx = 0.0f, samplerDy = 0.0f;
    float samplerLength = 1.0f, samplerRate = 0.0f;
    int32_t samplerAxis = 0;
    double samplerLeftover = 0.0;
    uint32_t batchButton = 0; // 2 = right
    std::unique_ptr<cTes_Tool> tools[kToolSlots];
    t_ToolAnchor anchors[kAnchorSlots];

    // ---- beyond the record ----
    int32_t queueCount = 0;
    vek::MemBlock recordBuffer; // the second event buffer (recording and replay)
    int32_t recordCount = 0;
    int32_t recordCapacity = kQueueStart;
    c_TesPic* picture = nullptr; // the picture the editor shows (borrowed)
    int32_t anchorCount = 0;
    // Tip masks, the unshifted planes they are shifted from and scratch, grown only. The planes
    // are rebuilt only when the tip's geometry changes (planeKey).
    vek::MemBlock maskA, maskB, maskQuadrant, maskPlaneA, maskPlaneB, maskRestricted;
    vek::MemBlock planeExtents, maskExtents; // non-zero columns per row: firsts, then ends
    float planeKey[7] = {0, 0, 0, 0, 0, 0, 0};
    // Which planes the masks were last built from (counted up with every rebuild or regrowth) and
    // whether with the extra column and row: the same again needs no clearing; the same
    // fractions again (as given, before a negative one counts as f + 1) need nothing at all.
    uint32_t planeGeneration = 0, maskGeneration = ~0u;
    uint8_t maskShape = 0;
    float maskFx = 0.0f, maskFy = 0.0f;
    // Smear scratch: two rows of the stamp in progress, the area under a tip that crosses an edge
    // of the layer, and the pick-up's reach: the columns [first, end) of each pick-up row that a
    // stamp can read (firsts, then ends), for the pick-up and then for the current tip.
    vek::MemBlock smearRows, smearArea, pickUpReach;
    c_TesLayer* paintMask = nullptr; // the picture's paint mask for the current batch
    // Stroke bookkeeping of the sampler.
    uint8_t strokeOpen = 0;
    int32_t pressIndex = 0;
    double samplerTime = 0.0;         // elapsed time accumulated since the last accepted sample
    float stepX = 0.0f, stepY = 0.0f; // where pixel stepping continues from
    int32_t strokeCount = 0;          // points in strokePoints
    // Split bookkeeping between frames.
    uint32_t seenTwoButtonSplit = 0;
    int8_t seenSplitExists = -1; // -1 not yet known
    uint8_t seenToolSplit = 0;

    cVek_ToolBox();
    // Deletes every tool, then the array.
    ~cVek_ToolBox() override;
    cVek_ToolBox(const cVek_ToolBox&) = delete;
    cVek_ToolBox& operator=(const cVek_ToolBox&) = delete;

    // Builds the catalogue (the engine's: the tools of the pen, smear and eraser families, "Oil
    // Paint" primary). False when memory runs out (no tools then).
    virtual bool CreateTools();

    // Allocates the queue and the stroke point list, builds the distance tables for the even and
    // odd diameters nearest below max size, then CreateTools. False when memory runs out.
    bool Initialize();

    // ---- tools ----
    // The first tool with the id; else the first with id 1; else null.
    cTes_Tool* FindTool(uint32_t id) const;
    // Makes the tool with the id (FindTool's fallback included) the primary tool.
    bool SetPrimaryTool(uint32_t id);
    int32_t ToolCount() const;
    // Takes ownership and appends; false (tool deleted) when the array is full.
    bool AddTool(std::unique_ptr<cTes_Tool> tool);

    // ---- settings ----
    // The left and right values of a setting (of the blend mode: its ids) or of a colour; null for
    // an unknown one.
    int32_t* SettingValues(e_Setting which);
    float (*ColourValues(e_Colour which))[3];
    // The setting of a button as a stroke would use it (button 2 = right).
    int32_t Setting(e_Setting which, uint32_t button) const;
    const float* Colour(e_Colour which, uint32_t button) const;
    // Sets a colour for the button: the right value only while 2-Button Split is on and that colour
    // is split, else the left value.
    void SetColour(e_Colour which, const float rgb[3], uint32_t button);
    // A click on a setting, colour box or the current-tool control (kSplit...). A left click is
    // the control's own business; a right click turns 2-Button Split on with only that target split,
    // or toggles the target's split flag when 2-Button Split is already on.
    void SplitClick(int32_t target, bool rightButton);
    // Run once per frame by the editor: keeps "Complement Tool" and the split tool exclusive and
    // switches 2-Button Split off when nothing is split any more.
    void UpdateSplitState();
    bool AnySplit() const;
    // The two bytes kept in the settings file: sub-pixel coordinates and input smoothing.
    void GetStateBytes(uint8_t bytes[2]) const;
    void SetStateBytes(const uint8_t bytes[2]);

    // ---- events ----
    // The picture whose current layer the tools edit; null stops all painting. A stroke still open
    // in the previous picture is ended there first (recorded and committed as it stands).
    void SetPicture(c_TesPic* pic);
    // One pointer event over the picture: position in picture pixels, the button that caused it
    // (1 left, 2 right; 0 = the stroke's own button), time in seconds, type (kToolEventPress,
    // kToolEventRelease, anything else is a move) and the button bits. Returns ProcessQueue's count.
    int32_t QueueEvent(float x, float y, uint32_t button, double time, int32_t type, uint8_t buttons);
    // Processes the queued events of the current stroke; time < 0 when called for a new event.
    // Returns the number of processed events.
    int32_t ProcessQueue(double time = -1.0);
    // Event recording (not offered by the program): a press then keeps the queue.
    void StartRecording();
    // Replays the recorded events with history suppressed.
    int32_t StartReplay();
    void EndRecordingOrReplay();

    // ---- sampler ----
    // Turns the newly queued events into stroke points (the list restarts at 0); returns the
    // number of events consumed.
    int32_t RunFreehandSampler(uint8_t subPixelOn, uint32_t smoothing, uint8_t everySample, double time);
    // A point for every press and release and for the newest of the queued moves.
    int32_t RunRawSampler();
    s_StrokePoint* StrokeList() { return strokePoints.As<s_StrokePoint>(); }
    // Empties the stroke point list (the terminating point only).
    void ClearStrokeList();

    // ---- tip support ----
    // Makes masks (and the distance table of the mask's parity) large enough for the tip's mask
    // size, points the tip at them and builds the unshifted planes of its geometry. False when
    // memory runs out.
    bool PrepareTip(s_TipPars& tip);
    // Builds masks A and B for the tip's current fractions from the planes.
    void BuildTipMasks(s_TipPars& tip);
    // Smear tools, once per batch: sizes the pick-up for the tip and works out its reach. A pick-up
    // of another size, or one whose reach does not cover the tip's (settings changed within the
    // stroke), is released so the next stamp starts afresh. False when memory runs out.
    bool PreparePickUp(const s_TipPars& tip);
    void ReleasePickUp();
    // Records a history step for the current layer (unless suppressed) and commits it.
    void FinishLayerChanges(s_ToolPars& pars);

  protected:
    // For CreateTools: a new tool of class T with its id, name and complement tool appended to the
    // array; null when memory or slots run out.
    template <class T> T* NewTool(uint32_t id, const char* name, uint32_t complement) {
        std::unique_ptr<T> tool(new (std::nothrow) T());
        if (!tool) return nullptr;
        T* raw = tool.get();
        tool->id = id;
        tool->name = name;
        tool->complementId = complement;
        return AddTool(std::move(tool)) ? raw : nullptr;
    }
    // Empties the tool array for a new catalogue.
    void ClearTools();
    // Ends a catalogue: with every tool made, the tool with the id becomes the primary tool; else
    // the array is emptied again. Returns `allMade`.
    bool FinishTools(bool allMade, uint32_t primaryId);

  private:
    bool AppendEvent(const s_ToolEvent& ev);
    bool AppendStrokePoint(float x, float y, float time, uint8_t buttons, uint8_t end);
    void StepTo(float ex, float ey, uint8_t subPixelOn, float t0, float t1, uint8_t buttons, bool& full);
    cTes_Tool* ResolveTool(uint32_t side[kSettingCount], uint32_t colourSide[kColourCount]);
    void FinishOpenStroke();
};

// The process's tool box (set by the program's tool box when it is made).
extern cVek_ToolBox* gVek_ToolBox;

// The menu description (popup help) of an engine tool id, or null.
const char* GetToolDescription(uint32_t id);
