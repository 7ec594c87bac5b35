// A floating message window: a title and a block of text (markup allowed), sized to the text,
// with the standard bottom controls.
#pragma once

#include "ui/cVek_Window.h"

#include <string>

class cVek_Window_Info : public cVek_Window {
  public:
    static constexpr float kTextSize = 0.016f; // at scale 1

    cVek_Window_Info(std::string_view title, std::string_view text);
    ~cVek_Window_Info() override;
    void ApplyDefaultScale() override;

    void SetText(std::string_view text) { text_.assign(text.data(), text.size()); }
    const std::string& Text() const { return text_; }

    void Layout() override;

  protected:
    void RunBody() override;

  private:
    std::string text_;
};
