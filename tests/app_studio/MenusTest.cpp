// The program's menus: every item of "Options" with its help, the manual pages, the background
// and colour menus with their exact markup, the named colours, and the work-in-progress rules.
#include "StudioScene.h"

#include "app/BackgroundMenu.h"
#include "app/ColorsMenu.h"
#include "app/MainMenu.h"
#include "app/ManualMenu.h"
#include "app/ManualPages.h"
#include "app/NamedColorMenu.h"
#include "app/NamedColors.h"
#include "app/StudioPanelState.h"
#include "app/WorkInProgressMenu.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/cVek_ToolBox.h"
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

TEST_F(Menus, OptionsMenuHasEveryItemInOrderWithItsHelp) {
    scribbix::MainMenu m;
    EXPECT_EQ(m.Title(), "Options");
    struct Item {
        MenuList::Kind kind;
        const char* label;
        const char* help;
    };
    const Item items[] = {
        {MenuList::kAction, "About", "Copyright note\rand credits."},
        {MenuList::kSubMenu, "Manual", "Help."},
        {MenuList::kSeparator, "", ""},
        {MenuList::kSubMenu, "Work In Progress",
         "Contains 10 slots for your\runfinished drawings,\rthat are automatically\rsaved between "
         "sessions.\r\rIf "
         "all slots are taken,\ryou should 'Export'\rone of them and then\r'Clear' it to make room\rfor a "
         "new "
         "drawing."},
        {MenuList::kAction, "Export Drawing",
         "The work in progress\ris automatically saved,\rso you don't have\rto use the export "
         "function\runtil "
         "your drawing\ris finished.\r\rExported drawings\rcan be found in your\rPictures/Photos "
         "folder,\rpossibly "
         "inside a\rScribbix folder."},
        {MenuList::kAction, "Clear Drawing", "Erase this drawing\rand start over\rfrom scratch."},
        {MenuList::kSeparator, "", ""},
        {MenuList::kAction, "Reset Palette Colors", "Bring back the\rdefault palette."},
        {MenuList::kSubMenu, "Current Color",
         "Redefine the currently\rselected color.\r\rThis can also be done by\rpressing the current color."},
        {MenuList::kSubMenu, "Background", "Choose a new\rbackground color."},
        {MenuList::kSeparator, "", ""},
        {MenuList::kAction, "Minimize", "Hide/minimize this app\rwhile you temporarily\rdo other tasks."},
    };
    ASSERT_EQ(m.Count(), int(sizeof(items) / sizeof(items[0])));
    for (int i = 0; i < m.Count(); ++i) {
        EXPECT_EQ(m.At(i).kind, items[i].kind) << i;
        EXPECT_EQ(m.At(i).label, items[i].label) << i;
        EXPECT_EQ(m.At(i).help, items[i].help) << i;
    }
}

TEST_F(Menus, OptionsButtonOpensTheMenuAndAboutNamesTheProgram) {
    float x, y;
    CellCentre(scribbix::Studio::kOptions, 2, 0, 1, 0, &x, &y, 2);
    Click(x, y);
    ASSERT_NE(TopMenu(), nullptr);
    EXPECT_EQ(TopMenu()->List().Title(), "Options");
    ASSERT_TRUE(ChooseInTopMenu("About"));
    auto* info = dynamic_cast<cVek_Window_Info*>(desktop->WindowAt(desktop->WindowCount() - 1));
    ASSERT_NE(info, nullptr);
    EXPECT_NE(info->Text().find("Scribbix"), std::string::npos);
    EXPECT_NE(info->Text().find("Version 1.0.0"), std::string::npos);
}

