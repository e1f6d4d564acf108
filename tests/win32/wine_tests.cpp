// The Windows runtime's tests, run under Wine: the behaviour table played with real input
// (SendInput) on the form built in this process by the runtime Quorbel.exe links; the window as it
// opens at the DPI the prefix has, compared with the layout and content/; what a screen reader and
// a user of high contrast get; and quorbel_failing.exe, started beside this program, when an event
// procedure fails or Windows refuses what the form needs.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "behaviour_suite.hpp"
#include "platform/win32/win32_contrast.hpp"
#include "platform/win32/win32_form.hpp"
#include "platform/win32/win32_text.hpp"
#include "resources.h"

namespace quorbel::testing {
namespace {

int Px(int twips, int dpi) { return TwipsToPixels(twips, dpi); }

// A control of a form by its name and Index, through its id (100 + TabIndex).
HWND Control(HWND form, std::string_view name, Index index) {
    for (std::size_t tab = 0; tab < MainWindowLayout.controls.size(); ++tab)
        if (MainWindowLayout.controls[tab].name == name && MainWindowLayout.controls[tab].index == index)
            return GetDlgItem(form, win32::kFirstControlId + static_cast<int>(tab));
    return nullptr;
}

std::string Utf8(const std::wstring& wide) {
    return std::string(win32::Narrow(wide.data(), static_cast<int>(wide.size())).View());
}
// A window's text, or with ROW a list's row, asked with the control's own messages.
std::wstring WideTextOf(HWND window, int row = -1) {
    const bool list = row >= 0;
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, list ? LB_GETTEXTLEN : WM_GETTEXTLENGTH, list ? row : 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(window, list ? LB_GETTEXT : WM_GETTEXT, list ? row : text.size(),
                                                      reinterpret_cast<LPARAM>(text.data()))));
    return text;
}
std::string TextOf(HWND window) { return Utf8(WideTextOf(window)); }
std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    for (int row = 0; row < SendMessageW(list, LB_GETCOUNT, 0, 0); ++row) rows.push_back(Utf8(WideTextOf(list, row)));
    return rows;
}

// Handles this thread's messages until none has come for a while: the input sent has arrived and
// all it caused is done. Timers (the caret's blink) come for ever and are no sign of either.
void Settle(win32::OpenForm* form) {
    do {
        if (form) form->HandleWaiting();
        else for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
    } while (MsgWaitForMultipleObjects(0, nullptr, FALSE, 150, QS_ALLINPUT & ~QS_TIMER) != WAIT_TIMEOUT);
}

