// The tool box's samplers: queued pointer events → stroke points.
//
// Freehand sampler, per event: a press restarts the stroke and emits its point; a move is smoothed
// over the recent samples of the window, merged into the next one when it lies closer than
// √2.4 ≈ 1.55 px to the last accepted sample, split into parts along a quadratic curve when it is
// farther than 5 px, and stepped one pixel at a time along each part's major axis (crossings of
// whole coordinates with sub-pixel coordinates, an 8-connected pixel line without); a release
// also adds the end point. Spacing does not depend on how fast events arrive: what is left of a
// pixel carries over to the next part.
#include <algorithm>
#include <cmath>

#include "engine/tools/cVek_ToolBox.h"

void cVek_ToolBox::ClearStrokeList() {
    strokeCount = 0;
    if (!strokePoints.Empty()) strokePoints.As<s_StrokePoint>()[0] = s_StrokePoint{0, 0, 1.0f, -1.0f, 0, 0};
}

bool cVek_ToolBox::AppendStrokePoint(float x, float y, float time, uint8_t buttons, uint8_t end) {
    if (strokePoints.Empty() || strokeCount >= strokeCapacity) {
        const int32_t grown = strokePoints.Empty() ? std::max(strokeCapacity, strokeCount + 1)
                                                   : strokeCount + 1 + kStrokeGrowth;
        if (!strokePoints.Resize(sizeof(s_StrokePoint) * (static_cast<size_t>(grown) + 1))) return false;
        strokeCapacity = grown;
    }
    s_StrokePoint* p = strokePoints.As<s_StrokePoint>();
    // A time value must not be negative (that ends the list); NaN counts as 0.
    p[strokeCount++] = s_StrokePoint{x, y, 1.0f, time > 0.0f ? time : 0.0f, buttons, end};
    p[strokeCount] = s_StrokePoint{0, 0, 1.0f, -1.0f, 0, 0};
    return true;
}

// Steps from (stepX, stepY) to the part end (ex, ey). Ties of the major axis keep the axis of the
// previous part.
void cVek_ToolBox::StepTo(float ex, float ey, uint8_t subPixelOn, float t0, float t1, uint8_t buttons,
                          bool& full) {
    if (full) return;
    if (subPixelOn) {
        const double sx = stepX, sy = stepY, dx = double(ex) - sx, dy = double(ey) - sy;
        if (dx == 0.0 && dy == 0.0) return;
        const double ax = std::fabs(dx), ay = std::fabs(dy);
        const int32_t axis = ax > ay ? 1 : (ay > ax ? 2 : (samplerAxis ? samplerAxis : 1));
        samplerAxis = axis;
        const double s = axis == 1 ? sx : sy, e = axis == 1 ? double(ex) : double(ey), delta = e - s;
        const double dir = delta > 0 ? 1.0 : -1.0;
        // Whole values v with s < v <= e in the direction of travel.
        for (double v = dir > 0 ? std::floor(s) + 1.0 : std::ceil(s) - 1.0; dir > 0 ? v <= e : v >= e;
             v += dir) {
            const double t = (v - s) / delta;
            const float px = static_cast<float>(axis == 1 ? v : sx + t * dx);
            const float py = static_cast<float>(axis == 1 ? sy + t * dy : v);
            if (!AppendStrokePoint(px, py, static_cast<float>(t0 + (t1 - t0) * t), buttons, 0)) {
                full = true;
                break;
            }
        }
        stepX = ex;
        stepY = ey;
        return;
    }
    const int32_t cx = static_cast<int32_t>(stepX), cy = static_cast<int32_t>(stepY);
    const int32_t tx = static_cast<int32_t>(std::floor(ex)), ty = static_cast<int32_t>(std::floor(ey));
    const int32_t dx = tx - cx, dy = ty - cy;
    if (dx == 0 && dy == 0) return;
    const int32_t ax = std::abs(dx), ay = std::abs(dy);
    const int32_t axis = ax > ay ? 1 : (ay > ax ? 2 : (samplerAxis ? samplerAxis : 1));
    samplerAxis = axis;
    const int32_t steps = std::max(ax, ay);
    for (int32_t k = 1; k <= steps; ++k) {
        const double f = double(k) / steps;
        int32_t px, py;
        if (axis == 1) {
            px = cx + (dx > 0 ? k : -k);
            py = cy + static_cast<int32_t>(std::floor(f * dy + 0.5));
        } else {
            py = cy + (dy > 0 ? k : -k);
            px = cx + static_cast<int32_t>(std::floor(f * dx + 0.5));
        }
        if (!AppendStrokePoint(float(px), float(py), static_cast<float>(t0 + (t1 - t0) * f), buttons, 0)) {
            full = true;
            break;
        }
    }
    stepX = float(tx);
    stepY = float(ty);
}

