// Builds the form's controls by walking the window layout, colours and lays them out at the
// window's DPI, adapts them to the control services and forwards their notifications as Click.
#include "platform/win32/win32_form.hpp"

#include <commctrl.h>

#include <array>
#include <memory>
#include <string>
#include <utility>

namespace quorbel::win32 {

namespace {

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

COLORREF ToColorRef(Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

// The per-monitor DPI functions exist from Windows 10 on; older systems get the system DPI.
template <typename Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT DpiOf(HWND window) {
    static const auto getDpiForWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow) return getDpiForWindow(window);
    HDC screen = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi;
}

void AdjustForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjust = User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (adjust)
        adjust(&rect, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

int SystemMetric(int index, UINT dpi) {
    static const auto forDpi = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

// Shown for an exception that is not a run-time error; nothing the program does should raise one.
constexpr char kUnexpectedError[] = "Грешка при изпълнение: неочаквана грешка.";

[[noreturn]] void ShowAndEnd(HWND owner, std::string_view caption, std::string_view message) {
    MessageBoxW(owner, Wide(message).c_str(), Wide(caption).c_str(), MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

// Nothing may unwind out of a window or subclass procedure into Windows' own frames (the i686
// program unwinds with DWARF tables, which end at user32's frames: an escaped exception would end
// the program without a word). Each procedure runs its work through this, which shows any
// exception the way the runtime shows a run-time error and ends the program with status 1. The
// message is shown inside the handler, while the exception that owns its text still exists.
template <typename Work>
LRESULT Guarded(HWND owner, std::string_view caption, Work&& work) noexcept {
    try {
        return work();
    } catch (const RuntimeError& error) {
        ShowAndEnd(owner, caption, error.what());
    } catch (...) {
        ShowAndEnd(owner, caption, kUnexpectedError);
    }
}

// A multi-line edit asks the dialog manager for every key, Tab included, and only hands Tab on when
// its parent is a dialog box; in this plain window Tab would stay in the text box for good.
// `formName` is the form's name, the caption of an error report.
LRESULT CALLBACK LetTabLeave(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR formName) {
    return Guarded(GetParent(edit), *reinterpret_cast<const std::string_view*>(formName), [&]() -> LRESULT {
        LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        if (message == WM_GETDLGCODE && lParam) {
            const MSG* key = reinterpret_cast<const MSG*>(lParam);
            if (key->message == WM_KEYDOWN && key->wParam == VK_TAB) result &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        }
        return result;
    });
}

class ListAdapter final : public ListBox {
public:
    explicit ListAdapter(HWND list) : list_(list) {}
    Index ListIndex() const override {
        return static_cast<Index>(SendMessageW(list_, LB_GETCURSEL, 0, 0));  // LB_ERR is -1
    }
    void SetListIndex(Index row) override {
        CheckListRow(row, Count(), true);
        // LB_SETCURSEL sends no LBN_SELCHANGE, so code's assignments raise no Click.
        if (row != ListIndex()) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    }
    std::string List(Index row) const override {
        CheckListRow(row, Count(), false);
        std::wstring text(static_cast<std::size_t>(SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0)),
                          L'\0');
        text.resize(static_cast<std::size_t>(SendMessageW(
            list_, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()))));
        return Narrow(text);
    }

private:
    int Count() const { return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0)); }
    HWND list_;
};

// An auto radio button has already checked itself when its BN_CLICKED arrives, so the group's
// record of its checked option (`checked`, the button's id or 0) tells a click that checked it
// from a click on the option that was checked already, which raises no Click.
class OptionAdapter final : public OptionButton {
public:
    OptionAdapter(HWND form, int id, int firstId, int lastId, int& checked)
        : form_(form), id_(id), firstId_(firstId), lastId_(lastId), checked_(checked) {}
    void SetValue(bool checked) override {
        // BM_SETCHECK leaves the rest of the group alone and sends no BN_CLICKED.
        if (!checked) {
            CheckDlgButton(form_, id_, BST_UNCHECKED);
            if (checked_ == id_) checked_ = 0;
        } else if (IsDlgButtonChecked(form_, id_) != BST_CHECKED) {
            CheckRadioButton(form_, firstId_, lastId_, id_);
            checked_ = id_;
        }
    }

private:
    HWND form_;
    int id_, firstId_, lastId_;
    int& checked_;
};

class TextAdapter final : public TextBox {
public:
    explicit TextAdapter(HWND edit) : edit_(edit) {}
    void SetText(std::string_view text) override { SetWindowTextW(edit_, Wide(text).c_str()); }

private:
    HWND edit_;
};

class Form {
public:
    Form(HINSTANCE instance, const WindowLayout& layout, FormEvents events)
        : instance_(instance), layout_(layout), events_(events),
          formBrush_(CreateSolidBrush(ToColorRef(layout.form.backColor))) {}
    ~Form() {
        for (Built& b : built_)
            if (b.brush) DeleteObject(b.brush);
        DeleteObject(formBrush_);
        if (font_) DeleteObject(font_);
        for (HICON icon : icons_)
            if (icon) DestroyIcon(icon);
    }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    bool Create(int showCommand, int iconGroup);
    int Loop();

private:
    struct Built {
        const ControlDescription* description;
        HWND window;
        HBRUSH brush;  // its own background, or null for the default
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildControls();
    void Layout(UINT dpi);
    void SetIcons(UINT dpi);
    const Built* Find(HWND control) const;
    HWND FirstFocusable() const;
    DWORD Style() const;

