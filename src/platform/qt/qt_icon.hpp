// The program's icon from its XPM source, decoded here rather than through Qt's image readers.
#pragma once

#include <QImage>

namespace quorbel::qt {

// Decodes an XPM image with one character a pixel and colours given as #RRGGBB or None (the form
// the icon source keeps). Qt can read XPM itself, but asking it to loads every image-format plugin
// and their libraries at start-up, which costs the program time and memory for a 32 x 32 picture.
// Returns a null image for anything else.
QImage DecodeXpm(const char* const* xpm);

}  // namespace quorbel::qt
