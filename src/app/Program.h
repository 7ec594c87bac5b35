// The program's side of the shell: the set-up function, the frame function, the activation
// handler, the close handler, the shutdown callback and the GL resource loader, plus Main, which
// the process entry calls. Each function lists its steps in order; steps whose objects come with
// later parts of the program (importer, clipboard) are marked INTEGRATION where they go.
//
// Test hook: with SCRIBBIX_TEST_STATE set to a file path, the frame function writes the studio's
// state there (app/StudioTestHook.h); nothing else changes.
#pragma once

namespace scribbix::program {

// Builds the window title, creates the application object and runs the shell. Exit code.
int Main();

void SetUp();
void Frame();
void OnActivation(int gained);
// Asks the desktop to close (the window's close, a stop signal, "Exit").
void CloseRequest();
// The close handler: runs once, before the program quits.
void OnClose();
// The display went away (logout, X server crash): saves the drawing and the settings as closing
// does, without any GL or window call; the process ends right after.
void OnDisplayLost();
void OnShutdown();
void LoadGlResources();

// True between an activation with 1 and the next with 0 (the desktop's GL-ready flag until the
// desktop exists).
bool GlReady();
// Whether the current drawing has a step to undo / redo (as of the last drawn frame).
bool UndoPossible();
bool RedoPossible();
// Frame clock interval of the current frame in seconds (0 on the first frame).
double FrameInterval();

} // namespace scribbix::program
