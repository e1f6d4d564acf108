// The event procedures a runtime calls: the only code the form is bound to.
#pragma once

#include <concepts>
#include <string_view>

#include "window/control_services.hpp"
#include "window/failure.hpp"

namespace quorbel {

using ClickProcedure = void (*)(const ControlServices& controls, Index index);

namespace detail {
// Reached only when a form is declared without one of its procedures outside a constant expression.
[[noreturn]] void UnboundProcedure();
}  // namespace detail

// An event procedure that is always there: binding none fails where the form is declared (at
// compile time for a constant binding, as a run-time error otherwise), not at the first click.
class BoundProcedure {
public:
    template <std::convertible_to<ClickProcedure> Procedure>
    constexpr BoundProcedure(Procedure procedure) : procedure_(procedure) {
        if (!procedure_) detail::UnboundProcedure();
    }
    constexpr operator ClickProcedure() const { return procedure_; }

private:
    ClickProcedure procedure_;
};

// Click of a List1 element and Click of an Option1 element; every other event is unbound.
struct FormEvents {
    BoundProcedure list1Click;
    BoundProcedure option1Click;
};

enum class ClickOf { List1, Option1 };

// Hands a Click to its procedure. A list's Click while that list has no selected row names no house
// and reaches no procedure: every runtime drops it here.
inline void DeliverClick(const FormEvents& events, const ControlServices& controls, ClickOf source, Index index) {
    if (source == ClickOf::Option1) {
        events.option1Click(controls, index);
    } else if (controls.List1(index).ListIndex() != kNoRow) {
        events.list1Click(controls, index);
    }
}

// How a runtime whose controls report the user's choices one by one calls the procedures. A Click
// that arrives while a procedure runs was caused by the procedure's own assignments and is not
// passed on: the nested call would only assign the same house again. Nothing is trapped by the
// procedures; a failure of any kind goes to `stop` with the message the user reads, and from then on
// the form takes no further clicks. (A runtime built without exceptions ends the program where a
// failure happens and needs none of this.)
#if defined(__cpp_exceptions)
class ProcedureRunner {
public:
    explicit ProcedureRunner(FormEvents events) : events_(events) {}

    template <typename Stop>
    void Run(const ControlServices& controls, ClickOf source, Index index, Stop&& stop) {
        if (running_ || stopped_) return;
        running_ = true;
        Trap([&] { DeliverClick(events_, controls, source, index); },
             [&](std::string_view message) {
                 stopped_ = true;
                 stop(message);
             });
        running_ = false;
    }

private:
    FormEvents events_;
    bool running_ = false;
    bool stopped_ = false;
};
#endif

}  // namespace quorbel
