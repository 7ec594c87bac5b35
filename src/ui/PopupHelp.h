// Popup help: shows the help text of the element the pointer rests on. Elements offer their help
// during the frame; the timer runs once per frame afterwards.
//
// Timer rules: no element -> 0 and nothing shown; a different element -> restart at 0 unless the
// timer is above 1000 (help always on keeps it running); same element -> grows by the frame
// time; an element asking for its help at once sets 10000, and such a popup stays until the
// pointer leaves the element (without help-always-on the next element starts again from 0). The
// popup shows while the timer is above 1.5 seconds.
#pragma once

#include "ui/UiRect.h"

#include <string>
#include <string_view>

class cVek_TextDisplay;
class cVek_InterfaceShape;

namespace vek::ui {

struct UiColours;

class PopupHelp {
  public:
    static constexpr double kDelay = 1.5;
    static constexpr double kRestartLimit = 1000.0;
    static constexpr double kAtOnce = 10000.0;

    struct Placement {
        Rect box;
        float textSize = 0;
        bool above = false;           // the popup is above the element (arrow turned to point down)
        float arrowX = 0, arrowY = 0; // tip of the arrow, on the element's edge
    };

    // The element (with its entry and part) under the pointer offers its help for this frame;
    // the last offer of a frame wins. `relativeSize` sizes the text at 0.35 of the element height.
    // The text is copied: the caller's string may change or go away before the frame.
    void Offer(const void* element, int entry, int part, std::string_view help, const Rect& elementRect,
               bool relativeSize = false, bool atOnce = false);
    // Runs the timer with the frame time.
    void Frame(double dt);

    bool Showing() const;
    // The timer is running toward showing a popup (frames must keep coming).
    bool Waiting() const { return hasTarget_ && timer_ <= kDelay && !help_.empty(); }
    double Timer() const { return timer_; }
    void SetAlwaysOn(bool on) { alwaysOn_ = on; }
    const std::string& Help() const { return help_; }
    void Hide() {
        timer_ = 0.0;
        hasTarget_ = false;
    }

    // Where the popup goes for an element, a text block of blockW x blockH at `textSize`, on a
    // screen `aspect` wide: margins of 1.1 and 1.2 text heights, centred on the element or shifted
    // toward the screen centre by 0.4 of its width when the block is wider than 0.75 of it, below
    // the element or flipped above it to stay within -0.5..0.5, and kept inside the screen.
    static Placement Place(const Rect& element, float blockW, float blockH, float textSize, float aspect);
    // Text size of the current target.
    float TextSize(float defaultSize) const { return relative_ ? 0.35f * rect_.Height() : defaultSize; }

    // Draws the popup (when showing) with `text` and the colours of the look.
    void Draw(cVek_TextDisplay& text, const UiColours& colours, float defaultSize, float aspect);

  private:
    struct Offered {
        const void* element = nullptr;
        int entry = 0, part = 0;
        std::string help; // reused from frame to frame, so offering allocates only to grow
        Rect rect;
        bool relative = false, atOnce = false;
    };
    Offered offer_;
    bool offered_ = false;
    // Current target.
    const void* element_ = nullptr;
    int entry_ = 0, part_ = 0;
    std::string help_;
    Rect rect_;
    bool relative_ = false;
    bool hasTarget_ = false;
    bool alwaysOn_ = false;
    double timer_ = 0.0;
};

} // namespace vek::ui
