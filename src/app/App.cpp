// Application delegate classes and the Application singleton.
#include "app/App.h"

#include <memory>

namespace vekstal::app {
namespace {
std::unique_ptr<Application>& Holder() {
    static std::unique_ptr<Application> a;
    return a;
}
Application* g_application = nullptr;
} // namespace

Application* Application::Instance() { return g_application; }

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

App::App() { Application::Get().SetDelegate(this); }

App::~App() {
    Application* a = Application::Instance();
    if (a && a->Delegate() == this) a->SetDelegate(nullptr);
}

} // namespace vekstal::app

namespace tessellatorium {

void App::ReleaseDisplayAndSave() {
    // INTEGRATION: once they exist, release the picture editor's GL textures
    // (cTes_PicEditor) and save the portfolio's current picture if it has unsaved changes
    // (scribbix::Portfolio). Until then there is nothing on either side to release or save.
}

} // namespace tessellatorium
