// Builds the form's controls by walking the window layout, colours and lays them out at the
// window's DPI, adapts them to the control services and forwards their notifications as Click.
#include "platform/win32/win32_form.hpp"

#include <commctrl.h>

#include <array>
#include <memory>
#include <utility>

#include "platform/win32/win32_accessibility.hpp"
#include "platform/win32/win32_contrast.hpp"
#include "platform/win32/win32_failure.hpp"
#include "platform/win32/win32_text.hpp"
#include "window/control_arrays.hpp"

namespace quorbel::win32 {

namespace {

COLORREF ToColorRef(Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

// The per-monitor DPI functions exist from Windows 10 on; older systems get the system DPI.
template <typename Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The system's DPI: the primary screen's, which a window opened there has.
UINT SystemDpi() {
    static const auto getDpiForSystem = User32<UINT(WINAPI*)()>("GetDpiForSystem");
    if (getDpiForSystem) return getDpiForSystem();
    HDC screen = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi;
}

UINT DpiOf(HWND window) {
    static const auto getDpiForWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    return getDpiForWindow ? getDpiForWindow(window) : SystemDpi();
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

// A multi-line edit asks the dialog manager for every key, Tab included, and only hands Tab on when
// its parent is a dialog box; in this plain window Tab would stay in the text box for good.
LRESULT CALLBACK LetTabLeave(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
    if (message == WM_GETDLGCODE && lParam) {
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        if (key->message == WM_KEYDOWN && key->wParam == VK_TAB) result &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    return result;
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
    Text List(Index row) const override {
        CheckListRow(row, Count(), false);
        const auto length = SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
        const auto wide = std::make_unique<wchar_t[]>(static_cast<std::size_t>(length) + 1);
        const auto got = SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(wide.get()));
        return Narrow(wide.get(), static_cast<int>(got));
    }

private:
    int Count() const { return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0)); }
    HWND list_;
};

class OptionAdapter final : public OptionButton {
public:
    OptionAdapter(HWND form, int id, int firstId, int lastId) : form_(form), id_(id), firstId_(firstId), lastId_(lastId) {}
    void SetValue(bool checked) override {
        // BM_SETCHECK leaves the rest of the group alone and sends no BN_CLICKED.
        if (!checked)
            CheckDlgButton(form_, id_, BST_UNCHECKED);
        else if (IsDlgButtonChecked(form_, id_) != BST_CHECKED)
            CheckRadioButton(form_, firstId_, lastId_, id_);
    }

private:
    HWND form_;
    int id_, firstId_, lastId_;
};

class TextAdapter final : public TextBox {
public:
    explicit TextAdapter(HWND edit) : edit_(edit) {}
    void SetText(std::string_view text) override {
        SetWindowTextW(edit_, WideText(text).c_str());
        AnnounceNewText(edit_);
    }

private:
    HWND edit_;
};

}  // namespace

class Form {
public:
    Form(HINSTANCE instance, const WindowLayout& layout, FormEvents events)
        : instance_(instance), layout_(layout), events_(events),
          formBrush_(CreateSolidBrush(ToColorRef(layout.form.backColor))) {}
    ~Form() {
        // Run's window has gone when its loop ends; a test's goes here, before what it draws with.
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
        UnregisterClassW(kFormClass, instance_);
        for (Built& b : built_)
            if (b.brush) DeleteObject(b.brush);
        DeleteObject(formBrush_);
        if (font_) DeleteObject(font_);
        for (HICON icon : icons_)
            if (icon) DestroyIcon(icon);
    }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    void Create(int showCommand, int iconGroup);
    int Loop();
    void HandleWaiting();
    HWND Window() const { return window_; }

private:
    struct Built {
        const ControlDescription* description;
        HWND window;
        HBRUSH brush;  // its own background, or null for the default
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Dispatch(MSG& message);
    void BuildControls(UINT dpi, bool hidden);
    HFONT FormFont(UINT dpi) const;
    RECT Place(const ControlDescription& c, UINT dpi) const;
    RECT Bounds(UINT dpi) const;
    HICON Icon(int metric, UINT dpi, UINT flags) const;
    void FitRows(const Built& b) const;
    void Layout(UINT dpi);
    void SetIcons(UINT dpi);
    const Built* Find(HWND control) const;
    HWND FirstFocusable() const;
    int CheckedOptionId() const;
    DWORD Style() const;

