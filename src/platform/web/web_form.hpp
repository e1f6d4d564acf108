// The form as page controls: the markup written from the window layout at build time, and the
// runtime that attaches to it with the control services over its controls.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "window/control_arrays.hpp"
#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

namespace quorbel::web {

// A control's id in the page: "c" and its TabIndex. The markup gives it, the runtime finds it.
class ControlId {
public:
    constexpr explicit ControlId(std::size_t tab) {
        std::size_t digits = 1;
        for (std::size_t rest = tab; rest >= 10; rest /= 10) ++digits;
        length_ = 1 + digits;
        for (std::size_t at = length_; at > 1; tab /= 10) text_[--at] = static_cast<char>('0' + tab % 10);
    }
    constexpr std::string_view View() const { return {text_.data(), length_}; }

private:
    std::array<char, 8> text_{'c'};
    std::size_t length_ = 0;
};

// What the runtime needs of a control to attach to its element: the markup holds the rest (texts,
// places, names), so that none of it is in the program twice.
struct PageControl {
    ControlKind kind;
    Index index;
    int rows;
    bool hintStore;
};
using PageControls = std::array<PageControl, std::tuple_size_v<decltype(WindowLayout::controls)>>;

constexpr PageControls AttachedControls(const WindowLayout& layout) {
    PageControls controls{};
    for (std::size_t tab = 0; tab < layout.controls.size(); ++tab) {
        const ControlDescription& c = layout.controls[tab];
        controls[tab] = {c.kind, c.index, static_cast<int>(c.rows.size()), IsHintStore(c)};
    }
    return controls;
}

class WebForm {
public:
    WebForm(const PageControls& controls, FormEvents events);
    WebForm(const WebForm&) = delete;
    WebForm& operator=(const WebForm&) = delete;

    const ControlServices& Controls() const { return arrays_.Services(); }

    // The user chose in a control of this kind with this Index: its Click goes to the procedure. A
    // failure ends in the page's failure path where it happens (EndWithFailure), which stops the page.
    void UserClick(ControlKind kind, Index index) const;

private:
    class ListAdapter;
    class OptionAdapter;
    class TextAdapter;

    void Attach(const PageControls& controls);

    FormEvents events_;
    ControlArrays arrays_;
};

// Attaches the page's one form to the markup, which is written from MainWindowLayout, and keeps it
// for as long as the page is open; the page's events reach it through quorbel_web_click.
void Run(FormEvents events);

}  // namespace quorbel::web
