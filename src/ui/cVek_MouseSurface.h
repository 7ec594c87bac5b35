// The pointer as the interface sees it: position in desktop units, held buttons and modifiers, the
// press and release transitions queued by the input handler, and a ring of the last 100 positions.
//
// Transitions are handed to the frame one at a time (at most one press or release per frame), so
// an immediate button sees a quick click as a press on one frame and a release on the next, and
// the frame's position is that of its transition.
#pragma once

#include <cstdint>

class cVek_MouseSurface {
  public:
    static constexpr int kHistory = 100;
    static constexpr double kSampleSeconds = 0.01;
    static constexpr int kQueue = 32;

    struct Sample {
        float x = 0, y = 0;
        uint16_t modifiers = 0; // held buttons and Alt/Ctrl/Shift, as in the pointer event record
    };
    struct Transition {
        bool press = false; // else a release
        uint8_t button = 0; // 1 left, 2 right, 3 middle, 4 and 5 extra
        uint16_t modifiers = 0;
        float x = 0, y = 0;
    };

    // ---- input (from the desktop's pointer handler)
    void OnMove(float x, float y, uint16_t modifiers);
    // False when the queue is full (the transition is dropped).
    bool QueueTransition(const Transition& t);
    void OnWheel(int32_t wheel) { wheel_ += wheel; }

    // ---- frame
    // Takes the next transition (if any), records the pointer history for `dt` seconds.
    void BeginFrame(double dt);
    // Forgets this frame's transition and wheel.
    void EndFrame();

    float X() const { return frameX_; }
    float Y() const { return frameY_; }
    uint16_t Modifiers() const { return frameModifiers_; }
    bool AnyButtonHeld() const { return (frameModifiers_ & 0xF8) != 0; }
    bool Pressed() const { return hasTransition_ && current_.press; }
    bool Released() const { return hasTransition_ && !current_.press; }
    const Transition& Current() const { return current_; }
    // Transitions still waiting for later frames.
    int Pending() const { return count_; }
    // The newest waiting transition is a press (its release has not arrived yet).
    bool PressPending() const { return count_ > 0 && queue_[(head_ + count_ - 1) % kQueue].press; }
    int32_t Wheel() const { return frameWheel_; }

    // ---- history
    int HistoryIndex() const { return index_; }
    // The sample `back` steps before the current one (0 = current).
    const Sample& History(int back) const;

    // The interface element under the pointer, as the popup help identifies it.
    const void* hoverTarget = nullptr;

  private:
    float x_ = 0, y_ = 0; // latest position
    uint16_t modifiers_ = 0;
    float frameX_ = 0, frameY_ = 0;
    uint16_t frameModifiers_ = 0;
    Transition queue_[kQueue];
    int head_ = 0, count_ = 0;
    Transition current_;
    bool hasTransition_ = false;
    int32_t wheel_ = 0, frameWheel_ = 0;
    Sample history_[kHistory];
    int index_ = 0;
    double accumulated_ = 0.0;
};