    HINSTANCE instance_;
    const WindowLayout& layout_;
    FormEvents events_;
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr;
    // The option checked when the last event was handled, 0 for none. An auto radio button has
    // already checked itself when its BN_CLICKED arrives: this tells a click that checked it from a
    // click on the option that was checked already, which raises no Click.
    int checkedOptionId_ = 0;
    bool highContrast_ = HighContrastRequested();
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

void Form::Create(int showCommand, int iconGroup) {
    iconGroup_ = iconGroup;
    // The form opens on the primary screen: it is made at once at its size and place for that
    // screen's DPI, with the class's icons made for it too. Only a window that finds itself at
    // another DPI is sized again and given icons of its own.
    const UINT systemDpi = SystemDpi();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    // The small icon is left to Windows, which makes it from the big one's group at its own size:
    // a shared icon asked for at the small size would be the big one already loaded.
    windowClass.hIcon = Icon(SM_CXICON, systemDpi, LR_SHARED);
    windowClass.lpszClassName = kFormClass;
    if (!RegisterClassExW(&windowClass)) FailedTo("не може да се регистрира класът на формата");

    RECT place = Bounds(systemDpi);
    window_ = CreateWindowExW(0, kFormClass, WideText(layout_.form.caption).c_str(), Style(), place.left, place.top,
                              place.right - place.left, place.bottom - place.top, nullptr, nullptr, instance_, this);
    if (!window_) FailedTo("не може да се създаде формата");
    ShowFailuresOver(window_, layout_.form.name);
    const UINT dpi = DpiOf(window_);
    if (dpi != systemDpi) {
        place = Bounds(dpi);
        SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | (layout_.form.centreOnScreen ? 0 : SWP_NOMOVE));
        SetIcons(dpi);
    }
    font_ = FormFont(dpi);
    BuildControls(dpi, false);
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (HWND first = FirstFocusable()) SetFocus(first);
    // The hidden controls show nothing, so the window does not wait for them: they are made once it
    // has drawn itself, before it takes any input.
    BuildControls(dpi, true);
}

// The form's outer rectangle at a DPI: its client size, centred on the primary screen, or where
// Windows places a new window (left at CW_USEDEFAULT) when the layout does not centre it.
RECT Form::Bounds(UINT dpi) const {
    RECT frame{0, 0, TwipsToPixels(layout_.form.clientWidth, static_cast<int>(dpi)),
               TwipsToPixels(layout_.form.clientHeight, static_cast<int>(dpi))};
    AdjustForDpi(frame, Style(), 0, dpi);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    POINT at{CW_USEDEFAULT, 0};
    if (layout_.form.centreOnScreen) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
        at = {(monitor.rcMonitor.left + monitor.rcMonitor.right - width) / 2,
              (monitor.rcMonitor.top + monitor.rcMonitor.bottom - height) / 2};
    }
    return {at.x, at.y, at.x + width, at.y + height};
}

// Makes the controls the layout shows, or those it hides.
void Form::BuildControls(UINT dpi, bool hidden) {
    int firstOptionId = 0, lastOptionId = 0;
    for (std::size_t tab = 0; tab < layout_.controls.size(); ++tab) {
        const ControlDescription& c = layout_.controls[tab];
        if (c.kind == ControlKind::OptionButton) {
            if (!firstOptionId) firstOptionId = kFirstControlId + static_cast<int>(tab);
            lastOptionId = kFirstControlId + static_cast<int>(tab);
        }
    }

    for (std::size_t tab = 0; tab < layout_.controls.size(); ++tab) {
        const ControlDescription& c = layout_.controls[tab];
        // The labels that only name a control are hidden, so made with the hidden controls.
        if (hidden && NeedsNamingLabel(layout_, tab) &&
            !PlaceNamingLabel(window_, built_[tab].window, WideText(AccessibleName(layout_, tab)).c_str()))
            FailedTo("не може да се създаде името на контрола");
        if (c.hidden != hidden) continue;
        const int id = kFirstControlId + static_cast<int>(tab);
        const bool isOption = c.kind == ControlKind::OptionButton;
        const bool previousWasOption = tab > 0 && layout_.controls[tab - 1].kind == ControlKind::OptionButton;
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
        // Made in its place and given the font before its text, so that a text box lays out its
        // text once, at its own width, and a list measures its rows once.
        const bool textLater = c.kind == ControlKind::ListBox || c.kind == ControlKind::TextBox;
        const WideText text(textLater ? std::string_view() : c.text);
        const RECT at = Place(c, dpi);
        HWND control = CreateWindowExW(exStyle | WS_EX_NOPARENTNOTIFY, windowClass, text.c_str(), style, at.left,
                                       at.top, at.right - at.left, at.bottom - at.top, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        if (!control) {
            FailureMessage what("не може да се създаде ");
            what << c.name;
            if (c.index != kNotInArray) what << "(" << long{c.index} << ")";
            FailedTo(what.View());
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        switch (c.kind) {
            case ControlKind::TextBox:
                SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
                SetWindowTextW(control, WideText(c.text).c_str());
                if (c.multiLine) SetWindowSubclass(control, LetTabLeave, 0, 0);
                arrays_.PlaceText1(c.index, std::make_unique<TextAdapter>(control));
                break;
            case ControlKind::OptionButton:
                arrays_.PlaceOption1(c.index, std::make_unique<OptionAdapter>(window_, id, firstOptionId, lastOptionId));
                break;
            case ControlKind::ListBox:
                for (std::string_view row : c.rows)
                    SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(row).c_str()));
                arrays_.PlaceListBox(c, std::make_unique<ListAdapter>(control));
                break;
            case ControlKind::Label:
            case ControlKind::Frame:
                break;
        }
        built_[tab] = {&c, control, c.background ? CreateSolidBrush(ToColorRef(*c.background)) : nullptr};
        FitRows(built_[tab]);
    }
}

// The form's font at the given DPI.
HFONT Form::FormFont(UINT dpi) const {
    const FontDescription& f = layout_.form.font;
    return CreateFontW(-MulDiv(f.points, static_cast<int>(dpi), 72), 0, 0, 0, f.weight, f.italic, f.underline,
                       f.strikeOut, static_cast<DWORD>(f.charSet), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | (f.serif ? FF_ROMAN : FF_DONTCARE), WideText(f.family).c_str());
}

// A control's place on the form in pixels at the given DPI.
RECT Form::Place(const ControlDescription& c, UINT dpi) const {
    auto px = [dpi](int twips) { return TwipsToPixels(twips, static_cast<int>(dpi)); };
    const TwipsRect frame = Frame1Bounds(layout_);
    const int left = c.bounds.left + (c.container == Container::Frame1 ? frame.left : 0);
    const int top = c.bounds.top + (c.container == Container::Frame1 ? frame.top : 0);
    return {px(left), px(top), px(left) + px(c.bounds.width), px(top) + px(c.bounds.height)};
}

// A shown list's rows, shrunk should the font that stands in be taller than the list holds.
void Form::FitRows(const Built& b) const {
    if (b.description->kind != ControlKind::ListBox || b.description->hidden) return;
    RECT inner;
    GetClientRect(b.window, &inner);
    const int natural = static_cast<int>(SendMessageW(b.window, LB_GETITEMHEIGHT, 0, 0));
    const int fitted = FittedRowHeight(natural, inner.bottom - inner.top, static_cast<int>(b.description->rows.size()));
    if (fitted != natural) SendMessageW(b.window, LB_SETITEMHEIGHT, 0, fitted);
}

// Places every control again and gives it the font for another DPI, when the window moves to a
// screen of another DPI. The hidden controls are made after the window first draws itself, and
// until then their slots are empty: every walk over the controls skips an empty slot, and the
// procedures, which reach every control, can run only once the message loop does, after all exist.
void Form::Layout(UINT dpi) {
    HFONT font = FormFont(dpi);
    for (const Built& b : built_) {
        if (!b.window) continue;
        const RECT at = Place(*b.description, dpi);
        MoveWindow(b.window, at.left, at.top, at.right - at.left, at.bottom - at.top, FALSE);
        SendMessageW(b.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        FitRows(b);
    }
    if (font_) DeleteObject(font_);
    font_ = font;
    // Moved and given a new font without redrawing, the children would keep stale pixels.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The program's icon at the size METRIC has at DPI.
HICON Form::Icon(int metric, UINT dpi, UINT flags) const {
    const int size = SystemMetric(metric, dpi);
    return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(iconGroup_), IMAGE_ICON, size, size, flags));
}

// The window keeps icons of its own at the size of the current DPI; the ones they replace are destroyed.
void Form::SetIcons(UINT dpi) {
    constexpr std::array<std::pair<WPARAM, int>, 2> kinds{{{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}};
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        HICON icon = Icon(kinds[i].second, dpi, 0);
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
        if (got == -1) FailedTo("не може да се получи съобщение");  // the queue failed: end, not spin
        Dispatch(message);
    }
}

// The messages waiting, as the loop handles them; a quit is for the loop alone.
void Form::HandleWaiting() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) Dispatch(message);
}

