// Manual pages and the About text. Each page opens with the sentence users see first, then
// explains what the page's title promises, in short lines sized for the message window.
#include "app/ManualPages.h"

#include "shell/cVek_AppInfo.h"

namespace scribbix::manual {

const PageInfo kPages[kPageCount] = {
    {"Drawing", "How to get started.", "Drawing"},
    {"Color Palette", "How to use\rand change\rthe colors.", "Color Palette"},
    {"Saving Your Work", "How to save/export.", "Saving"},
    {"Popup Help", "About the popup help.", "Popup Help"},
    {"Menus", "Some additional info\rabout the menus.", "Menus"},
};

namespace {

const char* const kBodies[kPageCount] = {
    // Drawing
    "Use your left mouse button to draw\ror to select tool, size and color.\r"
    "\r"
    "The tools wait in the panel on the left:\r"
    "an ordinary pen, a soft pen and the eraser,\r"
    "three shaded 3D pens (dark, medium and light),\r"
    "a glitter pen, and Smudge and Drag,\r"
    "which push around the paint that is already there.\r"
    "\r"
    "Below the tools you choose the pen size,\r"
    "from a fine point to a broad stroke.\r"
    "\r"
    "'Undo' takes back the last thing you did\r"
    "and 'Redo' brings it back again; the numbers\r"
    "tell how many steps you can go either way.\r"
    "Ctrl+Z and Ctrl+Shift+Z do the same.\r"
    "\r"
    "Right-click anywhere to hide all the panels\r"
    "and draw over the whole screen.\r"
    "Right-click again to bring them back.",

    // Color Palette
    "Press a color once\rto select it.\r"
    "\r"
    "Press the selected color a second time\r"
    "to replace it: a menu of named colors opens,\r"
    "sorted into reds, oranges, yellows and so on.\r"
    "The color you choose there takes the place\r"
    "of the selected color in your palette.\r"
    "\r"
    "A right-click on another color copies it\r"
    "into the place of the selected color.\r"
    "\r"
    "Your palette is remembered between sessions.\r"
    "To get the original colors back, choose\r"
    "'Reset Palette Colors' in the 'Options' menu.",

    // Saving
    "You have 10 slots in\r'Work In Progress' that\rare saved automatically\rbetween sessions.\r"
    "\r"
    "Your drawing is kept safe whenever you switch\r"
    "to another drawing, minimize or quit,\r"
    "so there is nothing to save by hand.\r"
    "Open 'Work In Progress' to switch between\r"
    "your drawings, or choose an empty slot\r"
    "('not started yet') to begin a new one.\r"
    "\r"
    "When a drawing is finished, press 'Export'.\r"
    "It is then saved as a PNG picture\r"
    "in your Pictures/Photos folder,\r"
    "possibly inside a Scribbix folder,\r"
    "named after its slot and the time of the export.\r"
    "\r"
    "'Clear' erases the current drawing so that\r"
    "its slot can be used again. If you clear\r"
    "by mistake, 'Undo' brings the drawing back.",

    // Popup Help
    "Whenever you're wondering what a button does,\rjust hover the mouse pointer above it for a couple of "
    "seconds\rand a short explanation will (in most cases) appear.\r"
    "\r"
    "The explanation goes away as soon as\r"
    "the pointer moves on. Menu items explain\r"
    "themselves the same way, so you can look\r"
    "around without changing anything.",

    // Menus
    "Not really required reading, you can skip this for now if you wish.\r"
    "\r"
    "A menu closes by itself once you have chosen\r"
    "something from it. To keep it open, tick the box\r"
    "in its lower left-hand corner, or simply move it\r"
    "by dragging its title: either way it becomes\r"
    "a permanent menu that you can use again and again.\r"
    "\r"
    "The '-' button beside the box makes the menu\r"
    "smaller, and '+' returns it to its normal size.\r"
    "\r"
    "Clicking the title of the selected menu closes it,\r"
    "or, for a permanent menu, makes it smaller or\r"
    "larger. 'Close' always closes it.",
};

// Escape bytes of the text markup.
constexpr char kEsc[] = "\xA4\xA4";

} // namespace

std::string Heading(const char* title) {
    std::string s;
    s += kEsc;
    s += 'C';
    s += '\x00';
    s += '\x00';
    s += '\xFF';
    s += kEsc;
    s += "WS";
    s += kEsc;
    s += "HS";
    s += title;
    s += kEsc;
    s += 'h';
    s += kEsc;
    s += 'w';
    s += kEsc;
    s += 'c';
    s += '\r';
    return s;
}

std::string Page(int index) {
    if (index < 0 || index >= kPageCount) return {};
    return Heading(kPages[index].title) + kBodies[index];
}

std::string AboutText() {
    return Heading("Scribbix") +
           "A simple full-screen painting program\r"
           "for drawing with natural-media pens.\r"
           "\r"
           "Version " +
           cVek_AppInfo::VersionText() +
           "\r"
           "\xA9 The Scribbix developers.\r"
           "\r"
           "Credits:\r"
           "Text font: DejaVu Sans.\r"
           "Built with SDL2, OpenGL, libpng, libjpeg-turbo,\r"
           "libtiff and giflib.\r"
           "Painting engine: Tessellatorium.";
}

} // namespace scribbix::manual
