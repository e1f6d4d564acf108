// A test build of Quorbel.exe, the same runtime with other event procedures, to show how the
// runtime meets what the real ones never do:
//   a click on any list reaches a List1 element that does not exist: a run-time error;
//   a click on option 4 throws something that is not a run-time error;
//   a click on option 0 tells the form that its screen is now 144 DPI, as Windows does when the
//   window moves to another monitor, then unchecks that option by code; should the icon that the
//   change replaced still exist, that is reported as a run-time error.
#include "platform/win32/win32_form.hpp"
#include "resources.h"
#include "window/main_window_layout.hpp"

namespace {

using quorbel::ControlServices;
using quorbel::Index;

void ReachAMissingList(const ControlServices& controls, Index index) {
    static_cast<void>(controls.List1(static_cast<Index>(index + 10)).ListIndex());
}

void ThrowOrMoveScreen(const ControlServices& controls, Index index) {
    if (index == 4) throw 4;
    if (index != 0) return;
    constexpr UINT kDpi = 144;
    HWND form = FindWindowW(quorbel::win32::kFormClass, nullptr);
    RECT suggested{0, 0, quorbel::TwipsToPixels(quorbel::MainWindowLayout.form.clientWidth, kDpi),
                   quorbel::TwipsToPixels(quorbel::MainWindowLayout.form.clientHeight, kDpi)};
    // The frame keeps the size it has: only the message claims another screen.
    AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)), FALSE, 0);
    OffsetRect(&suggested, 10 - suggested.left, 10 - suggested.top);
    const auto replaced = reinterpret_cast<HICON>(SendMessageW(form, WM_GETICON, ICON_BIG, 0));
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(kDpi, kDpi), reinterpret_cast<LPARAM>(&suggested));
    ICONINFO info;
    if (replaced && GetIconInfo(replaced, &info)) throw quorbel::RuntimeError("icon leaked");
    controls.Option1(0).SetValue(false);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return quorbel::win32::Run(instance, showCommand, quorbel::MainWindowLayout,
                               {ReachAMissingList, ThrowOrMoveScreen}, QUORBEL_ICON_GROUP);
}
