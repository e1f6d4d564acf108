// The form built as page controls from the window layout, with the control services over them.
#pragma once

#include <string_view>
#include <vector>

#include "window/control_arrays.hpp"
#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

namespace quorbel::web {

class WebForm {
public:
    WebForm(const WindowLayout& layout, FormEvents events);
    WebForm(const WebForm&) = delete;
    WebForm& operator=(const WebForm&) = delete;

    const ControlServices& Controls() const { return arrays_.Services(); }

    // The user chose in a control of this kind with this Index: its Click goes to the procedure.
    void UserClick(ControlKind kind, Index index);

private:
    class ListAdapter;
    class OptionAdapter;
    class TextAdapter;

    struct ShownList {
        int handle;
        int rows;
    };

    void Build(const WindowLayout& layout);
    void FitRows(const std::vector<ShownList>& lists);

    ProcedureRunner runner_;
    ControlArrays arrays_;
};

// Builds the page's one form and keeps it for as long as the page is open; the page's events reach
// it through quorbel_web_click.
void Run(const WindowLayout& layout, FormEvents events);

}  // namespace quorbel::web
