// The high-contrast setting as Windows reports it.
#include "platform/win32/win32_contrast.hpp"

namespace quorbel::win32 {

bool HighContrastRequested() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace quorbel::win32
