// Runs a form on Qt: the application object, the start-up form, the message loop.
#pragma once

#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

class QIcon;

namespace quorbel::qt {

// Builds the start-up form from its layout, shows it and runs until it is closed. Returns the
// process exit status; a run-time error in an event procedure ends the process with status 1.
int Run(int& argc, char** argv, const WindowLayout& layout, FormEvents events, const char* const* iconXpm);

}  // namespace quorbel::qt
