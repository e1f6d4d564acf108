// The page's side of the boundary: the functions of web_page.js (passed to the linker with
// --js-library) as the runtime calls them. Controls are numbered handles.
#pragma once

namespace quorbel::web {

extern "C" {
// Finds the control the markup wrote under this id and returns its handle. `eventKind` and `index`
// are handed back unchanged to quorbel_web_click when the user chooses in the control (a list or an
// option).
int quorbel_page_attach(const char* id, int idLength, int eventKind, int index);
// Every control is attached and the form takes Clicks: a choice the user made before is played now.
// What the controls held before it is what a failure returns them to until an event completes.
void quorbel_page_show();

// The operations behind ControlServices.
int quorbel_page_selected_row(int list);
void quorbel_page_select_row(int list, int row);
int quorbel_page_row_text(int list, int row, char* out, int capacity);
int quorbel_page_checked(int option);
void quorbel_page_set_checked(int option, int checked);
void quorbel_page_set_text(int textBox, const char* text, int length);

// A failure: shows the message and stops the page, every control as it was before the user's last
// action; returns to the page by an exception, never to the caller.
[[noreturn]] void quorbel_page_fail(const char* message, int length);
}

}  // namespace quorbel::web
