// The form built with Qt Widgets from the window layout, with the control services over its widgets.
#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>
#include <string_view>
#include <vector>

#include "window/control_arrays.hpp"
#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

namespace quorbel::qt {

// Called with the message of a failure inside an event procedure, a run-time error or any other. The program's
// reporter (ReportAndQuit) shows it and ends the message loop; tests record it instead.
using ErrorReporter = std::function<void(const QString& message)>;

// Whether a palette asks for high contrast: its window text on its window at the contrast of black
// on white (19:1 or more; ordinary light and dark themes stay well under it). Where the platform's
// palette does, its colours win over the form's own.
bool IsHighContrast(const QPalette& palette);

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
    void Dispatch(ClickOf source, Index index);
    // The form's own colours, or the theme's under high contrast; at start and on every change.
    void FollowContrast();
    // Tells screen readers the hint the text area now holds, once the choice itself is told.
    void AnnounceHint(const QString& hint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:

    ProcedureRunner runner_;
    ErrorReporter reportError_;
    std::vector<Built> built_;
    ControlArrays arrays_;
    const FormDescription* form_ = nullptr;
    bool ownColours_ = false;
    QWidget* notification_ = nullptr;  // in a hidden status bar, holding the hint for screen readers
    QString announcedHint_;
    QTimer* announce_ = nullptr;
};

}  // namespace quorbel::qt
