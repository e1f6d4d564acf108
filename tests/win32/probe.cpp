// A Windows console program the tests run beside Quorbel.exe: it finds the form's window and writes
// what its controls hold, read with the controls' own messages, to a file (one fact a line, UTF-8).
// Text is measured in each control's own font, so that a test can tell whether any is cut.
//   quorbel_probe OUT.txt [SECONDS] [dismiss]   waits up to SECONDS (default 30) for the window to
//   appear; with `dismiss`, an open message box of the program is answered with OK after it is read
//   quorbel_probe --icon PROGRAM.exe OUT.txt   draws the icon of group 1 in PROGRAM.exe as Windows
//   draws title bars and taskbar buttons, onto white and onto black, and writes
//   "icon WIDTH HEIGHT masked N changed ON_WHITE ON_BLACK": how many pixels the mask leaves
//   transparent, and how many of those differ from the background after drawing
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win32/win32_form.hpp"

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// Line breaks are written as \r and \n so that every fact stays on one line.
std::string Escaped(const std::wstring& wide) {
    std::string out;
    for (char c : Utf8(wide)) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

struct Output {
    FILE* file;
    HWND form;
    HWND dialog = nullptr;  // the message box described, if any
};

// The size of a text in the control's own font, as the control would draw it on one line.
SIZE Extent(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// A message box the program shows: "dialog CAPTION<TAB>TEXT".
BOOL CALLBACK DescribeDialog(HWND window, LPARAM context) {
    auto* out = reinterpret_cast<Output*>(context);
    wchar_t windowClass[16] = {};
    GetClassNameW(window, windowClass, 16);
    DWORD process = 0, formProcess = 0;
    GetWindowThreadProcessId(window, &process);
    GetWindowThreadProcessId(out->form, &formProcess);
    // Without a form (a start that failed) any message box counts.
    if ((out->form && process != formProcess) || wcscmp(windowClass, L"#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    std::fprintf(out->file, "dialog %s\t%s\n", Escaped(WindowText(window)).c_str(),
                 Escaped(WindowText(GetDlgItem(window, 0xFFFF))).c_str());
    out->dialog = window;
    return TRUE;
}
BOOL CALLBACK Describe(HWND control, LPARAM context) {
    auto* out = reinterpret_cast<Output*>(context);
    if (GetParent(control) != out->form) return TRUE;
    const int id = GetDlgCtrlID(control);
    wchar_t windowClass[64] = {};
    GetClassNameW(control, windowClass, 64);
    RECT r;
    GetWindowRect(control, &r);
    RECT inner;
    GetClientRect(control, &inner);
    const SIZE text = Extent(control, WindowText(control));
    std::fprintf(out->file, "control %d %s visible %d rect %ld %ld %ld %ld inner %ld %ld extent %ld %ld\n", id,
                 Utf8(windowClass).c_str(), IsWindowVisible(control) ? 1 : 0, r.left, r.top, r.right - r.left,
                 r.bottom - r.top, inner.right, inner.bottom, text.cx, text.cy);
    const std::wstring cls = windowClass;
    if (_wcsicmp(cls.c_str(), L"ListBox") == 0) {
        const auto count = SendMessageW(control, LB_GETCOUNT, 0, 0);
        SCROLLBARINFO bar{};
        bar.cbSize = sizeof bar;
        const bool scrollBar = GetScrollBarInfo(control, OBJID_VSCROLL, &bar) && !(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
        std::fprintf(out->file, "list %d sel %d count %d scrollbar %d top %d itemheight %d\n", id,
                     static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0)), static_cast<int>(count),
                     scrollBar ? 1 : 0, static_cast<int>(SendMessageW(control, LB_GETTOPINDEX, 0, 0)),
                     static_cast<int>(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0)));
        for (int row = 0; row < count; ++row) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(control, LB_GETTEXTLEN, row, 0)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(SendMessageW(control, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
            std::fprintf(out->file, "item %d %d %s\n", id, row, Escaped(text).c_str());
            const SIZE size = Extent(control, text);
            std::fprintf(out->file, "itemextent %d %d %ld %ld\n", id, row, size.cx, size.cy);
        }
    } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
        std::fprintf(out->file, "check %d %d\n", id, static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0)));
        std::fprintf(out->file, "text %d %s\n", id, Escaped(WindowText(control)).c_str());
    } else {
        std::fprintf(out->file, "text %d %s\n", id, Escaped(WindowText(control)).c_str());
    }
    if (_wcsicmp(cls.c_str(), L"Edit") == 0) {
        DWORD start = 0, end = 0;
        SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        std::fprintf(out->file, "edit %d sel %lu %lu lines %d\n", id, start, end,
                     static_cast<int>(SendMessageW(control, EM_GETLINECOUNT, 0, 0)));
    } else if (_wcsicmp(cls.c_str(), L"Static") == 0 && IsWindowVisible(control)) {
        // Where the label's text is drawn: the first and last column, across its middle rows, whose
        // colour differs from the label's background at its top-left corner. Read from the screen:
        // another process's window surface cannot be read through its own DC.
        HDC dc = GetDC(nullptr);
        HDC copy = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, inner.right, inner.bottom);
        HGDIOBJ old = SelectObject(copy, bitmap);
        BitBlt(copy, 0, 0, inner.right, inner.bottom, dc, r.left, r.top, SRCCOPY);
        const COLORREF background = GetPixel(copy, 0, 0);
        long first = -1, last = -1;
        for (long x = 0; x < inner.right; ++x)
            for (long y = inner.bottom / 4; y < inner.bottom * 3 / 4; ++y)
                if (GetPixel(copy, x, y) != background) {
                    if (first < 0) first = x;
                    last = x;
                }
        SelectObject(copy, old);
        DeleteObject(bitmap);
        DeleteDC(copy);
        ReleaseDC(nullptr, dc);
        std::fprintf(out->file, "ink %d %ld %ld\n", id, first, last);
    }
    return TRUE;
}