// A left click at a point of the screen.
void Click(POINT at, win32::OpenForm* form = nullptr) {
    auto mouse = [&](DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        in.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        return in;
    };
    INPUT inputs[] = {mouse(0), mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)};
    SendInput(3, inputs, sizeof(INPUT));
    Settle(form);
}
POINT OnScreen(HWND control, int x, int y) {
    POINT at{x, y};
    ClientToScreen(control, &at);
    return at;
}
// A row's middle, or the spot just under the last row.
POINT RowMiddle(HWND list, int row) {
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return OnScreen(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
POINT OptionGlyph(HWND option) {
    RECT r;
    GetClientRect(option, &r);
    return OnScreen(option, 6, r.bottom / 2);
}

// A key, with others held down around it.
void Key(WORD key, win32::OpenForm* form, std::initializer_list<WORD> held = {}) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, DWORD flags) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.dwFlags = flags;
        inputs.push_back(i);
    };
    for (WORD h : held) add(h, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (WORD h : held) add(h, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Settle(form);
}

class WineDriver : public FormDriver {
public:
    win32::OpenForm form{GetModuleHandleW(nullptr), MainWindowLayout, kCountedSelection, QUORBEL_ICON_GROUP};
    WineDriver() { Settle(&form); }

    HWND Find(std::string_view name, int index) const { return Control(form.Window(), name, static_cast<Index>(index)); }
    void ClickListRow(int list, int row) override { Click(RowMiddle(Find("List1", list), row), &form); }
    void ClickOption(int option) override { Click(OptionGlyph(Find("Option1", option)), &form); }
    void ClickBelowLastRow(int list) override {
        HWND l = Find("List1", list);
        RECT inner, last{};
        GetClientRect(l, &inner);
        SendMessageW(l, LB_GETITEMRECT, static_cast<WPARAM>(SendMessageW(l, LB_GETCOUNT, 0, 0) - 1), reinterpret_cast<LPARAM>(&last));
        ASSERT_LT(last.bottom, inner.bottom - 3) << "no room under the last row";
        Click(OnScreen(l, inner.right / 2, inner.bottom - 3), &form);
    }
    // A click under the rows gives the list the focus and changes nothing.
    void PressListKey(int list, const std::string& key) override {
        ClickBelowLastRow(list);
        Key(key == "up" ? VK_UP : key == "down" ? VK_DOWN : key == "home" ? VK_HOME : key == "end" ? VK_END
            : key == "pageup" ? VK_PRIOR : VK_NEXT, &form);
    }
    void TypeInList(int list, char letter) override {
        ClickBelowLastRow(list);
        Key(static_cast<WORD>(std::toupper(static_cast<unsigned char>(letter))), &form);
    }
    // The checked option: clicking it gives it the focus.
    void PressOptionArrow(int option, int delta) override {
        ClickOption(option);
        Key(delta < 0 ? VK_LEFT : VK_RIGHT, &form);
    }
    void PressTab() override { Key(VK_TAB, &form); }
    void ClickText() {
        RECT r;
        GetClientRect(Find("Text1", 0), &r);
        Click(OnScreen(Find("Text1", 0), r.right / 3, r.bottom / 2), &form);
    }
    void SelectAllText() override {
        ClickText();
        Key(VK_HOME, &form, {VK_CONTROL});
        Key(VK_END, &form, {VK_CONTROL, VK_SHIFT});
    }
    void Type(const std::string& text) override {
        ClickText();
        for (char c : text) Key(static_cast<WORD>(std::toupper(static_cast<unsigned char>(c))), &form);  // letters, digits
    }
    void PressEditKeys() override {
        for (WORD key : {VK_BACK, VK_DELETE, VK_RETURN}) Key(key, &form);
        Key('X', &form, {VK_CONTROL});
        Key('V', &form, {VK_CONTROL});
    }
    int ListIndex(int list) const override { return static_cast<int>(SendMessageW(Find("List1", list), LB_GETCURSEL, 0, 0)); }
    bool OptionChecked(int option) const override {
        return SendMessageW(Find("Option1", option), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::string Text() const override { return TextOf(Find("Text1", 0)); }
    std::string Focus() const override {
        for (const ControlDescription& c : MainWindowLayout.controls)
            if (c.index != kNotInArray && GetFocus() == Find(c.name, c.index))
                return std::string(c.name) + "(" + std::to_string(c.index) + ")";
        return {};
    }
    bool TextAllSelected() const override {
        DWORD start = 0, end = 0;
        SendMessageW(Find("Text1", 0), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start == 0 && end == static_cast<DWORD>(GetWindowTextLengthW(Find("Text1", 0)));
    }
    int Clicks() const override { return clicksDelivered; }
};

}  // namespace

QUORBEL_BEHAVIOUR_TABLE(WindowsBehaviour, WineDriver, "windows");

namespace {

// A text's size in a control's own font, on one line.
SIZE Extent(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// A form (this process's or another's) as drawn, read from the screen where it stands.
class Win32Drawn : public DrawnForm {
public:
    // Wine paints a window into a surface of its own process and copies that to the screen when
    // the process next waits for a message (or, if it has not waited for 50 ms, at the end of a
    // paint): another process's form can reach the screen some time after its WM_PAINT returned,
    // later still on a busy machine. The picture is read again until two readings 60 ms apart agree.
    explicit Win32Drawn(HWND form) : form_(form) {
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GetClientRect(form, &client_);
        pixels_ = Read();
        for (int tries = 0; tries < 30; ++tries) {
            Sleep(60);
            std::vector<std::uint32_t> again = Read();
            if (again == pixels_) break;
            pixels_ = std::move(again);
        }
    }
    Box Client() const override { return {0, 0, client_.right, client_.bottom}; }
    Box Place(const ControlDescription& c) const override {
        RECT at;
        GetWindowRect(Control(form_, c.name, c.index), &at);
        MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&at), 2);
        return {at.left, at.top, at.right - at.left, at.bottom - at.top};
    }
    // Outside the client area, no colour at all.
    std::uint32_t Pixel(int x, int y) const override {
        if (x < 0 || y < 0 || x >= client_.right || y >= client_.bottom) return ~0u;
        return pixels_[static_cast<std::size_t>(y * client_.right + x)] & 0xFFFFFF;
    }

private:
    std::vector<std::uint32_t> Read() const {
        const POINT origin = OnScreen(form_, 0, 0);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), client_.right, -client_.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC screen = GetDC(nullptr), copy = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP shot = CreateDIBSection(copy, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(copy, shot);
        BitBlt(copy, 0, 0, client_.right, client_.bottom, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> pixels(first, first + client_.right * client_.bottom);
        SelectObject(copy, old);
        DeleteObject(shot);
        DeleteDC(copy);
        ReleaseDC(nullptr, screen);
        return pixels;
    }

    HWND form_;
    RECT client_{};
    std::vector<std::uint32_t> pixels_;
};

// The form (this process's or another's) at a DPI: drawn as the layout says, every list row in
// view and no text cut.
void ExpectLaidOut(HWND form, int dpi) {
    ExpectDrawnAsLaidOut(Win32Drawn(form), dpi);
    for (const ControlDescription& c : MainWindowLayout.controls) {
        if (c.hidden) continue;
        SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ") at " + std::to_string(dpi) + " DPI");
        HWND control = Control(form, c.name, c.index);
        RECT inner;
        GetClientRect(control, &inner);
        if (c.kind == ControlKind::Label || c.kind == ControlKind::Frame || c.kind == ControlKind::OptionButton) {
            // Beside the radio glyph or inside the frame's corners.
            const int room = c.kind == ControlKind::Label ? 0 : Px(16 * 15, dpi);
            const SIZE text = Extent(control, WideTextOf(control));
            EXPECT_LE(text.cx + room, inner.right) << "cut";
            EXPECT_LE(text.cy, inner.bottom) << "cut";
        } else if (c.kind == ControlKind::ListBox) {
            SCROLLBARINFO bar{};
            bar.cbSize = sizeof bar;
            EXPECT_TRUE(!GetScrollBarInfo(control, OBJID_VSCROLL, &bar) || (bar.rgstate[0] & STATE_SYSTEM_INVISIBLE))
                << "scrolls";
            const auto height = SendMessageW(control, LB_GETITEMHEIGHT, 0, 0);
            EXPECT_LE(height * static_cast<LRESULT>(c.rows.size()), inner.bottom) << "hides a row";
            for (int row = 0; row < static_cast<int>(c.rows.size()); ++row) {
                const SIZE size = Extent(control, WideTextOf(control, row));
                EXPECT_LE(size.cx, inner.right) << "row " << row << " cut";
                EXPECT_LE(size.cy, height) << "row " << row << " cut";
            }
        }
    }
}

int DpiOfThisPrefix() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// An icon's width, 0 for none.
int IconWidth(HICON icon) {
    ICONINFO info{};
    BITMAP mask{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

TEST(WineWindow, IsLaidOutAtThisDpi) {
    WineDriver d;
    ExpectLaidOut(d.form.Window(), DpiOfThisPrefix());
    // The icons it starts with are its class's, each at its own size.
    EXPECT_EQ(IconWidth(reinterpret_cast<HICON>(GetClassLongPtrW(d.form.Window(), GCLP_HICON))), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(IconWidth(reinterpret_cast<HICON>(GetClassLongPtrW(d.form.Window(), GCLP_HICONSM))), GetSystemMetrics(SM_CXSMICON));
}

TEST(WineWindow, OpensAsTheLayoutAndTheContentSay) {
    WineDriver d;
    HWND form = d.form.Window();
    RECT client;
    GetClientRect(form, &client);
    if (DpiOfThisPrefix() == 96) {
        EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(428L, 379L));
    }
    EXPECT_EQ(TextOf(form), WindowCaption);
    const auto style = GetWindowLongW(form, GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "resizable, or a min or max box";
    EXPECT_TRUE(style & WS_SYSMENU) << "no close box";
    EXPECT_FALSE(IsWindowVisible(d.Find("Text1", 1)));
    EXPECT_FALSE(IsWindowVisible(Control(form, "List2", kNotInArray)));
    EXPECT_EQ(d.Text(), StatementText);
    for (int list = 0; list < kAttributeCount; ++list) {
        const auto rows = AttributeRows(list);
        EXPECT_EQ(Rows(d.Find("List1", list)), std::vector<std::string>(rows.begin(), rows.end()));
    }
    EXPECT_EQ(Rows(Control(form, "List2", kNotInArray)), std::vector<std::string>(HintTexts.begin(), HintTexts.end()));
    for (int option = 0; option < kHouseCount; ++option)
        EXPECT_EQ(TextOf(d.Find("Option1", option)), HouseTable[static_cast<std::size_t>(option)].colourCaption);
    // The text area scrolls vertically (a bar beside its client area) and wraps its long lines.
    HWND text = d.Find("Text1", 0);
    RECT outer, inner;
    GetWindowRect(text, &outer);
    GetClientRect(text, &inner);
    EXPECT_GT((outer.right - outer.left) - inner.right, (outer.bottom - outer.top) - inner.bottom + 8) << "no scroll bar";
    EXPECT_GT(SendMessageW(text, EM_GETLINECOUNT, 0, 0), 32) << "no line wrapped";
}

// Windows draws an icon as (background AND mask) XOR image, so a transparent pixel must be black in
// the image to leave the background as it was: drawn onto white and onto black, none may change.
TEST(WineWindow, TheIconsTransparentPixelsLeaveTheBackground) {
    auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(QUORBEL_ICON_GROUP), IMAGE_ICON, 32, 32, 0));
    ASSERT_EQ(IconWidth(icon), 32);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    SelectObject(dc, canvas);
    auto draw = [&](std::uint32_t background, UINT what) {
        std::fill(pixels, pixels + 32 * 32, background);
        DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, what);
        GdiFlush();
        return std::vector<std::uint32_t>(pixels, pixels + 32 * 32);
    };
    const std::vector<std::uint32_t> mask = draw(0xFFFFFF, DI_MASK);  // white where transparent
    const auto transparent = std::count_if(mask.begin(), mask.end(), [](std::uint32_t p) { return (p & 0xFFFFFF) == 0xFFFFFF; });
    EXPECT_GT(transparent, 0) << "no transparent pixel";
    for (std::uint32_t background : {0xFFFFFFu, 0u}) {
        const std::vector<std::uint32_t> drawn = draw(background, DI_NORMAL);
        for (std::size_t i = 0; i < mask.size(); ++i)
            if ((mask[i] & 0xFFFFFF) == 0xFFFFFF) {
                EXPECT_EQ(drawn[i] & 0xFFFFFF, background) << "pixel " << i;
            }
    }
    DeleteDC(dc);
    DeleteObject(canvas);
    DestroyIcon(icon);
}

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[32] = {};
    GetClassNameW(window, found, 32);
    return _wcsicmp(found, name) == 0;
}

// The name Windows' accessibility layer gives a standard control: a button's caption; for the
// others the first static text before it in z-order, looking no further than a control that
// starts a group and is a tab stop.
std::string NameWindowsFinds(HWND control) {
    if (IsClass(control, L"Button")) return TextOf(control);
    for (HWND w = GetWindow(control, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (IsClass(w, L"Static")) return TextOf(w);
        if ((GetWindowLongW(w, GWL_STYLE) & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) break;
    }
    return {};
}

// What Wine's oleacc reports as the control's name, or nothing.
std::string NameOleaccReports(HWND control) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible))))
        return {};
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result;
    if (accessible->get_accName(self, &name) == S_OK && name) result = Utf8(name);
    SysFreeString(name);
    accessible->Release();
    return result;
}

