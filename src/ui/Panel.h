// Interfaces of a panel (draws and handles its buttons once per frame inside its panel window),
// of a screen layout (builds its panels and windows, then runs one frame), and the function panel
// that calls a given function to draw (the picture window holds one for the picture editor).
#pragma once

class cVek_Window_Panel;

namespace vek::ui {

class Panel {
  public:
    virtual ~Panel() = default;
    // Draw-and-handle for this frame: set the rows, draw the buttons, react to clicks.
    virtual void Frame(cVek_Window_Panel& window) = 0;
};

class Studio {
  public:
    virtual ~Studio() = default;
    // Builds (or rebuilds) the panels and windows; false when that failed.
    virtual bool Build() = 0;
    // Runs one frame of the layout (checks whether it must be rebuilt).
    virtual void Frame() = 0;
};

using PanelFunction = void (*)(cVek_Window_Panel& window, void* user);

class FunctionPanel : public Panel {
  public:
    FunctionPanel(PanelFunction fn, void* user) : fn_(fn), user_(user) {}
    void Frame(cVek_Window_Panel& window) override {
        if (fn_) fn_(window, user_);
    }

  private:
    PanelFunction fn_;
    void* user_;
};

} // namespace vek::ui
