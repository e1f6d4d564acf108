// Run-time errors of the control operations, worded the same for every runtime.
#include "window/control_services.hpp"

namespace quorbel {

RuntimeError ControlServices::MissingElement(std::string_view name, Index index) {
    return RuntimeError("Грешка при изпълнение: елементът " + std::string(name) + "(" +
                        std::to_string(index) + ") не съществува.");
}

void CheckListRow(Index row, int rowCount, bool allowNone) {
    if ((allowNone && row == kNoRow) || (row >= 0 && row < rowCount)) return;
    throw RuntimeError("Грешка при изпълнение: ред " + std::to_string(row) +
                       " на списъка не съществува.");
}

}  // namespace quorbel
