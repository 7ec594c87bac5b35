// The flat button: rounded face with a soft gradient, hover glow, pressed shade and caption offset,
// and a thick border in the selected state.
#pragma once

#include "ui/cVek_SimpleButton.h"

class cVek_SimpleButton_2d : public cVek_SimpleButton {
  public:
    cVek_SimpleButton_2d() = default;
    std::unique_ptr<cVek_SimpleButton> Clone() const override;
    void Draw(const DrawState& s) override;

  protected:
    cVek_SimpleButton_2d(const cVek_SimpleButton_2d&) = default;
};
