// The solved puzzle: five houses, their colours and the four attribute columns, and the headings.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quorbel {

// A house, 0 the leftmost. It is at once the row in every attribute list, the Index of its colour
// option and the row of its hint text.
using HouseIndex = int;
// The Index of an attribute list: 0 nationality, 1 drink, 2 pet, 3 tobacco brand.
using AttributeColumn = int;

inline constexpr int kHouseCount = 5;
inline constexpr int kAttributeCount = 4;

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

struct House {
    std::string_view colourCaption;
    Rgb optionBackground;
    // Indexed by AttributeColumn.
    std::array<std::string_view, kAttributeCount> attributes;
};

// Texts are UTF-8 here; they hold the same characters as the Windows-1251 originals.
inline constexpr std::array<House, kHouseCount> HouseTable{{
    {.colourCaption = "Жълта",
     .optionBackground = {255, 255, 0},
     .attributes = {"норвежец", "вода", "котка", "Dunhill"}},
    {.colourCaption = "Синя",
     .optionBackground = {128, 128, 255},
     .attributes = {"датчанин", "чай", "кон", "Marlboro"}},
    {.colourCaption = "Червена",
     .optionBackground = {255, 0, 0},
     .attributes = {"англичанин", "мляко", "птичка", "Pall Mall"}},
    {.colourCaption = "Зелена",
     .optionBackground = {0, 255, 0},
     .attributes = {"немец", "кафе", "рибка", "Rothmans"}},
    {.colourCaption = "Бяла",
     .optionBackground = {255, 255, 255},
     .attributes = {"швед", "бира", "куче", "Winfield"}},
}};

// The rows of the list for one attribute, in HouseIndex order (the table read by column).
constexpr std::array<std::string_view, kHouseCount> AttributeRows(AttributeColumn column) {
    std::array<std::string_view, kHouseCount> rows{};
    for (HouseIndex house = 0; house < kHouseCount; ++house)
        rows[static_cast<std::size_t>(house)] =
            HouseTable[static_cast<std::size_t>(house)].attributes[static_cast<std::size_t>(column)];
    return rows;
}

// Caption of the frame around the colour options.
inline constexpr std::string_view FrameCaption = "Цвят на къща";
// Headings above the four lists, indexed by AttributeColumn.
inline constexpr std::array<std::string_view, kAttributeCount> AttributeHeadings{
    "Нация", "Питие", "Любимец", "Марка"};

}  // namespace quorbel