void Form::Dispatch(MSG& message) {
    // The dialog manager gives a plain window Tab, Shift+Tab and the arrow keys among options.
    if (IsDialogMessageW(window_, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

LRESULT CALLBACK Form::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    return form->Handle(message, wParam, lParam);
}

LRESULT Form::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, FormBackground(highContrast_, formBrush_));
            return 1;
        }
        case WM_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(wParam);
            const Built* b = Find(reinterpret_cast<HWND>(lParam));
            if (b && b->brush && !highContrast_) {
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
            // Windows sends no notification for the program's own assignments, so none is nested.
            const int id = GetDlgCtrlID(b->window);
            if (b->description->kind == ControlKind::ListBox && code == LBN_SELCHANGE)
                DeliverClick(events_, arrays_.Services(), ClickOf::List1, index);
            else if (b->description->kind == ControlKind::OptionButton && code == BN_CLICKED &&
                     IsDlgButtonChecked(window_, id) == BST_CHECKED && id != checkedOptionId_)
                DeliverClick(events_, arrays_.Services(), ClickOf::Option1, index);
            else
                return 0;
            checkedOptionId_ = CheckedOptionId();  // the user's click, or what the procedure checked
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
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE: {
            // High contrast switched on or off, or the system's colours changed while it is on.
            const bool was = std::exchange(highContrast_, HighContrastRequested());
            if (was || highContrast_) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            break;
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

int Form::CheckedOptionId() const {
    for (const Built& b : built_)
        if (b.window && b.description->kind == ControlKind::OptionButton &&
            SendMessageW(b.window, BM_GETCHECK, 0, 0) == BST_CHECKED)
            return GetDlgCtrlID(b.window);
    return 0;
}

HWND Form::FirstFocusable() const {
    for (const Built& b : built_)
        if (b.window && TakesFocus(*b.description)) return b.window;
    return nullptr;
}

namespace {
void Prepare(const WindowLayout& layout) {
    ShowFailuresOver(nullptr, layout.form.name);
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
}
}  // namespace

int Run(HINSTANCE instance, int showCommand, const WindowLayout& layout, FormEvents events, int iconGroup) {
    Prepare(layout);
    Form form(instance, layout, events);
    form.Create(showCommand, iconGroup);
    return form.Loop();
}

OpenForm::OpenForm(HINSTANCE instance, const WindowLayout& layout, FormEvents events, int iconGroup) {
    Prepare(layout);
    form_ = std::make_unique<Form>(instance, layout, events);
    form_->Create(SW_SHOWNORMAL, iconGroup);
}
OpenForm::~OpenForm() = default;
HWND OpenForm::Window() const { return form_->Window(); }
void OpenForm::HandleWaiting() { form_->HandleWaiting(); }

}  // namespace quorbel::win32
