// The program's studio: layout, colour scheme, the panels toggle and the picture window's pointer.
#include "app/Studio.h"

#include "app/BrushesPanel.h"
#include "app/MainMenuPanel.h"
#include "app/MenusPanel.h"
#include "app/Portfolio.h"
#include "app/StudioContext.h"
#include "app/StudioPanelState.h"
#include "app/ToolColorsPanel.h"
#include "app/ToolsPanel.h"
#include "app/UndoPanel.h"
#include "editor/cTes_PicEditor.h"
#include "engine/picture/c_TesPic.h"
#include "platform/InputEvents.h"
#include "resources/ProgramState.h"
#include "shell/ShellState.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_SimpleButton_2d.h"
#include "ui/cVek_Window_Panel.h"

namespace scribbix {
namespace {

template <class P> std::unique_ptr<vek::ui::Panel> Make(vek::tool::tes::TesStudio& s, cVek_Window_Panel& w) {
    return std::make_unique<P>(w, static_cast<Studio&>(s).ButtonTemplate());
}

// Around a drawing smaller than the screen: a calm grey that lets the paper's edge show.
constexpr uint32_t kPictureSurround = 0x5C6370;

} // namespace

// The strip runs without gaps from the top of the screen down to -0.165.
const Studio::Place Studio::kPlaces[kSlots] = {
    {0.465f, 0.07f},     {0.37f, 0.12f},       {0.2225f, 0.175f},
    {0.07875f, 0.1125f}, {-0.02125f, 0.0875f}, {-0.115f, 0.1f},
};

Studio::Studio(cVek_Desktop& desktop, const cVek_SimpleButton* buttonTemplate)
    : TesStudio(desktop), buttonTemplate_(buttonTemplate) {
    if (!buttonTemplate_) {
        ownTemplate_ = std::make_unique<cVek_SimpleButton_2d>();
        buttonTemplate_ = ownTemplate_.get();
    }
    backgroundButton_ = std::make_unique<cVek_SimpleButton_2d>();
    ApplyColourScheme();
    auto bg = std::make_unique<cVek_Window>();
    bg->SetBody(BackgroundBody, this);
    backgroundWindow_ = desktop_.AddWindow(std::move(bg));
    backgroundWindow_->SetPlacement(0.0f, 0.0f, float(vek::shell::ScreenAspect()), 1.0f);
}

Studio::~Studio() {
    if (cVek_Window_Panel* w = PictureWindow()) w->SetPointerHandler(nullptr, nullptr);
    if (cVek_Window* w = BackgroundWindow()) w->SetBody(nullptr, nullptr);
}

uint8_t Studio::LookByte() const {
    return StudioState().look.look;
}

bool Studio::PanelsHidden() const {
    return PanelRun().panelsHidden;
}

void Studio::TogglePanels() {
    PanelRun().panelsHidden = !PanelRun().panelsHidden;
    RequestRebuild();
}

bool Studio::IsPlainPress(uint8_t button, uint16_t modifiers) {
    return button == 1 && !(modifiers & (vek::kModAlt | vek::kModCtrl | vek::kModShift));
}

void Studio::ApplyColourScheme() {
    cVek_InterfaceGadget* look = Look();
    if (!look) return;
    look->SetSchemeColours(0xB87598, 0x000000, 0xA0FFFF, 0xC8FFC8);
    // The program's own table on top of the derived one: panels a little deeper than the window
    // titles, so the strip reads as one piece against any drawing.
    vek::ui::UiColours& c = look->colours;
    c.panelFaceTop = 0xC58AA8;
    c.panelFaceBottom = 0xA6708C;
    c.panelBorder = 0x5A3A4E;
    c.buttonSelected = 0xC8FFC8;
    c.buttonSelectedBorder = 0x2E7D3A;
}

void Studio::DesktopLayout() {
    CreateOrRefreshPictureWindow();
    const float left = -0.5f * float(vek::shell::ScreenAspect());
    static const PanelFactory kMake[kSlots] = {Make<MainMenuPanel>, Make<MenusPanel>, Make<ToolsPanel>,
                                               Make<BrushesPanel>,  Make<UndoPanel>,  Make<ToolColorsPanel>};
    const bool hidden = PanelsHidden();
    for (int i = 0; i < kSlots; ++i) {
        cVek_Window_Panel* w = PlacePanelWindow(i, left, kPlaces[i].cy, kStripWidth, kPlaces[i].h, kMake[i]);
        if (w) w->Show(!hidden);
    }
    if (cVek_Window* bg = BackgroundWindow())
        bg->SetPlacement(0.0f, 0.0f, float(vek::shell::ScreenAspect()), 1.0f);
}

void Studio::CreateOrRefreshPictureWindow() {
    StudioContext& ctx = Context();
    // 1. A drawing with no history yet is fitted to the screen again (the screen may have changed).
    if (c_TesPic* pic = CurrentPicture(); pic && ctx.portfolio) {
        const bool untouched =
            !pic->history || (pic->history->UndoSteps() == 0 && pic->history->RedoSteps() == 0);
        if (untouched) ctx.portfolio->FitToScreen(*pic);
    }
    // 2.
    cVek_Window_Panel* w = PictureWindow();
    if (!w) {
        w = desktop_.Add(std::make_unique<cVek_Window_Panel>());
        pictureWindow_ = w;
        // Its own look: no border (the picture's view is the whole window) and no shadow.
        w->OwnLook();
        if (cVek_InterfaceGadget* look = w->Look()) {
            look->panelWindowOptions[0] = 1;
            look->panelWindowOptions[1] = 0;
            look->panelFrame = 0.0f;
            look->colours.panelFaceTop = kPictureSurround;
            look->colours.panelFaceBottom = kPictureSurround;
            look->colours.panelBorder = kPictureSurround;
        }
        if (ctx.editor) {
            w->AddPanel(std::make_unique<vek::ui::FunctionPanel>(cTes_PicEditor::DrawPanel, ctx.editor));
            ctx.editor->SetPictureWindow(w);
        }
        // The studio sees the picture's pointer events first, for the panels toggle.
        w->SetPointerHandler(PicturePointer, this);
    }
    // 3. The whole screen, under the panel strip.
    w->SetPlacement(0.0f, 0.0f, float(vek::shell::ScreenAspect()), 1.0f);
    w->frameColour = 0;
}

void Studio::PicturePointer(cVek_Window&, const vek::PointerEvent& e, float, float, void* user) {
    Studio& s = *static_cast<Studio*>(user);
    cTes_PicEditor* editor = Context().editor;
    // A lost release (the window lost the focus) must not keep swallowing everything.
    if (s.swallowButton_ && e.type == vek::kPointerPress && !(e.modifiers & vek::ButtonBit(s.swallowButton_)))
        s.swallowButton_ = 0;
    if (s.swallowButton_) {
        if (e.type == vek::kPointerRelease && e.button == s.swallowButton_) s.swallowButton_ = 0;
        return;
    }
    const bool stroke = editor && editor->DragCaptured();
    if (e.type == vek::kPointerPress && !stroke && !IsPlainPress(e.button, e.modifiers)) {
        s.swallowButton_ = e.button;
        s.TogglePanels();
        return;
    }
    if (editor) editor->HandlePointer(e);
}

void Studio::BackgroundBody(cVek_Window& w, void* user) {
    Studio& s = *static_cast<Studio*>(user);
    cVek_SimpleButton& b = *s.backgroundButton_;
    const vek::ui::Rect r = w.Bounds();
    b.SetSize(r.Width(), r.Height());
    b.NextInvisible();
    if (b.Do(w, r.CentreX(), r.CentreY(), "", "", kBackgroundButtonId)) {
        const cVek_SimpleButton::Click& c = cVek_SimpleButton::LastClick();
        if (!IsPlainPress(c.button, c.modifiers)) s.TogglePanels();
    }
}

} // namespace scribbix