    HINSTANCE instance_;
    const WindowLayout& layout_;
    FormEvents events_;
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr;
    int checkedOptionId_ = 0;  // the option button the group last checked, 0 for none
    HBRUSH formBrush_;
    HFONT font_ = nullptr;
    int iconGroup_ = 0;
    std::array<HICON, 2> icons_{};  // big and small, made for the current DPI
    std::array<Built, std::tuple_size_v<decltype(WindowLayout::controls)>> built_{};
    ControlArrays arrays_;
};

DWORD Form::Style() const {
    // No WS_CLIPCHILDREN: the form paints the background inside the frame, which a group box leaves alone.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (!layout_.form.fixedSingleBorder) style |= WS_THICKFRAME;
    if (layout_.form.minButton) style |= WS_MINIMIZEBOX;
    if (layout_.form.maxButton) style |= WS_MAXIMIZEBOX;
    return style;
}

bool Form::Create(int showCommand, int iconGroup) {
    iconGroup_ = iconGroup;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(iconGroup));
    windowClass.lpszClassName = kFormClass;
    if (!RegisterClassExW(&windowClass)) return false;

    // Created hidden first, so that its DPI is known before anything is sized.
    window_ = CreateWindowExW(0, kFormClass, Wide(layout_.form.caption).c_str(), Style(), CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    if (!window_) return false;
    BuildControls();
    const UINT dpi = DpiOf(window_);
    Layout(dpi);
    SetIcons(dpi);

    RECT frame{0, 0, TwipsToPixels(layout_.form.clientWidth, static_cast<int>(dpi)),
               TwipsToPixels(layout_.form.clientHeight, static_cast<int>(dpi))};
    AdjustForDpi(frame, Style(), 0, dpi);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = CW_USEDEFAULT, top = CW_USEDEFAULT;
    if (layout_.form.centreOnScreen) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        left = (monitor.rcMonitor.left + monitor.rcMonitor.right - width) / 2;
        top = (monitor.rcMonitor.top + monitor.rcMonitor.bottom - height) / 2;
    }
    SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (HWND first = FirstFocusable()) SetFocus(first);
    return true;
}

void Form::BuildControls() {
    int firstOptionId = 0, lastOptionId = 0;
    for (std::size_t tab = 0; tab < layout_.controls.size(); ++tab) {
        const ControlDescription& c = layout_.controls[tab];
        if (c.kind == ControlKind::OptionButton) {
            if (!firstOptionId) firstOptionId = kFirstControlId + static_cast<int>(tab);
            lastOptionId = kFirstControlId + static_cast<int>(tab);
        }
    }

    bool previousWasOption = false;
    for (std::size_t tab = 0; tab < layout_.controls.size(); ++tab) {
        const ControlDescription& c = layout_.controls[tab];
        const int id = kFirstControlId + static_cast<int>(tab);
        const bool isOption = c.kind == ControlKind::OptionButton;
        // Every control starts a group of its own, except options that follow an option: arrow
        // keys move among those, Tab jumps over them.
        DWORD style = WS_CHILD | (c.hidden ? 0 : WS_VISIBLE) | (isOption && previousWasOption ? 0 : WS_GROUP);
        DWORD exStyle = 0;
        const wchar_t* windowClass = L"STATIC";
        switch (c.kind) {
            case ControlKind::TextBox:
                windowClass = L"EDIT";
                style |= WS_TABSTOP | ES_LEFT | (c.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL) |
                         (c.verticalScrollBar ? WS_VSCROLL : 0) | (c.readOnly ? ES_READONLY : 0);
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::Label:
                style |= (c.centredText ? SS_CENTER : SS_LEFT) | SS_NOPREFIX;
                break;
            case ControlKind::Frame:
                windowClass = L"BUTTON";
                style |= BS_GROUPBOX;
                break;
            case ControlKind::OptionButton:
                windowClass = L"BUTTON";
                style |= BS_AUTORADIOBUTTON | (previousWasOption ? 0 : WS_TABSTOP);
                break;
            case ControlKind::ListBox:
                windowClass = L"LISTBOX";
                style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
                exStyle = WS_EX_CLIENTEDGE;
                break;
        }
        previousWasOption = isOption;
        const std::wstring text = c.kind == ControlKind::ListBox ? std::wstring() : Wide(c.text);
        HWND control = CreateWindowExW(exStyle, windowClass, text.c_str(), style, 0, 0, 0, 0, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        switch (c.kind) {
            case ControlKind::TextBox:
                SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
                if (c.multiLine)
                    SetWindowSubclass(control, LetTabLeave, 0, reinterpret_cast<DWORD_PTR>(&layout_.form.name));
                arrays_.PlaceText1(c.index, std::make_unique<TextAdapter>(control));
                break;
            case ControlKind::OptionButton:
                arrays_.PlaceOption1(c.index, std::make_unique<OptionAdapter>(window_, id, firstOptionId, lastOptionId,
                                                                                  checkedOptionId_));
                break;
            case ControlKind::ListBox:
                for (std::string_view row : c.rows)
                    SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(row).c_str()));
                if (IsHintStore(c))
                    arrays_.PlaceList2(std::make_unique<ListAdapter>(control));
                else
                    arrays_.PlaceList1(c.index, std::make_unique<ListAdapter>(control));
                break;
            case ControlKind::Label:
            case ControlKind::Frame:
                break;
        }
        built_[tab] = {&c, control, c.background ? CreateSolidBrush(ToColorRef(*c.background)) : nullptr};
    }
}

// Places every control and sets the form's font for the given DPI: at start and whenever the
// window moves to a screen of another DPI.
void Form::Layout(UINT dpi) {
    const int scale = static_cast<int>(dpi);
    auto px = [scale](int twips) { return TwipsToPixels(twips, scale); };
    const FontDescription& f = layout_.form.font;
    HFONT font = CreateFontW(-MulDiv(f.points, scale, 72), 0, 0, 0, f.weight, f.italic, f.underline, f.strikeOut,
                             static_cast<DWORD>(f.charSet), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | (f.serif ? FF_ROMAN : FF_DONTCARE), Wide(f.family).c_str());
    const TwipsRect frame = Frame1Bounds(layout_);
    for (const Built& b : built_) {
        const ControlDescription& c = *b.description;
        const int left = c.bounds.left + (c.container == Container::Frame1 ? frame.left : 0);
        const int top = c.bounds.top + (c.container == Container::Frame1 ? frame.top : 0);
        MoveWindow(b.window, px(left), px(top), px(c.bounds.width), px(c.bounds.height), FALSE);
        SendMessageW(b.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (c.kind == ControlKind::ListBox && !c.rows.empty()) {
            RECT inner;
            GetClientRect(b.window, &inner);
            const int natural = static_cast<int>(SendMessageW(b.window, LB_GETITEMHEIGHT, 0, 0));
            const int fitted = FittedRowHeight(natural, inner.bottom - inner.top, static_cast<int>(c.rows.size()));
            if (fitted != natural) SendMessageW(b.window, LB_SETITEMHEIGHT, 0, fitted);
        }
    }
    if (font_) DeleteObject(font_);
    font_ = font;
    // Moved and given a new font without redrawing, the children would keep stale pixels.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window keeps its icons at the size of the current DPI; the ones they replace are destroyed.
void Form::SetIcons(UINT dpi) {
    constexpr std::array<std::pair<WPARAM, int>, 2> kinds{{{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}};
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const int size = SystemMetric(kinds[i].second, dpi);
        auto icon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(iconGroup_), IMAGE_ICON, size, size, 0));
        if (!icon) continue;
        SendMessageW(window_, WM_SETICON, kinds[i].first, reinterpret_cast<LPARAM>(icon));
        if (icons_[i]) DestroyIcon(icons_[i]);
        icons_[i] = icon;
    }
}

int Form::Loop() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);  // WM_QUIT
        if (got == -1) return 1;                                  // the queue failed: end, not spin
        // The dialog manager gives a plain window Tab, Shift+Tab and the arrow keys among options.
        if (IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK Form::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    return Guarded(window, form->layout_.form.name, [&] { return form->Handle(message, wParam, lParam); });
}

