// Runs a form on Qt: the application object, the start-up form, the message loop.
#pragma once

#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

class QApplication;

namespace quorbel::qt {

// One look on every desktop: the Fusion style with its own light palette, so that the layout's
// sizes and colours hold and dark desktop themes do not put light text on the light backgrounds.
// The program's name, and its icon when one is given (an XPM, see DecodeXpm).
void PrepareApplication(QApplication& app, const WindowLayout& layout, const char* const* iconXpm = nullptr);

// Builds the start-up form from its layout, shows it and runs until it is closed. Returns the
// process exit status; a run-time error in an event procedure ends the process with status 1.
int Run(int& argc, char** argv, const WindowLayout& layout, FormEvents events, const char* const* iconXpm);

}  // namespace quorbel::qt
