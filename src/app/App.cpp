// Application delegate classes and the Application singleton.
#include "app/App.h"

#include "app/Portfolio.h"
#include "app/StudioContext.h"
#include "editor/cTes_PicEditor.h"
#include "engine/picture/c_TesPic.h"

#include <memory>

namespace vekstal::app {
namespace {
std::unique_ptr<Application>& Holder() {
    static std::unique_ptr<Application> a;
    return a;
}
Application* g_application = nullptr;
} // namespace

Application* Application::Instance() {
    return g_application;
}

Application& Application::Get() {
    if (!g_application) {
        Holder().reset(new Application);
        g_application = Holder().get();
    }
    return *g_application;
}

Application::~Application() {
    if (g_application == this) g_application = nullptr;
}

App::App() {
    Application::Get().SetDelegate(this);
}

App::~App() {
    Application* a = Application::Instance();
    if (a && a->Delegate() == this) a->SetDelegate(nullptr);
}

} // namespace vekstal::app

namespace tessellatorium {

void App::ReleaseDisplayAndSave() {
    const scribbix::StudioContext& c = scribbix::Context();
    if (c.editor) c.editor->ReleaseDisplayResources();
    c_TesPic* pic = c.portfolio ? c.portfolio->currentPicture : nullptr;
    if (!pic) return;
    bool unsaved = pic->headerDirty != 0;
    for (const c_TesLayer* l = pic->bottomLayer; l && !unsaved; l = l->above)
        unsaved = l->headerDirty || l->pixelsDirty;
    if (unsaved) c.portfolio->SavePicture(*pic, false, false);
}

} // namespace tessellatorium
