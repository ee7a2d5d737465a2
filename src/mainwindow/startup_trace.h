#pragma once

namespace mossleaf {

class frmMain;

// For the start-up benchmark: with MOSSLEAF_STARTUP_TRACE set, prints to stderr the wall-clock
// time (ms since the epoch) when the window is first painted ("visible") and when the event
// loop first has nothing left to do after the command-line file was read ("idle").
namespace StartupTrace {

void installIfRequested(frmMain& form);

}  // namespace StartupTrace

}  // namespace mossleaf
