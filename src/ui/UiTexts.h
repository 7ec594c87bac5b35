// The framework's own captions and help texts (font encoding, carriage return breaks lines).
#pragma once

namespace vek::ui::texts {

inline constexpr const char kClose[] = "Close";
inline constexpr const char kCancel[] = "Cancel";
inline constexpr const char kApply[] = "Apply";
inline constexpr const char kCloseWindowHelp[] = "Close this window.";
inline constexpr const char kApplyHelp[] = "Perform task and keep window open.";
inline constexpr const char kCloseMenuHelp[] = "Close this menu.";
inline constexpr const char kPinWindowHelp[] =
    "If checked, this will become a re-usable permanent window instead of closing after 1 use.";
inline constexpr const char kPinMenuHelp[] =
    "If checked, this will\rbecome a re-usable\rpermanent menu\rinstead of closing\rafter 1 use.";
inline constexpr const char kMakeSmallerHelp[] = "Make this\rwindow smaller.";
inline constexpr const char kMakeNormalHelp[] = "Make this\rwindow return\rto its normal size.";
inline constexpr const char kBringToFrontHelp[] = "Click to bring to front.";
inline constexpr const char kSmallerCaption[] = "-";
inline constexpr const char kNormalCaption[] = "+";
inline constexpr const char kSubMenuMarker[] = " ->";
inline constexpr const char kDialogMarker[] = "...";

} // namespace vek::ui::texts
