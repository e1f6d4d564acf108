// Picking a house anywhere selects it everywhere and shows its hints.
#pragma once

#include "window/control_services.hpp"
#include "window/form_events.hpp"

namespace quorbel {

// A row of List1(index) became selected.
void List1_Click(const ControlServices& controls, Index index);
// Option1(index) became checked.
void Option1_Click(const ControlServices& controls, Index index);

// The bindings the form is started with.
inline constexpr FormEvents HouseSelection{.list1Click = List1_Click,
                                           .option1Click = Option1_Click};

}  // namespace quorbel
