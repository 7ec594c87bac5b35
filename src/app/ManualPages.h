// The texts of the manual's five pages and of the About window, in the font's encoding with the
// text markup (carriage returns break lines; nothing wraps by itself).
#pragma once

#include <string>

namespace scribbix::manual {

constexpr int kPageCount = 5;

struct PageInfo {
    const char* caption; // menu item
    const char* help;    // menu item's popup help
    const char* title;   // page heading
};
extern const PageInfo kPages[kPageCount];

// The blue heading every page starts with, followed by a carriage return.
std::string Heading(const char* title);
// The whole page: heading, then the body.
std::string Page(int index);
// The About window's text: the program's name, version, copyright note and credits.
std::string AboutText();

} // namespace scribbix::manual
