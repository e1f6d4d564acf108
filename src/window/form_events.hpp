// The event procedures a runtime calls: the only code the form is bound to.
#pragma once

#include "window/control_services.hpp"

namespace quorbel {

using ClickProcedure = void (*)(const ControlServices& controls, Index index);

// Click of a List1 element and Click of an Option1 element; every other event is unbound.
struct FormEvents {
    ClickProcedure list1Click;
    ClickProcedure option1Click;
};

}  // namespace quorbel