LRESULT Form::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, formBrush_);
            return 1;
        }
        case WM_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(wParam);
            const Built* b = Find(reinterpret_cast<HWND>(lParam));
            if (b && b->brush) {
                SetBkColor(dc, ToColorRef(*b->description->background));
                return reinterpret_cast<LRESULT>(b->brush);
            }
            // A read-only text box keeps the ordinary window background, not the grey of a disabled one.
            if (b && b->description->kind == ControlKind::TextBox) {
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        }
        case WM_COMMAND: {
            const Built* b = Find(reinterpret_cast<HWND>(lParam));
            if (!b || b->description->index == kNotInArray) break;
            const Index index = b->description->index;
            const WORD code = HIWORD(wParam);
            if (b->description->kind == ControlKind::ListBox && code == LBN_SELCHANGE &&
                arrays_.Services().List1(index).ListIndex() != kNoRow)
                events_.list1Click(arrays_.Services(), index);
            else if (b->description->kind == ControlKind::OptionButton && code == BN_CLICKED &&
                     SendMessageW(b->window, BM_GETCHECK, 0, 0) == BST_CHECKED &&
                     std::exchange(checkedOptionId_, GetDlgCtrlID(b->window)) != GetDlgCtrlID(b->window))
                events_.option1Click(arrays_.Services(), index);
            return 0;
        }
        case WM_ACTIVATE:
            // Keep the focus where the user left it when the window is deactivated and comes back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                lastFocus_ = GetFocus();
            } else {
                HWND target = lastFocus_ && IsChild(window_, lastFocus_) ? lastFocus_ : FirstFocusable();
                if (target) SetFocus(target);
            }
            return 0;
        case WM_DPICHANGED: {
            Layout(HIWORD(wParam));
            SetIcons(HIWORD(wParam));
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

const Form::Built* Form::Find(HWND control) const {
    for (const Built& b : built_)
        if (control && b.window == control) return &b;
    return nullptr;
}

HWND Form::FirstFocusable() const {
    for (const Built& b : built_)
        if (b.description && TakesFocus(*b.description)) return b.window;
    return nullptr;
}

}  // namespace

int Run(HINSTANCE instance, int showCommand, const WindowLayout& layout, FormEvents events, int iconGroup) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    Form form(instance, layout, events);
    if (!form.Create(showCommand, iconGroup)) return 1;
    return form.Loop();
}

}  // namespace quorbel::win32
