// A small floating window at a quarter of the dialog scale (0.25 without a look): a frame and a
// body, no title bar or footer. Its body callback lays out its own content.
#pragma once

#include "ui/cVek_Window.h"

class cVek_Window_Lite : public cVek_Window {
  public:
    explicit cVek_Window_Lite(std::string_view title = {});
    ~cVek_Window_Lite() override;
    void ApplyDefaultScale() override;
};
