// High contrast: where the user has asked for it, the system's colours win over the form's own.
#pragma once

#include <windows.h>

namespace quorbel::win32 {

// Whether the user has asked Windows for high contrast. The one place the setting is read, alone in
// its source file, so that a test build can link its own answer instead.
bool HighContrastRequested();

// The brush the form's background is painted with: its own, or under high contrast the system's
// face colour, the one Windows paints labels, options and the frame on by default.
inline HBRUSH FormBackground(bool highContrast, HBRUSH own) {
    return highContrast ? GetSysColorBrush(COLOR_BTNFACE) : own;
}

}  // namespace quorbel::win32