// Every control that takes the focus has the name content/ gives it, where Windows' accessibility
// layer looks (its caption, or the static text before it) and as Wine's oleacc reports it (Wine
// 8.0 names edits and buttons; a list it leaves unnamed).
TEST(WineWindow, EveryControlThatTakesTheFocusIsNamedByItsContent) {
    WineDriver d;
    for (const ControlDescription& c : MainWindowLayout.controls) {
        if (!TakesFocus(c)) continue;
        SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ")");
        const std::string_view wanted = NameFromContent(c);
        HWND control = d.Find(c.name, c.index);
        EXPECT_EQ(NameWindowsFinds(control), wanted);
        if (c.kind != ControlKind::ListBox) {
            EXPECT_EQ(NameOleaccReports(control), wanted);
        }
    }
}

// A new hint is announced: the text area raises a value change.
HWND textArea = nullptr;
int valueChanges = 0;
void CALLBACK CountValueChanges(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    valueChanges += window == textArea && object == OBJID_CLIENT && child == CHILDID_SELF;
}
TEST(WineWindow, ANewHintIsAnnouncedAsAValueChange) {
    WineDriver d;
    textArea = d.Find("Text1", 0);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, CountValueChanges,
                                         GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    valueChanges = 0;
    d.ClickOption(3);
    EXPECT_TRUE(ShowsHouse(d, 3));
    EXPECT_GE(valueChanges, 1);
    UnhookWinEvent(hook);
}

