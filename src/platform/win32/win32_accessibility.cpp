// Names for screen readers from hidden labels in z-order, and the text area's change announced.
#include "platform/win32/win32_accessibility.hpp"

namespace quorbel::win32 {

bool PlaceNamingLabel(HWND form, HWND control, const wchar_t* name) {
    // Not visible and of no size, at the client area's corner: nothing is drawn, and at any DPI
    // it stays where it is.
    HWND label = CreateWindowExW(WS_EX_NOPARENTNOTIFY, L"STATIC", name, WS_CHILD | SS_LEFT | SS_NOPREFIX, 0,
                                 0, 0, 0, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE)), nullptr);
    if (!label) return false;
    // Just before the control: after the window that precedes it, or first of all.
    HWND before = GetWindow(control, GW_HWNDPREV);
    SetWindowPos(label, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void AnnounceNewText(HWND edit) { NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, edit, OBJID_CLIENT, CHILDID_SELF); }

}  // namespace quorbel::win32