int32_t cVek_ToolBox::RunFreehandSampler(uint8_t subPixelOn, uint32_t smoothing, uint8_t everySample,
                                         double time) {
    ClearStrokeList();
    if (queue.Empty()) return 0;
    const int32_t window = smoothing ? 15 : 0;
    const float prevWeight = smoothing ? 0.7f : 0.0f, newWeight = smoothing ? 0.3f : 1.0f;
    const bool timed = time >= 0.0;
    double budget = 0.0;
    if (timed) {
        budget = time + samplerLeftover;
        samplerLeftover = 0.0;
    }
    const s_ToolEvent* q = queue.As<s_ToolEvent>();
    int32_t consumed = 0;
    bool full = false;
    while (!full && q[readIndex].type != kToolEventEnd) {
        const s_ToolEvent ev = q[readIndex];
        const double elapsed = ev.elapsed > 0.0f ? double(ev.elapsed) : 0.0;
        if (timed) {
            if (elapsed > budget) {
                samplerLeftover = budget;
                break;
            }
            budget -= elapsed;
        }
        const int32_t index = readIndex++;
        ++consumed;
        if (ev.type == kToolEventPress) {
            pressIndex = index;
            strokeOpen = 1;
            lastPress[0] = ev.x;
            lastPress[1] = ev.y;
            lastPress[2] = 1.0f;
            samplerX = ev.x;
            samplerY = ev.y;
            samplerDx = samplerDy = 0.0f;
            samplerLength = 1.0f;
            samplerAxis = 0;
            samplerRate = 0.0f;
            samplerTime = 0.0;
            stepX = subPixelOn ? ev.x : std::floor(ev.x);
            stepY = subPixelOn ? ev.y : std::floor(ev.y);
            if (!AppendStrokePoint(stepX, stepY, 0.0f, ev.buttons, 0)) full = true;
            continue;
        }
        if (!strokeOpen) continue; // moves between strokes paint nothing
        const bool release = ev.type == kToolEventRelease;
        float x = ev.x, y = ev.y;
        if (!release && window > 0 && index > pressIndex) {
            // Weighted mean of the window, newer samples weighing more; a run of samples is cut
            // where one lies more than √80 px away, and a sample within 2.5 px (Manhattan) of its
            // predecessor takes the predecessor's place, which irons out jitter.
            int32_t n = 0;
            double sx = 0.0, sy = 0.0, sum = 0.0;
            const int32_t first = std::max(pressIndex, index - window);
            for (int32_t j = first; j < index; ++j) {
                double px = q[j].x, py = q[j].y;
                const double ddx = px - x, ddy = py - y;
                if (ddx * ddx + ddy * ddy <= 80.0) {
                    ++n;
                    if (j > pressIndex && std::fabs(px - q[j - 1].x) + std::fabs(py - q[j - 1].y) < 2.5) {
                        px = q[j - 1].x;
                        py = q[j - 1].y;
                    }
                    sx += n * px;
                    sy += n * py;
                    sum += n;
                } else {
                    n = 0;
                    sx = sy = sum = 0.0;
                }
            }
            const double w = n >= 1 ? n * 0.5 : 1.0;
            x = static_cast<float>((sx + w * x) / (w + sum));
            y = static_cast<float>((sy + w * y) / (w + sum));
        }
        samplerTime += elapsed;
        const float dx = x - samplerX, dy = y - samplerY;
        const float d2 = dx * dx + dy * dy;
        if (!release && !everySample && d2 < 2.4f) continue;

        const float length = std::sqrt(d2);
        const bool curved = index > pressIndex && d2 > 25.0f;
        int32_t parts = 1;
        if (curved) {
            // Parts finer than a quarter pixel add nothing; the cap keeps a wild jump cheap.
            const double byArea = 1.0 + std::floor((double(d2) - 0.0001) / 5.0);
            parts = static_cast<int32_t>(std::min(byArea, 4.0 * std::ceil(length) + 4.0));
        }
        const float r = length / samplerLength;
        const float cx = (dx + r * samplerDx) * 0.5f, cy = (dy + r * samplerDy) * 0.5f;
        float rate = static_cast<float>(samplerTime / (curved ? double(length) : 1.0));
        rate = prevWeight * samplerRate + newWeight * rate;
        samplerTime = 0.0;
        const float x0 = samplerX, y0 = samplerY;
        float tPrev = 0.0f;
        for (int32_t k = 1; k <= parts && !full; ++k) {
            const float t = float(k) / float(parts);
            const float ex = k == parts ? x : x0 + t * t * dx + t * (1.0f - t) * cx;
            const float ey = k == parts ? y : y0 + t * t * dy + t * (1.0f - t) * cy;
            StepTo(ex, ey, subPixelOn, samplerRate + (rate - samplerRate) * tPrev,
                   samplerRate + (rate - samplerRate) * t, ev.buttons, full);
            tPrev = t;
        }
        if (curved) {
            samplerDx = dx;
            samplerDy = dy;
            samplerLength = length;
        } else {
            // A short segment counts length 1: its direction is kept at unit length.
            samplerDx = length > 0.0f ? dx / length : 0.0f;
            samplerDy = length > 0.0f ? dy / length : 0.0f;
            samplerLength = 1.0f;
        }
        samplerRate = rate;
        samplerX = x;
        samplerY = y;
        if (release) {
            const float px = subPixelOn ? x : std::floor(x), py = subPixelOn ? y : std::floor(y);
            // Without its end point the stroke stays open; the next press then ends it.
            if (AppendStrokePoint(px, py, rate, ev.buttons, 1))
                strokeOpen = 0;
            else
                full = true;
        }
    }
    return consumed;
}

int32_t cVek_ToolBox::RunRawSampler() {
    ClearStrokeList();
    if (queue.Empty()) return 0;
    const s_ToolEvent* q = queue.As<s_ToolEvent>();
    int32_t consumed = 0, newestMove = -1;
    while (q[readIndex].type != kToolEventEnd) {
        const int32_t i = readIndex;
        const s_ToolEvent& ev = q[i];
        if (ev.type == kToolEventMove) {
            newestMove = i;
        } else {
            if (newestMove >= 0 &&
                !AppendStrokePoint(q[newestMove].x, q[newestMove].y, 0.0f, q[newestMove].buttons, 0))
                break;
            newestMove = -1;
            if (!AppendStrokePoint(ev.x, ev.y, 0.0f, ev.buttons, ev.type == kToolEventRelease ? 1 : 0)) break;
            if (ev.type == kToolEventPress) {
                lastPress[0] = ev.x;
                lastPress[1] = ev.y;
                lastPress[2] = 1.0f;
            }
        }
        ++readIndex;
        ++consumed;
    }
    if (newestMove >= 0) AppendStrokePoint(q[newestMove].x, q[newestMove].y, 0.0f, q[newestMove].buttons, 0);
    return consumed;
}
