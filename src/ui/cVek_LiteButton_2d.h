// The light flat button: no face until hovered, held or selected (menu rows, window controls).
#pragma once

#include "ui/cVek_SimpleButton_2d.h"

class cVek_LiteButton_2d : public cVek_SimpleButton_2d {
  public:
    cVek_LiteButton_2d() = default;
    std::unique_ptr<cVek_SimpleButton> Clone() const override;
    void Draw(const DrawState& s) override;

  protected:
    cVek_LiteButton_2d(const cVek_LiteButton_2d&) = default;
};
