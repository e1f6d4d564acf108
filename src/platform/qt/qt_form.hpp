// The form built with Qt Widgets from the window layout, with the control services over its widgets.
#pragma once

#include <QWidget>

#include <functional>
#include <string_view>
#include <vector>

#include "window/control_services.hpp"
#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

namespace quorbel::qt {

// Called with the message of a run-time error raised inside an event procedure. The program's
// reporter (ReportAndQuit) shows it and ends the message loop; tests record it instead.
using ErrorReporter = std::function<void(const QString& message)>;

class QtForm : public QWidget {
public:
    QtForm(const WindowLayout& layout, FormEvents events, ErrorReporter reportError);
    ~QtForm() override;

    const ControlServices& Controls() const { return arrays_.Services(); }

    // The widget built for a control of the layout, or nullptr; for tests and accessibility checks.
    QWidget* Control(std::string_view name, Index index) const;
    // The first visible control in tab order that takes the focus.
    QWidget* FirstFocusable() const;

    // Centres the window on its screen and shows it with the focus in the first control.
    void ShowCentred();

private:
    struct Built;
    class ListAdapter;
    class OptionAdapter;
    class TextAdapter;

    void Build(const WindowLayout& layout);
    void Dispatch(ClickProcedure procedure, Index index);

    FormEvents events_;
    ErrorReporter reportError_;
    ProcedureRunner runner_;
    std::vector<Built> built_;
    ControlArrays arrays_;
};

// Logical pixels for twips; Qt's high-DPI scaling turns them into device pixels.
constexpr int Pixels(int twips) { return TwipsToPixels(twips, 96); }

}  // namespace quorbel::qt
