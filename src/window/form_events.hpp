// The event procedures a runtime calls: the only code the form is bound to.
#pragma once

#include <concepts>
#include <exception>
#include <string>
#include <string_view>

#include "window/control_services.hpp"

namespace quorbel {

using ClickProcedure = void (*)(const ControlServices& controls, Index index);

// A form started without one of its procedures would ignore those clicks without a word.
class UnboundProcedure : public std::exception {
public:
    const char* what() const noexcept override {
        return "the form was started without an event procedure for one of its Click events";
    }
};

// An event procedure that is always there: binding none fails where the form is declared (at
// compile time for a constant binding), not at the first click.
class BoundProcedure {
public:
    template <std::convertible_to<ClickProcedure> Procedure>
    constexpr BoundProcedure(Procedure procedure) : procedure_(procedure) {
        if (!procedure_) throw UnboundProcedure();
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

// How a runtime whose controls report the user's choices one by one calls the procedures. A Click
// that arrives while a procedure runs was caused by the procedure's own assignments and is not
// passed on: the nested call would only assign the same house again. Nothing is trapped: a
// run-time error, or any other exception, goes to `stop` with its message, and from then on the
// form takes no further clicks.
class ProcedureRunner {
public:
    template <typename Stop>
    void Run(ClickProcedure procedure, const ControlServices& controls, Index index, Stop&& stop) {
        if (running_ || stopped_) return;
        running_ = true;
        struct Done {
            bool& running;
            ~Done() { running = false; }
        } done{running_};
        try {
            procedure(controls, index);
        } catch (const RuntimeError& error) {
            stopped_ = true;
            stop(std::string_view(error.what()));
        } catch (const std::exception& error) {
            // No exception may unwind into the toolkit's event delivery; anything else ends alike.
            stopped_ = true;
            stop(std::string_view("Unexpected failure: " + std::string(error.what())));
        }
    }

private:
    bool running_ = false;
    bool stopped_ = false;
};

}  // namespace quorbel
