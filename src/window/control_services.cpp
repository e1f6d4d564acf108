// The run-time errors the core raises (a missing element, a row out of range, a form bound to no
// procedure), worded once for every runtime.
#include "window/control_services.hpp"
#include "window/form_events.hpp"

namespace quorbel {

void ControlServices::MissingElement(std::string_view name, Index index) {
    RaiseRunTimeError(FailureMessage(kRunTimeErrorPrefix) << "елементът " << name << "(" << long{index}
                                                          << ") не съществува.");
}

void CheckListRow(Index row, int rowCount, bool allowNone) {
    if ((allowNone && row == kNoRow) || (row >= 0 && row < rowCount)) return;
    RaiseRunTimeError(FailureMessage(kRunTimeErrorPrefix) << "ред " << long{row} << " на списъка не съществува.");
}

void MissingControl(std::string_view name) {
    RaiseRunTimeError(FailureMessage(kRunTimeErrorPrefix) << "елементът " << name << " не съществува.");
}

namespace detail {
void UnboundProcedure() {
    RaiseRunTimeError(FailureMessage(kRunTimeErrorPrefix) << "формата няма процедура за едно от събитията си Click.");
}
}  // namespace detail

}  // namespace quorbel
