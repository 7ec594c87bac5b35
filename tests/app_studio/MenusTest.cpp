// The program's menus: every entry has its help, About names the program, the manual pages fit the
// message window, the menus carry the values their commands read, the named colours, and the
// work-in-progress list's repairs.
#include "StudioScene.h"

#include "app/BackgroundMenu.h"
#include "app/ColorsMenu.h"
#include "app/Commands.h"
#include "app/MainMenu.h"
#include "app/ManualMenu.h"
#include "app/ManualPages.h"
#include "app/NamedColorMenu.h"
#include "app/NamedColors.h"
#include "app/StudioPanelState.h"
#include "app/WorkInProgressMenu.h"
#include "engine/picture/c_TesPic.h"
#include "resources/ProgramState.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_Window_Info.h"

#include <set>
#include <string>

namespace studio_test {
namespace {

using vek::ui::MenuList;
using namespace std::string_literals;

class Menus : public StudioScene {};

TEST_F(Menus, EveryEntryHasALabelAndHelpAndAboutNamesTheProgramAndItsVersion) {
    const scribbix::MainMenu options;
    const scribbix::ManualMenu manual;
    const scribbix::BackgroundMenu background;
    const scribbix::ColorsMenu colours;
    const MenuList* menus[] = {&options, &manual, &background, &colours};
    for (const MenuList* m : menus) {
        ASSERT_GT(m->Count(), 2) << m->Title();
        for (int i = 0; i < m->Count(); ++i)
            if (m->At(i).kind != MenuList::kSeparator) {
                EXPECT_FALSE(m->At(i).label.empty()) << m->Title() << ' ' << i;
                EXPECT_FALSE(m->At(i).help.empty()) << m->Title() << ' ' << i;
            }
    }
    // The commands read these values: white, black, the paint colour; hues 1 to 11.
    const intptr_t values[3] = {0xFFFFFF, 0, scribbix::commands::kBackgroundCurrent};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(background.At(i).value, values[i]) << i;
    ASSERT_EQ(colours.Count(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(colours.At(i).value, i + 1) << i;

    Click(CellRect({scribbix::Studio::kOptions, 2, 0, 1, 0, 2}));
    ASSERT_TRUE(ChooseInTopMenu("About"));
    EXPECT_NE(InfoText().find("Scribbix"), std::string::npos);
    EXPECT_NE(InfoText().find("Version 1.0.0"), std::string::npos);
}

TEST_F(Menus, ManualPagesStartWithTheBlueHeadingAndNoLineIsWiderThanTheMessageWindow) {
    const std::string heading = "\xA4\xA4"s + "C\x00\x00\xFF"s + "\xA4\xA4WS\xA4\xA4HS";
    const char* titles[5] = {"Drawing", "Color Palette", "Saving", "Popup Help", "Menus"};
    for (int i = 0; i < 5; ++i) {
        const std::string expected = heading + titles[i] + "\xA4\xA4h\xA4\xA4w\xA4\xA4" + "c\r";
        const std::string page = scribbix::manual::Page(i);
        EXPECT_EQ(page.substr(0, expected.size()), expected) << i;
        EXPECT_GT(page.size(), expected.size() + 100) << i;
        for (size_t start = 0, end; start < page.size(); start = end + 1) {
            end = std::min(page.find('\r', start), page.size());
            EXPECT_LE(end - start, 80u) << "page " << i << ": " << page.substr(start, end - start);
        }
    }
}

TEST_F(Menus, NamedColoursAreAbout195UniqueNamesWithAShortAndAFullListPerHue) {
    EXPECT_GE(scribbix::kNamedColourCount, 185);
    EXPECT_LE(scribbix::kNamedColourCount, 205);
    std::set<std::string> names;
    for (int i = 0; i < scribbix::kNamedColourCount; ++i) {
        const scribbix::NamedColour& c = scribbix::kNamedColours[i];
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_TRUE(c.hue >= 1 && c.hue <= 11) << c.name;
        EXPECT_EQ(c.rgb >> 24, 0u) << c.name;
    }
    for (int hue = 1; hue <= 11; ++hue) {
        scribbix::NamedColorMenu shortList(hue, false), full(hue, true);
        ASSERT_GE(shortList.Count(), 5);
        EXPECT_EQ(shortList.At(shortList.Count() - 1).kind, MenuList::kSubMenu);
        EXPECT_GT(full.Count(), shortList.Count() - 2) << hue;
        for (int i = 0; i < full.Count(); ++i)
            EXPECT_EQ(full.At(i).kind, MenuList::kAction);
    }
    EXPECT_EQ(scribbix::MoreHuesCaption(10), "More grey hues here.");
}

TEST_F(Menus, ANamedShadeFromTheFullListRedefinesTheSelectedSwatchInLinearLight) {
    vek::ui::MenuChoice c;
    c.desktop = desktop.get();
    c.value = 6; // blue
    scribbix::NamedColorMenu::OpenShort(c);
    ASSERT_NE(TopMenu(), nullptr);
    EXPECT_EQ(TopMenu()->List().Title(), "Blue Colors");
    ASSERT_TRUE(ChooseInTopMenu("More blue hues here."));
    ASSERT_NE(TopMenu(), nullptr);
    const MenuList& full = TopMenu()->List();
    std::string navy;
    for (int i = 0; i < full.Count(); ++i)
        if (full.At(i).label.find("Navy") != std::string::npos) navy = full.At(i).label;
    ASSERT_TRUE(ChooseInTopMenu(navy));
    Frames(1);
    // Navy is 000080: 128 decodes to 0.2158605 (sRGB curve, by hand).
    const float* e6 = scribbix::PaletteColour(scribbix::State(), 6);
    EXPECT_TRUE(e6[0] == 0.0f && e6[1] == 0.0f);
    EXPECT_NEAR(e6[2], 0.2158605f, 1e-6f);
    EXPECT_NEAR(scribbix::SrgbByteToLinear(244), 0.9046612f, 1e-6f);
    EXPECT_NEAR(scribbix::SrgbByteToLinear(10), 0.0030353f, 1e-7f); // the straight part of the curve
    EXPECT_EQ(scribbix::SrgbByteToLinear(255), 1.0f);
}

TEST_F(Menus, WorkInProgressListLeavesSlot0AloneClearsRepeatsAndNamesOnlyStartedDrawings) {
    const int32_t current = portfolio->currentPicture->pictureNumber;
    scribbix::WorkInProgressMenu m; // an empty list puts the current drawing in slot 0
    ASSERT_EQ(portfolio->slots[0], current);
    EXPECT_EQ(m.At(0).label, "not started yet"); // blank so far
    Stroke(0.0f, 0.0f, 0.2f, 0.2f);
    // Not all empty: slot 0 is left alone; a later slot holding the same drawing is cleared.
    portfolio->slots[0] = 0;
    portfolio->slots[1] = current;
    portfolio->slots[4] = current;
    m.Refresh();
    EXPECT_EQ(portfolio->slots[0], 0);
    EXPECT_EQ(portfolio->slots[1], current);
    EXPECT_EQ(portfolio->slots[4], 0);
    EXPECT_EQ(m.At(1).label, "Drawing 2");
    EXPECT_TRUE(m.At(1).checked);
    EXPECT_EQ(m.At(0).label, "not started yet");
}

} // namespace
} // namespace studio_test
