// The application delegate: the singleton appears with the first application object and forgets
// a delegate that is destroyed, so nothing can call into a dead object.
#include "app/App.h"

#include <gtest/gtest.h>

using vekstal::app::Application;

TEST(ApplicationDelegate, ProgramObjectRegistersAndUnregistersItself) {
    {
        scribbix::App app;
        ASSERT_NE(nullptr, Application::Instance());
        EXPECT_EQ(static_cast<vekstal::app::IApplicationDelegate*>(&app), Application::Instance()->Delegate());
        app.ReleaseDisplayAndSave(); // nothing to release yet: must be harmless
    }
    ASSERT_NE(nullptr, Application::Instance());
    EXPECT_EQ(nullptr, Application::Instance()->Delegate());
}

TEST(ApplicationDelegate, DestroyingAnOlderObjectKeepsTheNewerDelegate) {
    auto* first = new vekstal::app::App;
    scribbix::App second;
    EXPECT_EQ(static_cast<vekstal::app::IApplicationDelegate*>(&second), Application::Instance()->Delegate());
    delete first;
    EXPECT_EQ(static_cast<vekstal::app::IApplicationDelegate*>(&second), Application::Instance()->Delegate());
}
