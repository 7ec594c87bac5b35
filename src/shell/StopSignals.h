// SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C in a terminal, a logout) only set a flag; the main
// loop turns it into the same close request as closing the window, so the user's work is saved
// before the program ends. The handlers are installed without SA_RESTART so a blocking wait
// returns early.
#pragma once

namespace vek::shell {

void InstallStopSignalHandlers();
// True once after a stop signal arrived (the flag is cleared by reading it).
bool TakeStopRequest();
// True while a stop signal is waiting to be taken; safe to call from anywhere.
bool StopRequestPending();

} // namespace vek::shell