// High contrast, as this program answers the setting in place of Windows, puts the system's face
// colour in place of the form's own (its background, every label and option), and switched off
// again brings them back, each on the settings change alone.
bool highContrast = false;
TEST(WineWindow, HighContrastGivesTheSystemsColoursAndTheirOwnBack) {
    WineDriver d;
    highContrast = true;
    SendMessageW(d.form.Window(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    const Win32Drawn system(d.form.Window());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const auto faceRgb = static_cast<std::uint32_t>(GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face));
    EXPECT_EQ(system.Pixel(2, 200), faceRgb);
    for (const ControlDescription& c : MainWindowLayout.controls) {
        if (c.hidden || c.kind == ControlKind::Frame || !c.background) continue;
        const DrawnForm::Box at = system.Place(c);
        EXPECT_EQ(system.Pixel(at.left + 1, at.top + 1), faceRgb) << c.name << "(" << c.index << ")";
    }
    highContrast = false;
    SendMessageW(d.form.Window(), WM_SYSCOLORCHANGE, 0, 0);
    ExpectDrawnAsLaidOut(Win32Drawn(d.form.Window()), DpiOfThisPrefix());
}

// quorbel_failing.exe, started beside this program with ARGUMENT; ended at the end of the test.
class FailingProgram {
public:
    explicit FailingProgram(const std::wstring& argument) {
        std::wstring path(MAX_PATH, L'\0');
        path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
        path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"quorbel_failing.exe";
        std::wstring command = L"\"" + path + L"\" " + argument;
        STARTUPINFOW start{};
        start.cb = sizeof start;
        EXPECT_TRUE(CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process_));
        CloseHandle(process_.hThread);
        WaitForInputIdle(process_.hProcess, 30000);
    }
    ~FailingProgram() {
        TerminateProcess(process_.hProcess, 9);
        WaitForSingleObject(process_.hProcess, 30000);
        CloseHandle(process_.hProcess);
    }
    // Its form, once visible and complete. Found by its process, not by its class alone: a window
    // of a program that has just ended may still be listed for a moment.
    HWND Form() {
        for (int waited = 0; waited < 300; ++waited, Sleep(100))
            if (HWND form = Find(win32::kFormClass); form && Control(form, "List2", kNotInArray)) return form;
        ADD_FAILURE() << "no form";
        return nullptr;
    }
    // Its message box, if one is up.
    HWND ShownMessage() { return Find(L"#32770"); }
    // Its message box: caption and text, answered with OK; then its exit status.
    void ExpectFailure(std::string_view message) {
        HWND box = nullptr;
        for (int waited = 0; !box && waited < 300; ++waited, Sleep(100)) box = ShownMessage();
        ASSERT_TRUE(box) << "no message box";
        EXPECT_EQ(TextOf(box), MainWindowLayout.form.name);
        EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)).substr(0, message.size()), message);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        DWORD status = 0;
        EXPECT_EQ(WaitForSingleObject(process_.hProcess, 30000), WAIT_OBJECT_0);
        GetExitCodeProcess(process_.hProcess, &status);
        EXPECT_EQ(status, 1u) << "exit status";
    }

