// The program's commands behind the panel buttons, menu items and shortcut keys. Each one runs
// through the desktop's deferred command slot: the first call stores it and returns, the desktop
// calls it again on a later frame and then it does its work. Without a desktop (tools, tests) the
// work is done at once. All of them act on the portfolio's current picture through Context().
#pragma once

#include <cstdint>
#include <string>

class cVek_Window;

namespace scribbix::commands {

// Shortcut numbers of the desktop (Ctrl+Z, Ctrl+Shift+Z, clipboard keys).
enum : int { kUndo = 317, kRedo = 318, kCut = 319, kCopy = 320, kPaste = 321, kCopyMerged = 322 };

// Background argument that means "the current paint colour".
constexpr intptr_t kBackgroundCurrent = -1;

// Writes the current picture as a PNG into the "Scribbix" folder of the Pictures folder, named
// ExportBaseName(now).
void Export(cVek_Window* window, intptr_t arg);
// A picture step, then every layer cleared and the picture fitted to the screen again.
void Clear(cVek_Window* window, intptr_t arg);
// Work-in-progress slot `arg` (0..9): its drawing becomes current, or a new drawing is started in
// an empty slot. The current drawing is saved first; when that fails it stays current.
void GoToDrawing(cVek_Window* window, intptr_t slot);
// Paper colour 0xRRGGBB (each channel / 255), or kBackgroundCurrent; recorded as a layout step.
void SetBackground(cVek_Window* window, intptr_t rgb);
// Back to the default palette; the tool box takes the selected colour.
void ResetPalette(cVek_Window* window, intptr_t arg);
void Minimise(cVek_Window* window, intptr_t arg);
// Asks the desktop to close (once ReadyToQuit); the program then saves everything and quits.
void Exit(cVek_Window* window, intptr_t arg);
void Undo(cVek_Window* window, intptr_t arg);
void Redo(cVek_Window* window, intptr_t arg);
// The desktop's shortcut action: 317 undo, 318 redo; the clipboard numbers do nothing here.
void Shortcut(cVek_Window* window, intptr_t command);

// Saves the current drawing and the portfolio record before the drawing is let go (another slot,
// quitting). False when they could not be written: the user is told, and the drawing stays
// current and in memory, so nothing is lost while the program runs.
bool SaveCurrentDrawing();
// Whether the program may quit now: the drawing is saved, or the user has already been told once
// that it cannot be (the next request quits anyway).
bool ReadyToQuit();

// "Drawing N (seconds)" for a picture in slot N-1, else "<picture name> (seconds)".
std::string ExportBaseName(uint32_t seconds);

} // namespace scribbix::commands
