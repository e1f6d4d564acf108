// The two event procedures. They keep no state: everything lives in the controls, and the row
// number of a list, the Index of an option and the row of a hint name the same house.
#include "selection/house_selection.hpp"

namespace quorbel {

namespace {
constexpr Index kListCount = 4;
}

void List1_Click(const ControlServices& controls, Index index) {
    const Index row = controls.List1(index).ListIndex();
    for (Index i = 0; i < kListCount; ++i) controls.List1(i).SetListIndex(row);
    controls.Option1(row).SetValue(true);
    controls.Text1(0).SetText(controls.List2().List(row));
}

void Option1_Click(const ControlServices& controls, Index index) {
    // The user's click has already checked this option and unchecked the rest of the group.
    for (Index i = 0; i < kListCount; ++i) controls.List1(i).SetListIndex(index);
    controls.Text1(0).SetText(controls.List2().List(index));
}

}  // namespace quorbel
