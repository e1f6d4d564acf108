// The event procedures a runtime calls: the only code the form is bound to.
#pragma once

#include <concepts>
#include <exception>

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

}  // namespace quorbel
