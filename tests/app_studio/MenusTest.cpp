// The program's menus: every item of "Options" with its help, the manual pages, the background
// and colour menus with their exact markup, the named colours, and the work-in-progress rules.
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

struct Item {
    MenuList::Kind kind;
    std::string label, help;
    intptr_t value = 0;
};

void ExpectItems(const MenuList& m, const char* title, const std::vector<Item>& items) {
    EXPECT_EQ(m.Title(), title);
    ASSERT_EQ(m.Count(), int(items.size())) << title;
    for (int i = 0; i < m.Count(); ++i) {
        EXPECT_EQ(m.At(i).kind, items[i].kind) << title << ' ' << i;
        EXPECT_EQ(m.At(i).label, items[i].label) << title << ' ' << i;
        EXPECT_EQ(m.At(i).help, items[i].help) << title << ' ' << i;
        if (items[i].value) {
            EXPECT_EQ(m.At(i).value, items[i].value) << title << ' ' << i;
        }
    }
}

class Menus : public StudioScene {};

TEST_F(Menus, OptionsMenuHasEveryItemInOrderWithItsHelpAndAboutNamesTheProgram) {
    const Item rule{MenuList::kSeparator, "", ""};
    ExpectItems(
        scribbix::MainMenu(), "Options",
        {{MenuList::kAction, "About", "Copyright note\rand credits."},
         {MenuList::kSubMenu, "Manual", "Help."},
         rule,
         {MenuList::kSubMenu, "Work In Progress",
          "Contains 10 slots for your\runfinished drawings,\rthat are automatically\rsaved between "
          "sessions.\r\r"
          "If all slots are taken,\ryou should 'Export'\rone of them and then\r'Clear' it to make room\rfor "
          "a "
          "new drawing."},
         {MenuList::kAction, "Export Drawing",
          "The work in progress\ris automatically saved,\rso you don't have\rto use the export function\r"
          "until your drawing\ris finished.\r\rExported drawings\rcan be found in your\rPictures/Photos "
          "folder,\rpossibly inside a\rScribbix folder."},
         {MenuList::kAction, "Clear Drawing", "Erase this drawing\rand start over\rfrom scratch."},
         rule,
         {MenuList::kAction, "Reset Palette Colors", "Bring back the\rdefault palette."},
         {MenuList::kSubMenu, "Current Color",
          "Redefine the currently\rselected color.\r\rThis can also be done by\rpressing the current color."},
         {MenuList::kSubMenu, "Background", "Choose a new\rbackground color."},
         rule,
         {MenuList::kAction, "Minimize", "Hide/minimize this app\rwhile you temporarily\rdo other tasks."}});

    Click(CellRect({scribbix::Studio::kOptions, 2, 0, 1, 0, 2}));
    ASSERT_TRUE(ChooseInTopMenu("About"));
    ASSERT_NE(TopInfo(), nullptr);
    EXPECT_NE(TopInfo()->Text().find("Scribbix"), std::string::npos);
    EXPECT_NE(TopInfo()->Text().find("Version 1.0.0"), std::string::npos);
}

TEST_F(Menus, ManualPagesStartWithTheBlueHeadingAndFirstSentenceAndFitTheWindow) {
    ExpectItems(scribbix::ManualMenu(), "Manual",
                {{MenuList::kAction, "Drawing", "How to get started."},
                 {MenuList::kAction, "Color Palette", "How to use\rand change\rthe colors."},
                 {MenuList::kAction, "Saving Your Work", "How to save/export."},
                 {MenuList::kAction, "Popup Help", "About the popup help."},
                 {MenuList::kAction, "Menus", "Some additional info\rabout the menus."}});
    const std::string heading = "\xA4\xA4"s + "C\x00\x00\xFF"s + "\xA4\xA4WS\xA4\xA4HS";
    struct Page {
        const char* title;
        const char* first;
        const char* explains; // what the rest of the page must cover
    };
    const Page pages[5] = {
        {"Drawing", "Use your left mouse button to draw\ror to select tool, size and color.", "Right-click"},
        {"Color Palette", "Press a color once\rto select it.", "'Reset Palette Colors'"},
        {"Saving",
         "You have 10 slots in\r'Work In Progress' that\rare saved automatically\rbetween sessions.",
         "Pictures/Photos folder"},
        {"Popup Help",
         "Whenever you're wondering what a button does,\rjust hover the mouse pointer above it for a couple "
         "of seconds\rand a short explanation will (in most cases) appear.",
         "pointer moves on"},
        {"Menus", "Not really required reading, you can skip this for now if you wish.",
         "lower left-hand corner"},
    };
    for (int i = 0; i < 5; ++i) {
        const std::string expected =
            heading + pages[i].title + "\xA4\xA4h\xA4\xA4w\xA4\xA4" + "c\r" + pages[i].first;
        const std::string page = scribbix::manual::Page(i);
        EXPECT_EQ(page.substr(0, expected.size()), expected) << i;
        EXPECT_NE(page.find(pages[i].explains, expected.size()), std::string::npos) << i;
        // Nothing wraps by itself: no line wider than the message window takes.
        for (size_t start = 0, end; start < page.size(); start = end + 1) {
            end = std::min(page.find('\r', start), page.size());
            EXPECT_LE(end - start, 80u) << "page " << i << ": " << page.substr(start, end - start);
        }
    }
}

