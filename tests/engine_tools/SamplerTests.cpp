// The freehand sampler, the raw sampler and the line builder on queued events, without painting
// (the tool box has no picture, so events are only queued).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/tools/StrokeLine.h"
#include "engine/tools/cVek_ToolBox.h"

namespace {

struct Queue {
    cVek_ToolBox box;
    double t = 0.0;
    Queue() { EXPECT_TRUE(box.Initialize()); }
    void Add(float x, float y, int type, double dt = 0.01) {
        t += dt;
        box.QueueEvent(x, y, 1, t, type, 1);
    }
    std::vector<s_StrokePoint> Sample(bool sub, bool smooth, bool every = false) {
        box.RunFreehandSampler(sub ? 1 : 0, smooth ? 1 : 0, every ? 1 : 0, -1.0);
        std::vector<s_StrokePoint> out;
        for (const s_StrokePoint* p = box.StrokeList(); p->time >= 0.0f; ++p)
            out.push_back(*p);
        return out;
    }
};

} // namespace

TEST(FreehandSampler, CloseSamplesAreMergedAndAPauseEmitsNothing) {
    Queue q;
    q.Add(10.0f, 10.0f, kToolEventPress);
    EXPECT_EQ(q.Sample(true, false).size(), 1u); // a press always emits its point
    q.Add(11.2f, 10.5f, kToolEventMove);         // d² = 1.69 < 2.4
    q.Add(11.2f, 10.5f, kToolEventMove, 0.5);    // held still
    EXPECT_TRUE(q.Sample(true, false).empty());
    EXPECT_EQ(q.box.samplerX, 10.0f);
    q.Add(12.5f, 10.0f, kToolEventMove); // d² = 6.25: accepted, crosses x = 11 and 12
    const auto pts = q.Sample(true, false);
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_FLOAT_EQ(pts[0].x, 11.0f);
    EXPECT_FLOAT_EQ(pts[1].x, 12.0f);
    EXPECT_FLOAT_EQ(pts[0].y, 10.0f);
    // The time of the merged samples is kept: 0.52 s over a segment counted as 1 pixel, the
    // points interpolated from the previous rate 0 along the segment (at 0.4 and 0.8 of it).
    EXPECT_NEAR(pts[0].time, 0.208f, 1e-4);
    EXPECT_NEAR(pts[1].time, 0.416f, 1e-4);
    Queue every; // a tool taking every sample keeps the close one
    every.Add(10.0f, 10.0f, kToolEventPress);
    every.Add(10.5f, 10.0f, kToolEventMove);
    every.Sample(true, false, true);
    EXPECT_FLOAT_EQ(every.box.samplerX, 10.5f);
}

TEST(FreehandSampler, WithSubPixelCoordinatesPointsSitOnWholeMajorAxisValuesAboutOnePixelApart) {
    Queue q;
    q.Add(2.25f, 3.5f, kToolEventPress);
    q.Add(40.75f, 13.5f, kToolEventMove); // curved into parts, x-major
    q.Add(40.75f, 13.5f, kToolEventRelease);
    const auto pts = q.Sample(true, false);
    ASSERT_GE(pts.size(), 40u);
    EXPECT_FLOAT_EQ(pts[0].x, 2.25f);
    for (size_t i = 1; i + 1 < pts.size(); ++i) {
        EXPECT_FLOAT_EQ(pts[i].x, std::floor(pts[i].x)) << i;
        const float d = std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
        EXPECT_LT(d, 1.5f) << i;
    }
    EXPECT_EQ(pts.back().end, 1);
    EXPECT_FLOAT_EQ(pts.back().x, 40.75f);
    EXPECT_FLOAT_EQ(pts.back().y, 13.5f);
}

TEST(FreehandSampler, ALongSegmentFollowsTheCurveThroughThePreviousDirection) {
    Queue q;
    q.Add(0.0f, 0.0f, kToolEventPress);
    q.Add(0.0f, 20.0f, kToolEventMove); // heading down
    q.Sample(true, false);
    q.Add(20.0f, 20.0f, kToolEventMove); // then right: the curve bulges downwards first
    const auto pts = q.Sample(true, false);
    ASSERT_FALSE(pts.empty());
    float lowest = 0.0f;
    for (const auto& p : pts)
        lowest = std::max(lowest, p.y);
    // Control point (0, 20) + ((20, 0) + 1·(0, 20)) / 4 = (5, 25): the midpoint sits at y 22.5.
    EXPECT_GT(lowest, 22.0f);
    EXPECT_LT(lowest, 23.0f);
    EXPECT_FLOAT_EQ(pts.back().x, 20.0f);
}