private:
    // A visible top-level window of this program's of the given class.
    HWND Find(const wchar_t* windowClass) {
        wanted_ = windowClass;
        found_ = nullptr;
        EnumWindows(Match, reinterpret_cast<LPARAM>(this));
        return found_;
    }
    static BOOL CALLBACK Match(HWND window, LPARAM self) {
        auto* program = reinterpret_cast<FailingProgram*>(self);
        DWORD owner = 0;
        wchar_t windowClass[32] = {};
        GetWindowThreadProcessId(window, &owner);
        GetClassNameW(window, windowClass, 32);
        if (IsWindowVisible(window) && wcscmp(windowClass, program->wanted_) == 0 && owner == program->process_.dwProcessId)
            program->found_ = window;
        return TRUE;
    }

    PROCESS_INFORMATION process_{};
    const wchar_t* wanted_ = nullptr;
    HWND found_ = nullptr;
};

TEST(WineWindowWhenAProcedureFails, ARunTimeErrorIsShownAndEndsTheProgram) {
    FailingProgram program(L"");
    Click(RowMiddle(Control(program.Form(), "List1", 2), 1));
    program.ExpectFailure(std::string(kRunTimeErrorPrefix) + "елементът List1(12) не съществува.");
}

TEST(WineWindowWhenAProcedureFails, MemoryThatCannotBeHadIsShownAndEndsTheProgram) {
    FailingProgram program(L"");
    Click(OptionGlyph(Control(program.Form(), "Option1", 4)));
    program.ExpectFailure(kOutOfMemory);
}