TEST_F(Menus, ManualPagesStartWithTheBlueHeadingAndTheirFirstSentence) {
    const std::string heading = "\xA4\xA4"s + "C\x00\x00\xFF"s + "\xA4\xA4WS\xA4\xA4HS";
    const char* titles[] = {"Drawing", "Color Palette", "Saving", "Popup Help", "Menus"};
    const char* first[] = {
        "Use your left mouse button to draw\ror to select tool, size and color.",
        "Press a color once\rto select it.",
        "You have 10 slots in\r'Work In Progress' that\rare saved automatically\rbetween sessions.",
        "Whenever you're wondering what a button does,\rjust hover the mouse pointer above it for a couple "
        "of "
        "seconds\rand a short explanation will (in most cases) appear.",
        "Not really required reading, you can skip this for now if you wish.",
    };
    for (int i = 0; i < 5; ++i) {
        const std::string expected = heading + titles[i] + "\xA4\xA4h\xA4\xA4w\xA4\xA4" + "c\r" + first[i];
        const std::string page = scribbix::manual::Page(i);
        EXPECT_EQ(page.substr(0, expected.size()), expected) << i;
        EXPECT_GT(page.size(), expected.size() + 100)
            << "page " << i << " says little beyond its first sentence";
    }
    scribbix::ManualMenu m;
    const char* captions[] = {"Drawing", "Color Palette", "Saving Your Work", "Popup Help", "Menus"};
    const char* helps[] = {"How to get started.", "How to use\rand change\rthe colors.",
                           "How to save/export.", "About the popup help.",
                           "Some additional info\rabout the menus."};
    ASSERT_EQ(m.Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m.At(i).label, captions[i]);
        EXPECT_EQ(m.At(i).help, helps[i]);
    }
}

TEST_F(Menus, ManualExplainsRightClickResetExportAndMenuControls) {
    EXPECT_NE(scribbix::manual::Page(0).find("Right-click"), std::string::npos);
    EXPECT_NE(scribbix::manual::Page(1).find("'Reset Palette Colors'"), std::string::npos);
    EXPECT_NE(scribbix::manual::Page(2).find("Pictures/Photos folder"), std::string::npos);
    EXPECT_NE(scribbix::manual::Page(4).find("lower left-hand corner"), std::string::npos);
    // Every line fits the message window: no line longer than 80 characters.
    for (int i = 0; i < 5; ++i) {
        const std::string p = scribbix::manual::Page(i);
        size_t start = 0;
        while (start < p.size()) {
            size_t end = p.find('\r', start);
            if (end == std::string::npos) end = p.size();
            EXPECT_LE(end - start, 80u) << "page " << i << ": " << p.substr(start, end - start);
            start = end + 1;
        }
    }
}

TEST_F(Menus, BackgroundMenuOffersWhiteBlackAndTheCurrentColour) {
    scribbix::BackgroundMenu m;
    EXPECT_EQ(m.Title(), "Background");
    ASSERT_EQ(m.Count(), 3);
    EXPECT_EQ(m.At(0).label, "White");
    EXPECT_EQ(m.At(0).help, "Set the background color\rto white.");
    EXPECT_EQ(m.At(0).value, 0xFFFFFF);
    EXPECT_EQ(m.At(1).label, "Black");
    EXPECT_EQ(m.At(1).help, "Set the background color\rto black.");
    EXPECT_EQ(m.At(1).value, 0);
    EXPECT_EQ(m.At(2).label, "Set To Current");
    EXPECT_EQ(m.At(2).help,
              "Set the background color\rto the currently\rselected color\r(the one you draw with).");
}