TEST(FreehandSampler, SmoothingPullsAJitteryMoveTowardsTheRecentSamples) {
    Queue q;
    q.Add(10.0f, 10.0f, kToolEventPress);
    for (int i = 1; i <= 6; ++i)
        q.Add(10.0f + 2 * i, 10.0f, kToolEventMove);
    q.Sample(true, true);
    const float before = q.box.samplerY;
    q.Add(24.0f, 14.0f, kToolEventMove); // a jump sideways
    q.Sample(true, true);
    EXPECT_GT(q.box.samplerY, before);
    EXPECT_LT(q.box.samplerY, 12.5f); // well short of the raw 14
}

TEST(FreehandSampler, TimedCallsStopWhenTheBudgetIsSpentAndCarryTheRest) {
    Queue q;
    q.Add(0.0f, 0.0f, kToolEventPress);
    q.Add(10.0f, 0.0f, kToolEventMove, 0.05);
    q.Add(20.0f, 0.0f, kToolEventMove, 0.05);
    EXPECT_EQ(q.box.RunFreehandSampler(1, 0, 0, 0.07), 2); // press and first move
    EXPECT_NEAR(q.box.samplerLeftover, 0.02, 1e-6);
    EXPECT_EQ(q.box.RunFreehandSampler(1, 0, 0, 0.01), 0); // 0.03 is not yet enough
    EXPECT_EQ(q.box.RunFreehandSampler(1, 0, 0, 0.04), 1);
}

TEST(RawSampler, PressAndReleaseAlwaysCountButOnlyTheNewestMove) {
    Queue q;
    q.Add(1, 1, kToolEventPress);
    q.Add(2, 2, kToolEventMove);
    q.Add(3, 3, kToolEventMove);
    q.Add(4, 4, kToolEventMove);
    EXPECT_EQ(q.box.RunRawSampler(), 4);
    const s_StrokePoint* p = q.box.StrokeList();
    EXPECT_EQ(p[0].x, 1.0f);
    EXPECT_EQ(p[1].x, 4.0f);
    EXPECT_LT(p[2].time, 0.0f);
    q.Add(5, 5, kToolEventMove);
    q.Add(6, 6, kToolEventRelease);
    q.box.RunRawSampler();
    EXPECT_EQ(p[0].x, 5.0f);
    EXPECT_EQ(p[1].x, 6.0f);
    EXPECT_EQ(p[1].end, 1);
}

TEST(LineBuilder, WholePixelsOrCrossingsOfWholeValuesBetweenTheExactEndsAndBrokenAnchorsRefused) {
    vek::MemBlock list;
    int32_t capacity = 0;
    auto at = [&](int i) { return list.As<s_StrokePoint>()[i]; };
    ASSERT_EQ(tes::BuildLine(2.9f, 3.2f, 9.5f, 5.7f, false, list, capacity), 8); // major delta + 1
    EXPECT_EQ(at(0).x, 2.0f);
    EXPECT_EQ(at(7).x, 9.0f);
    EXPECT_EQ(at(7).y, 5.0f);
    EXPECT_FLOAT_EQ(at(3).time, 0.01f);
    EXPECT_LT(at(8).time, 0.0f);
    ASSERT_EQ(tes::BuildLine(4.0f, 4.0f, 4.0f, 4.0f, false, list, capacity), 1);
    // From 10.5 to 13.0: 11 and 12, then the exact end.
    ASSERT_EQ(tes::BuildLine(10.5f, 1.0f, 13.0f, 2.0f, true, list, capacity), 4);
    EXPECT_FLOAT_EQ(at(0).x, 10.5f);
    EXPECT_FLOAT_EQ(at(1).x, 11.0f);
    EXPECT_FLOAT_EQ(at(1).y, 1.2f);
    EXPECT_FLOAT_EQ(at(3).x, 13.0f);
    // A start on a whole value moves on by 0.0001 first: 11, 12 and the end 13.
    ASSERT_EQ(tes::BuildLine(10.0f, 0.0f, 13.0f, 0.0f, true, list, capacity), 4);
    ASSERT_EQ(tes::BuildLine(0.0f, 5.5f, 1.0f, 2.25f, true, list, capacity), 5); // upwards, y-major
    EXPECT_FLOAT_EQ(at(1).y, 5.0f);
    EXPECT_FLOAT_EQ(at(3).y, 3.0f);
    EXPECT_EQ(tes::BuildLine(0, 0, NAN, 0, true, list, capacity), -1);
    EXPECT_EQ(tes::BuildLine(0, 0, 1e9f, 0, false, list, capacity), -1);
    EXPECT_FLOAT_EQ(at(3).y, 3.0f); // the list as it was
}
