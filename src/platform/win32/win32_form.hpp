// The native Windows runtime: the form built with Windows' standard controls from the window layout.
#pragma once

// A failure ends the program where it happens, so nothing unwinds and nothing asks a type at run
// time: code built with either would carry the machinery for nothing (or, with exceptions, let a
// throw pass through Windows' own frames).
#if defined(__cpp_exceptions) || defined(__cpp_rtti)
#error "The Windows runtime is built without exceptions and RTTI (-fno-exceptions -fno-rtti)."
#endif

#include <windows.h>

#include <memory>

#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

namespace quorbel::win32 {

// Each control's id is this plus its TabIndex, so that tools outside the process can find it.
inline constexpr int kFirstControlId = 100;
// The form's window class.
inline constexpr wchar_t kFormClass[] = L"QuorbelForm";

// Builds the start-up form, shows it and runs the message loop until it is closed. Returns the
// process exit status. A failure anywhere (a run-time error in an event procedure, memory that
// cannot be had, a window or control that Windows would not create) is shown in a message box
// where it happens and ends the process with status 1.
int Run(HINSTANCE instance, int showCommand, const WindowLayout& layout, FormEvents events, int iconGroup);

class Form;

// For a test that plays user input in its own process: the form built and shown as Run builds it,
// the messages waiting handled as Run's loop handles them. The window and its class go with it.
class OpenForm {
public:
    OpenForm(HINSTANCE instance, const WindowLayout& layout, FormEvents events, int iconGroup);
    ~OpenForm();
    OpenForm(const OpenForm&) = delete;
    OpenForm& operator=(const OpenForm&) = delete;
    HWND Window() const;
    void HandleWaiting();

private:
    std::unique_ptr<Form> form_;
};

}  // namespace quorbel::win32
