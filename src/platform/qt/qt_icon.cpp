// A small XPM decoder for the program's icon.
#include "platform/qt/qt_icon.hpp"

#include <array>
#include <cstdio>
#include <cstring>

namespace quorbel::qt {

QImage DecodeXpm(const char* const* xpm) {
    int width = 0, height = 0, colours = 0, charsPerPixel = 0;
    if (std::sscanf(xpm[0], "%d %d %d %d", &width, &height, &colours, &charsPerPixel) != 4 || charsPerPixel != 1 ||
        width <= 0 || height <= 0 || width > 256 || height > 256 || colours <= 0 || colours > 256)
        return {};
    std::array<QRgb, 256> palette{};
    std::array<bool, 256> known{};
    for (int i = 1; i <= colours; ++i) {
        const char* line = xpm[i];
        const auto key = static_cast<unsigned char>(line[0]);
        const char* value = std::strstr(line + 1, " c ");
        if (!value) return {};
        value += 3;
        unsigned rgb = 0;
        if (std::strncmp(value, "None", 4) == 0)
            palette[key] = qRgba(0, 0, 0, 0);
        else if (std::sscanf(value, "#%6x", &rgb) == 1)
            palette[key] = 0xFF000000u | rgb;
        else
            return {};
        known[key] = true;
    }
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const char* row = xpm[1 + colours + y];
        if (static_cast<int>(std::strlen(row)) != width) return {};
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const auto key = static_cast<unsigned char>(row[x]);
            if (!known[key]) return {};
            pixels[x] = palette[key];
        }
    }
    return image;
}

}  // namespace quorbel::qt
