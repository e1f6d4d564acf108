// The references for the Windows start-up figures: a bare Win32 window with the program's client
// size showing one short line of Cyrillic text, with no C++ runtime to speak of. Built as it is, the
// line is in the default GUI font and the program has no manifest; built with FAIR_REFERENCE (and
// the program's manifest linked in), it is aware of each monitor's DPI, uses common controls 6 and
// shows the line in the program's font, Times New Roman 12 pt, at the window's DPI: what any window
// like the program's pays before it shows anything.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"Reference";
    RegisterClassW(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, 428, 379};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowW(L"Reference", L"Reference", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    HWND line = CreateWindowW(L"STATIC", L"\u041b\u043e\u0433\u0438\u043a\u0430 - \u0442\u0435\u0441\u0442",
                              WS_CHILD | WS_VISIBLE, 8, 8, 200, 20, window, nullptr, instance, nullptr);
#ifdef FAIR_REFERENCE
    HDC screen = GetDC(window);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(window, screen);
    HFONT font = CreateFontW(-MulDiv(12, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                             L"Times New Roman");
#else
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
#endif
    SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(window, showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
