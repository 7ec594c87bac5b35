// The program's side of the shell: the set-up function, the frame function, the activation
// handler, the close handler, the shutdown callback and the GL resource loader, plus Main, which
// the process entry calls. Each function lists its steps in order; steps whose objects belong to
// other parts of the program are marked INTEGRATION where they go.
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
void OnShutdown();
void LoadGlResources();

// True between an activation with 1 and the next with 0 (the desktop's GL-ready flag until the
// desktop exists).
bool GlReady();
// Frame clock interval of the current frame in seconds (0 on the first frame).
double FrameInterval();

} // namespace scribbix::program