// Every pixel of a 32-bit top-down DIB section; the bits live as long as the bitmap.
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    std::uint32_t* pixels;
    Canvas(HDC screen, int width, int height) : dc(CreateCompatibleDC(screen)), bitmap(nullptr), pixels(nullptr) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<std::uint32_t*>(bits);
        SelectObject(dc, bitmap);
    }
    ~Canvas() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

int DrawProgramIcon(const wchar_t* program, const wchar_t* outPath) {
    HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return 4;
    auto* icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    ICONINFO info{};
    BITMAP size{};
    if (!icon || !GetIconInfo(icon, &info) || !GetObjectW(info.hbmMask, sizeof size, &size)) return 5;
    const int width = size.bmWidth, height = info.hbmColor ? size.bmHeight : size.bmHeight / 2;
    HDC screen = GetDC(nullptr);
    // The mask read as colours: white where the icon is transparent.
    Canvas mask(screen, width, height);
    BITMAPINFO read{};
    read.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(mask.dc, info.hbmMask, 0, static_cast<UINT>(height), mask.pixels, &read, DIB_RGB_COLORS);
    int masked = 0, changed[2] = {0, 0};
    const std::uint32_t backgrounds[2] = {0xFFFFFF, 0x000000};
    for (int b = 0; b < 2; ++b) {
        Canvas canvas(screen, width, height);
        std::fill(canvas.pixels, canvas.pixels + width * height, backgrounds[b]);
        DrawIconEx(canvas.dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        GdiFlush();
        masked = 0;
        for (int i = 0; i < width * height; ++i) {
            if ((mask.pixels[i] & 0xFFFFFF) == 0) continue;
            ++masked;
            if ((canvas.pixels[i] & 0xFFFFFF) != backgrounds[b]) ++changed[b];
        }
    }
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DestroyIcon(icon);
    FreeLibrary(module);
    FILE* file = _wfopen(outPath, L"wb");
    if (!file) return 3;
    std::fprintf(file, "icon %d %d masked %d changed %d %d\n", width, height, masked, changed[0], changed[1]);
    std::fclose(file);
    return 0;
}

// The form, its state and every control on it.
void DescribeForm(Output& out) {
    HWND form = out.form;
    FILE* file = out.file;
    RECT window, client;
    GetWindowRect(form, &window);
    GetClientRect(form, &client);
    POINT origin{0, 0};
    ClientToScreen(form, &origin);
    std::fprintf(file, "window %ld %ld %ld %ld\n", window.left, window.top, window.right - window.left, window.bottom - window.top);
    std::fprintf(file, "client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    std::fprintf(file, "style %lx\n", static_cast<unsigned long>(GetWindowLongW(form, GWL_STYLE)));
    std::fprintf(file, "title %s\n", Escaped(WindowText(form)).c_str());
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &thread);
    std::fprintf(file, "focus %d\n", thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : -1);
    EnumChildWindows(form, Describe, reinterpret_cast<LPARAM>(&out));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    if (wcscmp(argv[1], L"--icon") == 0) return argc == 4 ? DrawProgramIcon(argv[2], argv[3]) : 2;
    // Aware of DPI itself, so that Windows reports the program's pixels as they are, not scaled.
    SetProcessDPIAware();
    const int seconds = argc > 2 ? _wtoi(argv[2]) : 30;
    const bool dismiss = argc > 3 && wcscmp(argv[3], L"dismiss") == 0;
    HWND form = nullptr;
    for (int waited = 0; !form && waited <= seconds * 10; ++waited) {
        form = FindWindowW(quorbel::win32::kFormClass, nullptr);
        if (form && !IsWindowVisible(form)) form = nullptr;  // still being built
        if (!form) Sleep(100);
    }
    FILE* file = _wfopen(argv[1], L"wb");
    if (!file) return 3;
    Output out{file, form};
    if (form)
        DescribeForm(out);
    else
        std::fprintf(file, "missing\n");
    EnumWindows(DescribeDialog, reinterpret_cast<LPARAM>(&out));
    std::fclose(file);
    // Only a message box that was read is answered, never one that appeared since.
    if (dismiss && out.dialog) PostMessageW(out.dialog, WM_COMMAND, IDOK, 0);
    return form ? 0 : 1;
}
