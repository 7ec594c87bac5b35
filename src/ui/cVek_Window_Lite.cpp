// Lite windows.
#include "ui/cVek_Window_Lite.h"

#include "ui/cVek_InterfaceGadget.h"

cVek_Window_Lite::cVek_Window_Lite(std::string_view title) : cVek_Window(title) {
    layer_ = kLayerFloating;
    hasFrame = true;
}

cVek_Window_Lite::~cVek_Window_Lite() = default;

void cVek_Window_Lite::ApplyDefaultScale() {
    const cVek_InterfaceGadget* look = Desktop() ? Look() : nullptr;
    StoreScale(look ? look->dialogScale * 0.25f : 0.25f);
}
