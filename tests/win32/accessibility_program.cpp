// A test build of Quorbel.exe that checks from inside its own process what a screen reader and a
// user of high contrast get, once the form stands:
//   every control that takes the focus has the name Windows' accessibility layer finds for it (its
//   caption, or the static text before it in z-order), and the one Wine's oleacc reports where
//   Wine looks (text boxes and buttons; it names no list);
//   a new hint is announced: the text area raises a value change;
//   high contrast, as this build answers the setting, puts the system's colours in place of the
//   form's own, and switched off again brings them back, each time on the settings change alone.
// Started as `quorbel_accessibility.exe FINDINGS`: each failure is a line of FINDINGS, and the
// program ends with status 1 if there was any.
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/win32/win32_form.hpp"
#include "resources.h"
#include "selection/house_selection.hpp"
#include "window/main_window_layout.hpp"

namespace {

using namespace quorbel;

bool highContrast = false;  // this build's answer in place of Windows' setting
FILE* findings = nullptr;
int failures = 0;
int valueChanges = 0;  // raised by the text area since the count was last cleared
HWND textArea = nullptr;

std::wstring Wide(std::string_view utf8) {
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

void Expect(bool holds, const char* what, const std::wstring& got = {}, const std::wstring& wanted = {}) {
    if (holds) return;
    ++failures;
    std::fprintf(findings, "%s: got \"%s\", wanted \"%s\"\n", what, Narrow(got).c_str(), Narrow(wanted).c_str());
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    return std::wstring(text, static_cast<std::size_t>(GetWindowTextW(window, text, 512)));
}

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[32] = {};
    GetClassNameW(window, found, 32);
    return _wcsicmp(found, name) == 0;
}

// The name Windows' accessibility layer gives a standard control: a button's caption; for the
// others the first static text before it in z-order, looking no further than a control that
// starts a group and is a tab stop.
std::wstring NameWindowsFinds(HWND control) {
    if (IsClass(control, L"Button")) return WindowText(control);
    for (HWND w = GetWindow(control, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (IsClass(w, L"Static")) return WindowText(w);
        const LONG style = GetWindowLongW(w, GWL_STYLE);
        if ((style & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) break;
    }
    return {};
}

// What Wine's oleacc reports as the control's name, or nothing.
std::wstring NameOleaccReports(HWND control) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible))))
        return {};
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result;
    if (accessible->get_accName(self, &name) == S_OK && name) result = name;
    SysFreeString(name);
    accessible->Release();
    return result;
}

void CheckNames(HWND form) {
    const WindowLayout& layout = MainWindowLayout;
    for (std::size_t tab = 0; tab < layout.controls.size(); ++tab) {
        const ControlDescription& c = layout.controls[tab];
        if (!TakesFocus(c)) continue;
        const auto index = static_cast<std::size_t>(c.index);
        const std::string_view wanted = c.kind == ControlKind::TextBox   ? TextAreaName
                                        : c.kind == ControlKind::ListBox ? AttributeHeadings[index]
                                                                         : HouseTable[index].colourCaption;
        HWND control = GetDlgItem(form, win32::kFirstControlId + static_cast<int>(tab));
        Expect(NameWindowsFinds(control) == Wide(wanted), "name Windows finds", NameWindowsFinds(control), Wide(wanted));
        // Wine 8.0's oleacc names edits and buttons; a list it leaves unnamed.
        if (c.kind != ControlKind::ListBox)
            Expect(NameOleaccReports(control) == Wide(wanted), "name oleacc reports", NameOleaccReports(control), Wide(wanted));
    }
}

void CALLBACK CountValueChanges(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (window == textArea && object == OBJID_CLIENT && child == CHILDID_SELF) ++valueChanges;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

void CheckAnnouncement(HWND form) {
    textArea = GetDlgItem(form, win32::kFirstControlId);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, CountValueChanges,
                                         GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    Expect(hook != nullptr, "the value change hook is set");
    HWND option = GetDlgItem(form, win32::kFirstControlId + 7);  // Option1(3)
    valueChanges = 0;
    SendMessageW(option, BM_CLICK, 0, 0);
    Pump();
    Expect(WindowText(textArea).substr(0, 20) == Wide(HintTexts[3]).substr(0, 20), "the hint is shown", WindowText(textArea).substr(0, 20));
    Expect(valueChanges >= 1, "the new hint raises a value change", std::to_wstring(valueChanges), L">= 1");
    UnhookWinEvent(hook);
}

COLORREF PixelNearCorner(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, client.right - 2, client.bottom - 2);
    ReleaseDC(window, dc);
    return colour;
}

std::wstring Hex(COLORREF colour) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// The form's background (beside the lists), the title label and each option, as drawn.
void ExpectColours(HWND form, bool system, const char* what) {
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto wanted = [&](Rgb own) { return system ? face : RGB(own.red, own.green, own.blue); };
    HDC dc = GetDC(form);
    const COLORREF background = GetPixel(dc, 2, 200);
    ReleaseDC(form, dc);
    Expect(background == wanted(MainWindowLayout.form.backColor), what, Hex(background), Hex(wanted(MainWindowLayout.form.backColor)));
    for (std::size_t tab = 0; tab < MainWindowLayout.controls.size(); ++tab) {
        const ControlDescription& c = MainWindowLayout.controls[tab];
        if (c.hidden || !c.background || c.kind == ControlKind::Frame) continue;
        const COLORREF got = PixelNearCorner(GetDlgItem(form, win32::kFirstControlId + static_cast<int>(tab)));
        const Rgb own = c.kind == ControlKind::OptionButton ? HouseTable[static_cast<std::size_t>(c.index)].optionBackground
                                                            : *c.background;
        Expect(got == wanted(own), what, Hex(got), Hex(wanted(own)));
    }
}

void CheckContrast(HWND form) {
    ExpectColours(form, false, "the form's own colours with high contrast off");
    highContrast = true;
    SendMessageW(form, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    ExpectColours(form, true, "the system's colours with high contrast on");
    highContrast = false;
    SendMessageW(form, WM_SYSCOLORCHANGE, 0, 0);
    ExpectColours(form, false, "the form's own colours once high contrast is off again");
}

void CALLBACK Check(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND form = FindWindowW(win32::kFormClass, nullptr);
    if (!form) {
        Expect(false, "the form is shown");
        PostQuitMessage(1);
        return;
    }
    CheckNames(form);
    CheckContrast(form);
    CheckAnnouncement(form);
    DestroyWindow(form);
}

}  // namespace

namespace quorbel::win32 {
bool HighContrastRequested() { return highContrast; }
}  // namespace quorbel::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand) {
    findings = _wfopen(arguments, L"w");
    if (!findings) return 2;
    CoInitialize(nullptr);
    SetTimer(nullptr, 0, 0, Check);
    const int status = quorbel::win32::Run(instance, showCommand, quorbel::MainWindowLayout, quorbel::HouseSelection,
                                           QUORBEL_ICON_GROUP);
    CoUninitialize();
    std::fclose(findings);
    return failures || status ? 1 : 0;
}
