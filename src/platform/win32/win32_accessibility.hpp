// What a screen reader on Windows finds out about the form's controls: their names and the text
// area's new contents.
#pragma once

#include <windows.h>

#include <cstddef>

#include "window/main_window_layout.hpp"

namespace quorbel::win32 {

// Windows' accessibility layer names a list or a text box after the static text just before it in
// z-order. A control that takes the focus, has no caption of its own and no label before it is
// given one there (`NeedsNamingLabel`): hidden, of no size, holding its name. False when Windows would not make it.
constexpr bool NeedsNamingLabel(const WindowLayout& layout, std::size_t control) {
    const ControlDescription& c = layout.controls[control];
    return TakesFocus(c) && (c.kind == ControlKind::TextBox || c.kind == ControlKind::ListBox) &&
           NamingLabel(layout, control) >= layout.controls.size();
}
bool PlaceNamingLabel(HWND form, HWND control, const wchar_t* name);

// Tells screen readers that a text box's contents were replaced, so that they read the new text
// without the user going to look for it.
void AnnounceNewText(HWND edit);

}  // namespace quorbel::win32
