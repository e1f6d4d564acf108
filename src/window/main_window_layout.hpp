// The program's only window as data: the form's properties and its eighteen controls in tab order.
// Every runtime builds its window by walking this description; nothing else positions a control.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "content/house_table.hpp"
#include "content/texts.hpp"
#include "window/control_services.hpp"

namespace quorbel {

// Positions and sizes are in twips: 1/1440 inch, 15 twips to a pixel at 96 DPI.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

enum class ControlKind { TextBox, Label, Frame, OptionButton, ListBox };

// Where a control's position is measured from: the form's client area, or Frame1's outer corner
// (its caption band included).
enum class Container { Form, Frame1 };

struct FontDescription {
    std::string_view family;
    int points;
    int weight;
    bool italic;
    bool underline;
    bool strikeOut;
    int charSet;  // 204 is Cyrillic.
    bool serif;   // where the family is missing, a serif face stands in
};

struct FormDescription {
    std::string_view name;
    std::string_view caption;
    Rgb backColor;
    bool fixedSingleBorder;  // the user cannot resize the window
    bool maxButton;
    bool minButton;
    int clientWidth;
    int clientHeight;
    FontDescription font;  // every control shows its text in this font
    bool centreOnScreen;
};

struct ControlDescription {
    ControlKind kind;
    std::string_view name;
    Index index;  // its Index in a control array, or kNotInArray
    Container container;
    TwipsRect bounds;
    std::string_view text;                      // caption, or a text box's contents
    std::span<const std::string_view> rows;     // a list box's rows, in order
    std::optional<Rgb> background;              // nullopt keeps the runtime's default
    bool hidden = false;
    bool multiLine = false;
    bool verticalScrollBar = false;
    bool readOnly = false;
    bool centredText = false;
    bool heading = false;                       // the window's title, a heading to a screen reader
    std::string_view accessibleName = {};       // for a control no label names and no caption names
};

inline constexpr Index kNotInArray = -1;

struct WindowLayout {
    FormDescription form;
    // In TabIndex order: the position in this array is the control's TabIndex.
    std::array<ControlDescription, 18> controls;
};

namespace layout_data {
inline constexpr auto kColumnRows = [] {
    std::array<std::array<std::string_view, kHouseCount>, kAttributeCount> columns{};
    for (AttributeColumn c = 0; c < kAttributeCount; ++c)
        columns[static_cast<std::size_t>(c)] = AttributeRows(c);
    return columns;
}();
inline constexpr Rgb kLabelBack{255, 192, 128};
inline constexpr Rgb kFormBack{192, 192, 255};

constexpr ControlDescription TextBoxAt(Index index, TwipsRect bounds, std::string_view text,
                                       bool hidden, std::string_view accessibleName = {}) {
    return {.kind = ControlKind::TextBox, .name = "Text1", .index = index,
            .container = Container::Form, .bounds = bounds, .text = text, .rows = {},
            .background = std::nullopt, .hidden = hidden, .multiLine = true,
            .verticalScrollBar = true, .readOnly = true, .accessibleName = accessibleName};
}
constexpr ControlDescription HeadingAt(Index index, TwipsRect bounds, std::string_view text) {
    return {.kind = ControlKind::Label, .name = "Label1", .index = index,
            .container = Container::Form, .bounds = bounds, .text = text, .rows = {},
            .background = kLabelBack, .centredText = true};
}
constexpr ControlDescription OptionAt(HouseIndex house, int left, int width) {
    const House& h = HouseTable[static_cast<std::size_t>(house)];
    return {.kind = ControlKind::OptionButton, .name = "Option1", .index = static_cast<Index>(house),
            .container = Container::Frame1, .bounds = {left, 360, width, 375},
            .text = h.colourCaption, .rows = {}, .background = h.optionBackground};
}
// A heading label and the attribute list under it share left edge and width.
constexpr ControlDescription AttributeHeading(AttributeColumn column, int left, int width) {
    return HeadingAt(static_cast<Index>(column + 1), {left, 1680, width, 375},
                     AttributeHeadings[static_cast<std::size_t>(column)]);
}
constexpr ControlDescription AttributeList(AttributeColumn column, int left, int width) {
    return {.kind = ControlKind::ListBox, .name = "List1", .index = static_cast<Index>(column),
            .container = Container::Form, .bounds = {left, 2040, width, 1485}, .text = {},
            .rows = kColumnRows[static_cast<std::size_t>(column)], .background = std::nullopt};
}
}  // namespace layout_data

inline constexpr WindowLayout MainWindowLayout{
    .form = {.name = "Quorbel",
             .caption = WindowCaption,
             .backColor = layout_data::kFormBack,
             .fixedSingleBorder = true,
             .maxButton = false,
             .minButton = false,
             .clientWidth = 6420,
             .clientHeight = 5685,
             .font = {.family = "Times New Roman", .points = 12, .weight = 400, .italic = false,
                      .underline = false, .strikeOut = false, .charSet = 204, .serif = true},
             .centreOnScreen = true},
    .controls = {{
        layout_data::TextBoxAt(0, {120, 3600, 6135, 1815}, StatementText, false, TextAreaName),
        // Lies partly outside the client area over Text1(0), which is why it stays hidden.
        layout_data::TextBoxAt(1, {480, 3720, 6735, 1815}, EpigraphText, true),
        [] {
            ControlDescription title = layout_data::HeadingAt(0, {960, 0, 4575, 375}, TitleText);
            title.heading = true;
            return title;
        }(),
        {.kind = ControlKind::Frame, .name = "Frame1", .index = kNotInArray,
         .container = Container::Form, .bounds = {120, 480, 5775, 975}, .text = FrameCaption,
         .rows = {}, .background = layout_data::kFormBack},
        layout_data::OptionAt(0, 120, 975),
        layout_data::OptionAt(1, 1200, 975),
        layout_data::OptionAt(2, 2280, 1215),
        layout_data::OptionAt(3, 3600, 1095),
        layout_data::OptionAt(4, 4800, 855),
        layout_data::AttributeHeading(0, 360, 1455),
        layout_data::AttributeList(0, 360, 1455),
        layout_data::AttributeHeading(1, 1920, 855),
        layout_data::AttributeList(1, 1920, 855),
        layout_data::AttributeHeading(2, 2880, 1095),
        layout_data::AttributeList(2, 2880, 1095),
        layout_data::AttributeHeading(3, 4080, 1095),
        layout_data::AttributeList(3, 4080, 1095),
        {.kind = ControlKind::ListBox, .name = "List2", .index = kNotInArray,
         .container = Container::Form, .bounds = {5400, 1680, 975, 1770}, .text = {},
         .rows = HintTexts, .background = std::nullopt, .hidden = true},
    }},
};

// Rules every runtime follows as it builds the window from the description.

// Twips to pixels at the given DPI, rounded to nearest (15 twips a pixel at 96 DPI).
constexpr int TwipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

// Logical pixels, 96 to the inch, for toolkits that scale to the screen themselves (Qt, CSS).
constexpr int LogicalPixels(int twips) { return TwipsToPixels(twips, 96); }

// The hidden list the handlers read the hint texts from: the one list box outside the List1 array.
constexpr bool IsHintStore(const ControlDescription& c) {
    return c.kind == ControlKind::ListBox && c.index == kNotInArray;
}

// Labels and the frame never take the focus, nor does a hidden control.
constexpr bool TakesFocus(const ControlDescription& c) {
    return !c.hidden && c.kind != ControlKind::Label && c.kind != ControlKind::Frame;
}

// The label that names a control for assistive technology and gives it its access key: the label
// just before it in tab order, when the control takes the focus. Returns the label's TabIndex, or
// the number of controls when none names it.
constexpr std::size_t NamingLabel(const WindowLayout& layout, std::size_t control) {
    const std::size_t none = layout.controls.size();
    if (control == 0 || control >= none || !TakesFocus(layout.controls[control])) return none;
    return layout.controls[control - 1].kind == ControlKind::Label ? control - 1 : none;
}

// What a screen reader calls a control that takes the focus: the label that names it, else its
// own caption (an option, the frame), else the name the description gives it (the text area).
constexpr std::string_view AccessibleName(const WindowLayout& layout, std::size_t control) {
    if (const std::size_t label = NamingLabel(layout, control); label < layout.controls.size())
        return layout.controls[label].text;
    const ControlDescription& c = layout.controls[control];
    return c.accessibleName.empty() && c.kind != ControlKind::TextBox ? c.text : c.accessibleName;
}

// The control that has the focus when the window opens: the first in tab order that can take it.
constexpr std::size_t FirstFocusable(const WindowLayout& layout) {
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
        if (TakesFocus(layout.controls[i])) return i;
    return layout.controls.size();
}

// A list's rows keep their natural height in the form's font; should a stand-in font have taller
// lines, they shrink so that every row still fits inside the list rather than the list scrolling.
constexpr int FittedRowHeight(int naturalHeight, int innerHeight, int rowCount) {
    const int fits = innerHeight / (rowCount > 0 ? rowCount : 1);
    return naturalHeight < fits ? naturalHeight : fits;
}

// The frame's bounds, for placing controls whose container is Frame1.
constexpr TwipsRect Frame1Bounds(const WindowLayout& layout) {
    for (const ControlDescription& c : layout.controls)
        if (c.kind == ControlKind::Frame) return c.bounds;
    return {};
}

// What the runtimes rely on in the description, checked when it is compiled.
namespace layout_checks {
constexpr int CountNamed(const WindowLayout& layout, std::string_view name) {
    int count = 0;
    for (const ControlDescription& c : layout.controls) count += c.name == name;
    return count;
}
// The elements of each control array have the Indexes 0..n-1, each once.
constexpr bool ArraysAreDense(const WindowLayout& layout) {
    for (const ControlDescription& c : layout.controls) {
        if (c.index == kNotInArray) continue;
        const int count = CountNamed(layout, c.name);
        if (c.index < 0 || c.index >= count) return false;
        for (const ControlDescription& other : layout.controls)
            if (&other != &c && other.name == c.name && other.index == c.index) return false;
    }
    return true;
}
// The options follow one another in tab order, after the frame, and lie inside it.
constexpr bool OptionsSitInTheFrame(const WindowLayout& layout) {
    bool frameSeen = false, inRun = false, runEnded = false;
    const TwipsRect frame = Frame1Bounds(layout);
    for (const ControlDescription& c : layout.controls) {
        frameSeen = frameSeen || c.kind == ControlKind::Frame;
        const bool option = c.kind == ControlKind::OptionButton;
        if (option != (c.container == Container::Frame1)) return false;
        if (!option) {
            runEnded = runEnded || inRun;
            continue;
        }
        if (!frameSeen || runEnded) return false;
        inRun = true;
        if (c.bounds.left < 0 || c.bounds.top < 0 || c.bounds.left + c.bounds.width > frame.width ||
            c.bounds.top + c.bounds.height > frame.height)
            return false;
    }
    return true;
}
// Every control that shows lies inside the client area.
constexpr bool VisibleControlsFit(const WindowLayout& layout) {
    for (const ControlDescription& c : layout.controls) {
        if (c.hidden || c.container != Container::Form) continue;
        if (c.bounds.left < 0 || c.bounds.top < 0 || c.bounds.left + c.bounds.width > layout.form.clientWidth ||
            c.bounds.top + c.bounds.height > layout.form.clientHeight)
            return false;
    }
    return true;
}
constexpr bool HintStoreHoldsEveryHouse(const WindowLayout& layout) {
    int stores = 0;
    for (const ControlDescription& c : layout.controls) {
        if (!IsHintStore(c)) continue;
        if (!c.hidden || c.rows.size() != std::size_t{kHouseCount}) return false;
        ++stores;
    }
    return stores == 1;
}
}  // namespace layout_checks

static_assert(layout_checks::ArraysAreDense(MainWindowLayout));
static_assert(layout_checks::OptionsSitInTheFrame(MainWindowLayout));
static_assert(layout_checks::VisibleControlsFit(MainWindowLayout));
static_assert(layout_checks::HintStoreHoldsEveryHouse(MainWindowLayout));
static_assert(FirstFocusable(MainWindowLayout) < MainWindowLayout.controls.size());
// Every control that takes the focus has a name a screen reader can say.
static_assert([] {
    for (std::size_t i = 0; i < MainWindowLayout.controls.size(); ++i)
        if (TakesFocus(MainWindowLayout.controls[i]) && AccessibleName(MainWindowLayout, i).empty())
            return false;
    return true;
}());

}  // namespace quorbel