TEST_F(Menus, BackgroundAndColoursMenusCarryTheirValuesAndTheHueMarkup) {
    ExpectItems(scribbix::BackgroundMenu(), "Background",
                {{MenuList::kAction, "White", "Set the background color\rto white.", 0xFFFFFF},
                 {MenuList::kAction, "Black", "Set the background color\rto black."},
                 {MenuList::kAction, "Set To Current",
                  "Set the background color\rto the currently\rselected color\r(the one you draw with).",
                  scribbix::commands::kBackgroundCurrent}});
    EXPECT_EQ(scribbix::BackgroundMenu().At(1).value, 0);
    // Hue words in their colour; Cyan, Blue and Brown carry an escape 0 after the colour.
    const std::string e = "\xA4\xA4";
    std::vector<Item> hues;
    const struct {
        const char* word;
        std::string rgb;
        bool escape0;
    } kHues[11] = {{"Red", "\xE5\x2B\x50", false},    {"Orange", "\xFF\x75\x18", false},
                   {"Yellow", "\xFB\xEC\x5D", false}, {"Green", "\x50\xC8\x78", false},
                   {"Cyan", "\x7F\xFF\xD4", true},    {"Blue", "\x64\x95\xED", true},
                   {"Violet", "\x99\x66\xCC", false}, {"Pink", "\xF8\xA1\xE6", false},
                   {"White", "\xFF\xFF\xFF", false},  {"Grey", "\x8B\x85\x89", false},
                   {"Brown", "\x96\x71\x17", true}};
    for (int i = 0; i < 11; ++i)
        hues.push_back(
            {MenuList::kSubMenu,
             e + "C" + kHues[i].rgb + (kHues[i].escape0 ? e + "0" : "") + kHues[i].word + e + "c Colors",
             std::string(kHues[i].word) + " hues.", i + 1});
    ExpectItems(scribbix::ColorsMenu(), "Colors", hues);
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
        EXPECT_EQ(shortList.At(shortList.Count() - 1).kind, MenuList::kSubMenu);
        EXPECT_GT(full.Count(), shortList.Count() - 2) << hue;
        for (int i = 0; i < full.Count(); ++i)
            EXPECT_EQ(full.At(i).kind, MenuList::kAction);
    }
    scribbix::NamedColorMenu red(1, false);
    EXPECT_EQ(red.At(red.Count() - 1).label, "More red hues here.");
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
    EXPECT_EQ(e6[0], 0.0f);
    EXPECT_EQ(e6[1], 0.0f);
    EXPECT_NEAR(e6[2], 0.2158605f, 1e-6f);
    EXPECT_NEAR(scribbix::SrgbByteToLinear(244), 0.9046612f, 1e-6f);
    EXPECT_NEAR(scribbix::SrgbByteToLinear(10), 0.0030353f, 1e-7f); // the straight part of the curve
    EXPECT_EQ(scribbix::SrgbByteToLinear(255), 1.0f);
}

TEST_F(Menus, WorkInProgressListFillsSlot0ClearsRepeatsAndNamesOnlyStartedDrawings) {
    const int32_t current = portfolio->currentPicture->pictureNumber;
    scribbix::WorkInProgressMenu m;
    std::vector<Item> empty;
    for (int i = 0; i < 10; ++i)
        empty.push_back({MenuList::kAction, "not started yet", "Go to this drawing.", i});
    ExpectItems(m, "Work In Progress", empty);
    EXPECT_EQ(portfolio->slots[0], current);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(m.At(i).checked, i == 0);
    Stroke(0.0f, 0.0f, 0.2f, 0.2f);
    m.Refresh();
    EXPECT_EQ(m.At(0).label, "Drawing 1");

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
