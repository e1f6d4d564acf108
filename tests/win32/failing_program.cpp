// A test build of Quorbel.exe, the same runtime with other event procedures, to show how the
// runtime meets what the real ones never do:
//   a click on any list reaches a List1 element that does not exist: a run-time error;
//   a click on option 4 asks for more memory than there is;
//   a click on option 0 tells the form, twice, that its screen is now 144 DPI, as Windows does when
//   the window moves to another monitor, then unchecks that option by code; should the icon that
//   the second change replaced still exist, or the first have set none, that is reported as a
//   run-time error.
// Started with `register-class-first`, the form's window class is taken before the runtime
// registers it; with `refuse-lists`, Windows is kept from creating any list box.
#include <cstdint>
#include <cwchar>

#include "platform/win32/win32_form.hpp"
#include "resources.h"
#include "window/main_window_layout.hpp"

namespace {

using quorbel::ControlServices;
using quorbel::Index;

void ReachAMissingList(const ControlServices& controls, Index index) {
    static_cast<void>(controls.List1(static_cast<Index>(index + 10)).ListIndex());
}

void ExhaustMemoryOrMoveScreen(const ControlServices& controls, Index index) {
    if (index == 4) {
        // Read at run time, so that the request cannot be folded away or refused when compiled.
        static volatile std::size_t more_than_there_is = SIZE_MAX / 2;
        controls.Text1(0).SetText(quorbel::Text(more_than_there_is));
        return;
    }
    if (index != 0) return;
    constexpr UINT kDpi = 144;
    HWND form = FindWindowW(quorbel::win32::kFormClass, nullptr);
    RECT suggested{0, 0, quorbel::TwipsToPixels(quorbel::MainWindowLayout.form.clientWidth, kDpi),
                   quorbel::TwipsToPixels(quorbel::MainWindowLayout.form.clientHeight, kDpi)};
    // The frame keeps the size it has: only the message claims another screen.
    AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)), FALSE, 0);
    OffsetRect(&suggested, 10 - suggested.left, 10 - suggested.top);
    // The first change gives the window icons of its own (until then it shows its class's); the
    // second replaces them.
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(kDpi, kDpi), reinterpret_cast<LPARAM>(&suggested));
    const auto replaced = reinterpret_cast<HICON>(SendMessageW(form, WM_GETICON, ICON_BIG, 0));
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(kDpi, kDpi), reinterpret_cast<LPARAM>(&suggested));
    ICONINFO info;
    if (!replaced || GetIconInfo(replaced, &info)) quorbel::RaiseRunTimeError(quorbel::FailureMessage("icon leaked"));
    controls.Option1(0).SetValue(false);
}

LRESULT CALLBACK RefuseLists(int code, WPARAM wParam, LPARAM lParam) {
    wchar_t windowClass[16] = {};
    if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), windowClass, 16) &&
        _wcsicmp(windowClass, L"ListBox") == 0)
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand) {
    if (std::wcscmp(arguments, L"register-class-first") == 0) {
        WNDCLASSEXW taken{};
        taken.cbSize = sizeof taken;
        taken.lpfnWndProc = DefWindowProcW;
        taken.hInstance = instance;
        taken.lpszClassName = quorbel::win32::kFormClass;
        RegisterClassExW(&taken);
    } else if (std::wcscmp(arguments, L"refuse-lists") == 0) {
        SetWindowsHookExW(WH_CBT, RefuseLists, nullptr, GetCurrentThreadId());
    }
    return quorbel::win32::Run(instance, showCommand, quorbel::MainWindowLayout,
                               {ReachAMissingList, ExhaustMemoryOrMoveScreen}, QUORBEL_ICON_GROUP);
}
