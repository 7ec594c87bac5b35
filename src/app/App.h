// The application delegate classes. The process-wide vekstal::app::Application holds one pointer
// to the delegate; constructing a vekstal::app::App registers it there (creating the Application
// on first use) and destroying it clears the link. scribbix::App is the program's object.
#pragma once

namespace vekstal::app {

class IApplicationDelegate {
  public:
    // Asks the program to release its display resources and save its current picture.
    virtual void ReleaseDisplayAndSave() = 0;
    virtual ~IApplicationDelegate() = default;
};

class App : public IApplicationDelegate {
  public:
    App();
    ~App() override;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    void ReleaseDisplayAndSave() override {}
};

class Application {
  public:
    // The singleton, or null before the first App was constructed.
    static Application* Instance();
    // Creates the singleton when missing.
    static Application& Get();
    ~Application();

    IApplicationDelegate* Delegate() const { return delegate_; }
    void SetDelegate(IApplicationDelegate* delegate) { delegate_ = delegate; }

  private:
    Application() = default;
    IApplicationDelegate* delegate_ = nullptr;
};

} // namespace vekstal::app

namespace tessellatorium {

class App : public vekstal::app::App {
  public:
    // Releases the picture editor's GL textures and saves the portfolio's current picture when
    // it has unsaved changes.
    void ReleaseDisplayAndSave() override;
};

} // namespace tessellatorium

namespace scribbix {

class App : public tessellatorium::App {};

} // namespace scribbix
