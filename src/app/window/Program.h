// The program from its entry to its end: the single-copy lock, the
// application, the main window and the message loop.
#pragma once

#include "PageRendering.h"  // PrepareBrowserEnvironment

#include <functional>

namespace velmora {

class TFormKarvo;

// Called with the main window once it exists, before it is shown (the start-up
// benchmark watches it this way).
using TWindowObserver = std::function<void(TFormKarvo&)>;

// Runs the program and gives its exit status: 0 also for a later start that
// only restored the running copy.
int RunProgram(int argc, char** argv, const TWindowObserver& observer = {});

}  // namespace velmora
