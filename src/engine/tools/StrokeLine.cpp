// The straight line of draw mode Line. The count is known before any point is written, so the
// list grows once (needed + 1 000) or not at all.
#include "engine/tools/StrokeLine.h"

#include <cmath>

namespace tes {

namespace {

s_StrokePoint LinePoint(double x, double y) {
    return s_StrokePoint{static_cast<float>(x), static_cast<float>(y), 1.0f, 0.01f, 0, 0};
}

bool Reserve(vek::MemBlock& list, int32_t& capacity, int64_t needed) {
    if (needed <= capacity && !list.Empty()) return true;
    if (needed > (int64_t{1} << 26)) return false; // a line of 67 million points is a broken anchor
    const int64_t grown = needed > capacity ? needed + 1000 : capacity;
    if (!list.Resize(sizeof(s_StrokePoint) * static_cast<size_t>(grown + 1))) return false;
    capacity = static_cast<int32_t>(grown);
    return true;
}

} // namespace

int32_t BuildLine(float x0, float y0, float x1, float y1, bool subPixel, vek::MemBlock& list,
                  int32_t& capacity) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return -1;
    if (!subPixel) {
        const double sx = std::trunc(x0), sy = std::trunc(y0);
        const double dx = std::trunc(x1) - sx, dy = std::trunc(y1) - sy;
        const bool alongX = std::fabs(dx) >= std::fabs(dy);
        const double major = alongX ? dx : dy, minor = alongX ? dy : dx;
        const int64_t steps = static_cast<int64_t>(std::fabs(major));
        if (!Reserve(list, capacity, steps + 1)) return -1;
        s_StrokePoint* p = list.As<s_StrokePoint>();
        const double dir = major < 0 ? -1.0 : 1.0;
        const double slope = steps ? minor / std::fabs(major) : 0.0;
        for (int64_t k = 0; k <= steps; ++k) {
            const double a = k * dir, b = std::floor(k * slope + 0.5);
            p[k] = alongX ? LinePoint(sx + a, sy + b) : LinePoint(sx + b, sy + a);
        }
        p[steps + 1] = s_StrokePoint{0, 0, 1.0f, -1.0f, 0, 0};
        return static_cast<int32_t>(steps + 1);
    }
    const double dx = double(x1) - x0, dy = double(y1) - y0;
    const bool alongX = std::fabs(dx) >= std::fabs(dy);
    const double delta = alongX ? dx : dy;
    double start = alongX ? x0 : y0;
    const double end = alongX ? x1 : y1;
    int64_t crossings = 0;
    double first = 0.0, dir = delta < 0 ? -1.0 : 1.0;
    if (delta != 0.0) {
        if (start == std::floor(start)) start += 0.0001 * dir;
        first = dir > 0 ? std::ceil(start) : std::floor(start);
        const double offset = std::fabs(first - start);
        const double dist = std::fabs(end - start);
        const double c = std::floor(dist - offset + 0.9999);
        crossings = c > 0 ? static_cast<int64_t>(c) : 0;
    }
    if (!Reserve(list, capacity, crossings + 2)) return -1;
    s_StrokePoint* p = list.As<s_StrokePoint>();
    p[0] = LinePoint(x0, y0);
    for (int64_t k = 0; k < crossings; ++k) {
        const double v = first + k * dir;
        const double t = (v - (alongX ? x0 : y0)) / delta;
        p[k + 1] = alongX ? LinePoint(v, y0 + t * dy) : LinePoint(x0 + t * dx, v);
    }
    p[crossings + 1] = LinePoint(x1, y1);
    p[crossings + 2] = s_StrokePoint{0, 0, 1.0f, -1.0f, 0, 0};
    return static_cast<int32_t>(crossings + 2);
}

} // namespace tes
