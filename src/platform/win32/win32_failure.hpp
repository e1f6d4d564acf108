// The Windows program's one failure path: a message box where the failure happens, then the end of
// the process with status 1. Memory that cannot be had takes the same path.
#pragma once

#include <windows.h>

#include <string_view>

#include "window/failure.hpp"

namespace quorbel::win32 {

// Failures are shown over OWNER (the form once it exists, which keeps the user from clicking on
// while the message is up), with CAPTION, the form's name.
void ShowFailuresOver(HWND owner, std::string_view caption);

// Something Windows was asked to do failed: the message names WHAT, with the system's reason.
[[noreturn]] void FailedTo(std::string_view what);

}  // namespace quorbel::win32
