// Run-time errors of the control operations, worded the same for every runtime.
#include "window/control_services.hpp"

namespace quorbel {

namespace {
// Decimal digits of an Index. Written out rather than through std::to_string, which brings the
// whole printf machinery into the Windows program for one number.
std::string Decimal(Index value) {
    const bool negative = value < 0;
    unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return negative ? "-" + digits : digits;
}
}  // namespace

RuntimeError ControlServices::MissingElement(std::string_view name, Index index) {
    return RuntimeError("Грешка при изпълнение: елементът " + std::string(name) + "(" + Decimal(index) +
                        ") не съществува.");
}

void CheckListRow(Index row, int rowCount, bool allowNone) {
    if ((allowNone && row == kNoRow) || (row >= 0 && row < rowCount)) return;
    throw RuntimeError("Грешка при изпълнение: ред " + Decimal(row) + " на списъка не съществува.");
}

}  // namespace quorbel