TEST(WineWindowWhenAProcedureFails, WhatWindowsRefusesAtStartIsNamedWithItsReason) {
    FailingProgram(L"register-class-first").ExpectFailure(std::string(kRunTimeErrorPrefix) + "не може да се регистрира класът на формата: ");
    FailingProgram(L"refuse-lists").ExpectFailure(std::string(kRunTimeErrorPrefix) + "не може да се създаде List1(0)");
}

// Told its screen is now 144 DPI (option 0 of the failing program), the form is laid out again,
// with no failure, and the option it unchecked by code stays unchecked.
TEST(WineWindowWhenAProcedureFails, ADpiChangeLaysTheFormOutAgain) {
    FailingProgram program(L"");
    HWND form = program.Form();
    Click(OptionGlyph(Control(form, "Option1", 0)));
    Sleep(500);
    SendMessageW(form, WM_NULL, 0, 0);  // the click handled
    ASSERT_FALSE(program.ShownMessage()) << TextOf(GetDlgItem(program.ShownMessage(), 0xFFFF));
    ExpectLaidOut(form, 144);
    EXPECT_NE(SendMessageW(Control(form, "Option1", 0), BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
}  // namespace quorbel::testing

// The runtime reads the setting through this one function; this program links its own answer.
bool quorbel::win32::HighContrastRequested() { return quorbel::testing::highContrast; }

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CoInitialize(nullptr);
    return RUN_ALL_TESTS();
}
