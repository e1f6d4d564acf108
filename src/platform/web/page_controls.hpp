// The page's side of the boundary: the functions of web_page.js (passed to the linker with
// --js-library) as the runtime calls them. Controls are numbered handles; kOnForm is the form.
#pragma once

namespace quorbel::web {

inline constexpr int kOnForm = -1;

extern "C" {
// The form: document title, client size in CSS pixels, background 0xRRGGBB, font.
void quorbel_page_form(const char* caption, int captionLength, int width, int height, int background,
                       const char* family, int familyLength, int points, int weight, int fontFlags);
// One creator per control kind; each returns the new control's handle. `eventKind` and `index`
// are handed back unchanged to quorbel_web_click when the user chooses in the control.
int quorbel_page_text_box(const char* text, int length, int multiLine, int verticalScrollBar, int readOnly);
int quorbel_page_label(const char* text, int length, int centred);
int quorbel_page_frame(const char* caption, int length);
int quorbel_page_option(const char* caption, int length, int eventKind, int index);
int quorbel_page_list(int eventKind, int index);
void quorbel_page_add_row(int list, const char* text, int length);
// Puts a control into its container at a place and size in CSS pixels; background -1 keeps the
// page's default.
void quorbel_page_place(int control, int container, int left, int top, int width, int height,
                        int background, int hidden);
// The label `label` names `control` for assistive technology.
void quorbel_page_name_by(int control, int label);
// A list's natural row height and the height inside its border, in CSS pixels; and the row
// height to use instead.
int quorbel_page_row_height(int list);
int quorbel_page_inner_height(int list);
void quorbel_page_set_row_height(int list, int height);
// The form is complete: the focus goes to `focus`, and what the controls hold now is what a
// run-time error returns them to until an event completes.
void quorbel_page_show(int focus);

// The operations behind ControlServices.
int quorbel_page_selected_row(int list);
void quorbel_page_select_row(int list, int row);
int quorbel_page_row_text(int list, int row, char* out, int capacity);
int quorbel_page_checked(int option);
void quorbel_page_set_checked(int option, int checked);
void quorbel_page_set_text(int textBox, const char* text, int length);

// A run-time error: shows the message and stops the page, every control as it was before the
// user's last action.
void quorbel_page_fail(const char* message, int length);
}

// Font flags of quorbel_page_form.
enum FontFlag : int { kItalic = 1, kUnderline = 2, kStrikeOut = 4, kSerif = 8 };

}  // namespace quorbel::web
