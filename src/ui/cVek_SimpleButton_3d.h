// The three-dimensional button: a lit, bevelled box standing out of the panel that sinks in while
// pressed; its caption lies on the box's face.
#pragma once

#include "ui/cVek_SimpleButton.h"

class cVek_SimpleButton_3d : public cVek_SimpleButton {
  public:
    cVek_SimpleButton_3d() = default;
    std::unique_ptr<cVek_SimpleButton> Clone() const override;
    void Draw(const DrawState& s) override;

  protected:
    cVek_SimpleButton_3d(const cVek_SimpleButton_3d&) = default;
};