TEST_F(Menus, ColoursMenuCaptionsCarryTheHueColourAndTheEmptyEscapeWhereNeeded) {
    scribbix::ColorsMenu m;
    EXPECT_EQ(m.Title(), "Colors");
    ASSERT_EQ(m.Count(), 11);
    EXPECT_EQ(m.At(0).label, "\xA4\xA4"
                             "C\xE5\x2B\x50"
                             "Red\xA4\xA4"
                             "c Colors");
    EXPECT_EQ(m.At(0).help, "Red hues.");
    EXPECT_EQ(m.At(4).label, "\xA4\xA4"
                             "C\x7F\xFF\xD4\xA4\xA4"
                             "0Cyan\xA4\xA4"
                             "c Colors");
    EXPECT_EQ(m.At(5).label, "\xA4\xA4"
                             "C\x64\x95\xED\xA4\xA4"
                             "0Blue\xA4\xA4"
                             "c Colors");
    EXPECT_EQ(m.At(10).label, "\xA4\xA4"
                              "C\x96\x71\x17\xA4\xA4"
                              "0Brown\xA4\xA4"
                              "c Colors");
    EXPECT_EQ(m.At(9).label, "\xA4\xA4"
                             "C\x8B\x85\x89"
                             "Grey\xA4\xA4"
                             "c Colors");
    EXPECT_EQ(m.At(9).help, "Grey hues.");
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(m.At(i).kind, MenuList::kSubMenu);
        EXPECT_EQ(m.At(i).value, i + 1);
    }
}

TEST_F(Menus, NamedColoursAreAbout195UniqueNamesWithAShortAndAFullListPerHue) {
    EXPECT_GE(scribbix::kNamedColourCount, 185);
    EXPECT_LE(scribbix::kNamedColourCount, 205);
    std::set<std::string> names;
    for (int i = 0; i < scribbix::kNamedColourCount; ++i) {
        const scribbix::NamedColour& c = scribbix::kNamedColours[i];
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_GE(c.hue, 1);
        EXPECT_LE(c.hue, 11);
        EXPECT_EQ(c.rgb >> 24, 0u);
    }
    for (const char* n : {"Tea Rose", "Burnt Sienna", "Cerise", "Red"})
        EXPECT_EQ(names.count(n), 1u) << n;
    for (int hue = 1; hue <= 11; ++hue) {
        scribbix::NamedColorMenu shortList(hue, false), full(hue, true);
        ASSERT_GE(shortList.Count(), 5);
        const MenuList::Entry& more = shortList.At(shortList.Count() - 1);
        EXPECT_EQ(more.kind, MenuList::kSubMenu);
        EXPECT_GT(full.Count(), shortList.Count() - 2) << hue;
        for (int i = 0; i < full.Count(); ++i)
            EXPECT_EQ(full.At(i).kind, MenuList::kAction);
    }
    EXPECT_EQ(scribbix::NamedColorMenu(1, false).At(scribbix::NamedColorMenu(1, false).Count() - 1).label,
              "More red hues here.");
    EXPECT_EQ(scribbix::MoreHuesCaption(10), "More grey hues here.");
}

TEST_F(Menus, ChoosingANamedColourPaintsWithItsLinearValue) {
    // Tea Rose is F4C2C2: 244 and 194 decode to 0.9046612 and 0.5394795 (sRGB curve, by hand).
    int tea = -1;
    for (int i = 0; i < scribbix::kNamedColourCount; ++i)
        if (std::string(scribbix::kNamedColours[i].name) == "Tea Rose") tea = i;
    ASSERT_GE(tea, 0);
    vek::ui::MenuChoice c;
    c.value = tea;
    scribbix::NamedColorMenu::Choose(c);
    const float* p = toolBox->Colour(cVek_ToolBox::kPaint, 1);
    EXPECT_NEAR(p[0], 0.9046612f, 1e-6f);
    EXPECT_NEAR(p[1], 0.5394795f, 1e-6f);
    EXPECT_NEAR(p[2], 0.5394795f, 1e-6f);
    EXPECT_NEAR(scribbix::SrgbByteToLinear(10), 0.0030353f, 1e-7f); // on the straight part of the curve
    EXPECT_EQ(scribbix::SrgbByteToLinear(255), 1.0f);
}

