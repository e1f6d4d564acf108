// Runs a form on Qt: the application object, the start-up form, the message loop.
#pragma once

#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

#include <cstdint>

class QApplication;
class QString;

namespace quorbel::qt {

// The program's icon as pixels, 0xAARRGGBB row by row (made at build time from the icon source).
struct IconPixels {
    int width;
    int height;
    const std::uint32_t* argb;
};

// One look on every desktop: the Fusion style with its own light palette, so that the layout's
// sizes and colours hold and dark desktop themes do not put light text on the light backgrounds.
// The program's name, and its icon when one is given.
void PrepareApplication(QApplication& app, const WindowLayout& layout, const IconPixels* icon = nullptr);

// A run-time error is not trapped: its message is shown, the form takes no further clicks and the
// message loop ends with status 1, so the program ends through the normal path.
void ReportAndQuit(const QString& message);

// Builds the start-up form from its layout, shows it and runs until it is closed. Returns the
// process exit status; a run-time error in an event procedure ends the process with status 1.
int Run(int& argc, char** argv, const WindowLayout& layout, FormEvents events, const IconPixels& icon);

}  // namespace quorbel::qt
