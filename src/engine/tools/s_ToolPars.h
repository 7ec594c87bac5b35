// The records that travel between the tool box and its tools: queued pointer events, stroke
// points and the parameters of one batch of events.
//
// Positions are picture pixels (floats, fractional with sub-pixel coordinates). A queue ends at the
// first event of type -1, a stroke point list at the first point whose time value is negative.
#pragma once

#include <cstdint>

class cVek_ToolBox;
class c_TesPic;
class c_TesLayer;

// One queued pointer event.
struct s_ToolEvent {
    float x, y;      // picture pixels
    float elapsed;   // seconds since the previous queued event
    int32_t type;    // 1 press, 2 move, 3 release; -1 ends the queue
    uint8_t buttons; // low three button bits of the pointer event
};

enum { kToolEventEnd = -1, kToolEventPress = 1, kToolEventMove = 2, kToolEventRelease = 3 };

// One point of a stroke, as the samplers and the line builder produce it.
struct s_StrokePoint {
    float x, y;      // integral when sub-pixel coordinates are off
    float weight;    // always 1.0
    float time;      // seconds of pointer time per pixel of travel; negative ends the list
    uint8_t buttons; // button bits of the source event
    uint8_t end;     // 1 on the last point of a stroke
};

// Everything a tool needs for one batch of events; built by the tool box, read by every tool
// operation. Settings are already resolved for the button of the batch and scaled to 0..1.
struct s_ToolPars {
    cVek_ToolBox* toolBox;
    c_TesPic* picture;
    c_TesLayer* layer;      // the current layer (a colour layer at the picture size)
    float* backup;          // RGBA: the layer as it was when the stroke began
    float* pixels;          // RGBA: the layer
    float* coverage;        // one float a picture pixel: highest tip value of this stroke
    void* target;           // set just before Apply: the layer's or the selection's pixels
    int32_t width, height;  // layer size in pixels
    uint8_t wrapX, wrapY;   // the picture repeats
    float size;             // pixels
    float hardness;         // (100 - softness) / 100
    float tipShape;         // 1 - tip profile / 100
    float strength;         // strength / 100
    float flow;             // (flow / 100)^2
    float tolerance;        // tolerance / 100
    const float* highlight; // each three floats: the colours of the button
    const float* paint;
    const float* innerEdge;
    const float* outerEdge;
    int32_t drawMode;  // 0 standard, 1 line; 0 when the tool has no draw mode
    int32_t blendMode; // 0 when the button's blend mode is not enabled
    int32_t selectionMode;
    uint8_t subPixel; // a tool's PrepareParams may clear it
    uint8_t abort;    // a tool sets it to stop the batch
};