TEST_F(Menus, ChoosingFromTheOpenListsRedefinesTheSelectedSwatch) {
    vek::ui::MenuChoice c;
    c.desktop = desktop.get();
    c.value = 6; // blue
    scribbix::NamedColorMenu::OpenShort(c);
    ASSERT_NE(TopMenu(), nullptr);
    EXPECT_EQ(TopMenu()->List().Title(), "Blue Colors");
    ASSERT_TRUE(ChooseInTopMenu("More blue hues here."));
    ASSERT_NE(TopMenu(), nullptr);
    vek::ui::MenuWindow* full = TopMenu();
    int navy = -1;
    for (int i = 0; i < full->List().Count(); ++i)
        if (full->List().At(i).label.find("Navy") != std::string::npos) navy = i;
    ASSERT_GE(navy, 0);
    ASSERT_TRUE(ChooseInTopMenu(full->List().At(navy).label));
    Frames(1);
    // Navy is 000080: 128 decodes to 0.2158605.
    const float* e6 = scribbix::PaletteColour(scribbix::State(), 6);
    EXPECT_EQ(e6[0], 0.0f);
    EXPECT_NEAR(e6[2], 0.2158605f, 1e-6f);
}

TEST_F(Menus, FirstWorkInProgressListHoldsTheCurrentDrawingInSlot0NotStartedYet) {
    scribbix::WorkInProgressMenu m;
    EXPECT_EQ(m.Title(), "Work In Progress");
    ASSERT_EQ(m.Count(), 10);
    EXPECT_EQ(portfolio->slots[0], portfolio->currentPicture->pictureNumber);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(m.At(i).label, "not started yet") << i;
        EXPECT_EQ(m.At(i).help, "Go to this drawing.");
        EXPECT_EQ(m.At(i).value, i);
        EXPECT_EQ(m.At(i).checked, i == 0);
    }
    Stroke(0.0f, 0.0f, 0.2f, 0.2f);
    m.Refresh();
    EXPECT_EQ(m.At(0).label, "Drawing 1");
    EXPECT_TRUE(m.At(0).checked);
}

TEST_F(Menus, ALaterSlotHoldingTheSameDrawingIsClearedWhenTheListIsBuilt) {
    portfolio->slots[1] = portfolio->currentPicture->pictureNumber;
    portfolio->slots[4] = portfolio->currentPicture->pictureNumber;
    scribbix::WorkInProgressMenu m;
    EXPECT_EQ(portfolio->slots[1], portfolio->currentPicture->pictureNumber);
    EXPECT_EQ(portfolio->slots[4], 0);
    EXPECT_EQ(portfolio->slots[0], 0); // not all empty: slot 0 is left alone
    EXPECT_TRUE(m.At(1).checked);
}

TEST_F(Menus, ChoosingAnEmptySlotStartsANewDrawingThereAndTheOldOneIsKept) {
    Stroke(0.0f, 0.0f, 0.2f, 0.2f);
    float x, y;
    CellCentre(scribbix::Studio::kWorkInProgress, 4, 0, 1, 0, &x, &y);
    Click(x, y);
    vek::ui::MenuWindow* m = TopMenu();
    ASSERT_NE(m, nullptr);
    const int first = portfolio->currentPicture->pictureNumber;
    // The third row ("not started yet") is slot 2.
    const auto& row = m->RowAt(2);
    Click(row.rect.CentreX(), row.rect.CentreY());
    Frames(1);
    ASSERT_NE(portfolio->currentPicture, nullptr);
    EXPECT_NE(portfolio->currentPicture->pictureNumber, first);
    EXPECT_EQ(portfolio->slots[2], portfolio->currentPicture->pictureNumber);
    EXPECT_EQ(portfolio->slots[0], first);
    EXPECT_NE(portfolio->FindPicture(first), nullptr);
    // And back: the first drawing comes back with its stroke.
    scribbix::WorkInProgressMenu again;
    EXPECT_EQ(again.At(0).label, "Drawing 1");
    EXPECT_EQ(again.At(2).label, "not started yet"); // blank until something is drawn
    EXPECT_TRUE(again.At(2).checked);
}

} // namespace
} // namespace studio_test
