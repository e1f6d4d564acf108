// The puzzle content: exact texts, their line structure, and the table checked against the clues.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "content/house_table.hpp"
#include "content/texts.hpp"

namespace quorbel {
namespace {

std::vector<std::string> SplitCrLf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string_view::npos; start = end + 2)
        lines.emplace_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text does not end in CR LF";
    return lines;
}

// Characters, not bytes: the texts are UTF-8.
std::size_t CharCount(std::string_view s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

TEST(Texts, HintsAreExactSingleLines) {
    EXPECT_EQ(HintTexts[3],
              "Зелената къща е отляво на бялата. Собственикът на зелената къща пие кафе.. "
              "Немецът пуши \"Rothmans\".");
    EXPECT_EQ(CharCount(HintTexts[0]), 265u);
    for (std::string_view hint : HintTexts) {
        EXPECT_EQ(hint.find_first_of("\r\n"), std::string_view::npos);
        EXPECT_LE(CharCount(hint), CharCount(HintTexts[0])) << "row 0 is the longest";
    }
    EXPECT_EQ(HintTexts[4], "Шведът гледа куче. Зелената къща е отляво на бялата. Пушещият \"Winfield\" пие бира.");
}

TEST(Texts, StatementKeepsItsLineStructure) {
    const std::vector<std::string> lines = SplitCrLf(StatementText);
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines[0], "На една улица има 5 къщи, като всяка:");
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].empty(), i == 6 || i == 14) << "line " << i + 1;
    EXPECT_EQ(lines[11].rfind("набор от  списъчни полета,", 0), 0u);
    EXPECT_EQ(lines[15], "Допълнитрелни указания: ");
    EXPECT_EQ(lines[13].substr(lines[13].size() - 2), "..");
    EXPECT_EQ(lines[30], "Пушещият \"Marlboro\" живее до пиещия вода.");
    // No other line carries leading or trailing blanks.
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].empty() && i != 15) {
            EXPECT_NE(lines[i].front(), ' ') << "line " << i + 1;
            EXPECT_NE(lines[i].back(), ' ') << "line " << i + 1;
        }
}

TEST(Texts, EpigraphTitleAndCaption) {
    const std::vector<std::string> lines = SplitCrLf(EpigraphText);
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& line : lines) EXPECT_EQ(line.back(), ' ');
    EXPECT_EQ(lines[2], "било. ");
    EXPECT_EQ(TitleText, "Логика - тест на Дорвалек");
    EXPECT_EQ(WindowCaption, std::string(PublisherAddress) + " Философия - Логика - къща...");
    EXPECT_TRUE(PublisherAddress.ends_with(".example"));
}

TEST(HouseTable, ColumnsStayInTableOrderUnsorted) {
    const auto brands = AttributeRows(3);
    EXPECT_EQ(std::vector<std::string_view>(brands.begin(), brands.end()),
              (std::vector<std::string_view>{"Dunhill", "Marlboro", "Pall Mall", "Rothmans", "Winfield"}));
    const auto pets = AttributeRows(2);
    EXPECT_EQ(std::vector<std::string_view>(pets.begin(), pets.end()),
              (std::vector<std::string_view>{"котка", "кон", "птичка", "рибка", "куче"}));
    EXPECT_FALSE(std::is_sorted(pets.begin(), pets.end()));
    EXPECT_EQ(HouseTable[1].optionBackground, (Rgb{128, 128, 255})) << "light blue, not pure blue";
    EXPECT_EQ(HouseTable[0].colourCaption, "Жълта");
    EXPECT_EQ(HouseTable[4].colourCaption, "Бяла");
    EXPECT_EQ(FrameCaption, "Цвят на къща");
    EXPECT_EQ(AttributeHeadings, (std::array<std::string_view, 4>{"Нация", "Питие", "Любимец", "Марка"}));
}

// The fifteen clues of the statement, written against the values they name, so that the table is
// checked against the puzzle rather than against itself. Each clue says whether it holds and
// which houses it is about.
struct Clue {
    std::function<bool()> holds;
    std::function<std::set<int>()> concerns;
};

int HouseOf(std::string_view value) {
    for (int h = 0; h < kHouseCount; ++h) {
        const House& house = HouseTable[static_cast<std::size_t>(h)];
        if (house.colourCaption == value) return h;
        if (std::find(house.attributes.begin(), house.attributes.end(), value) != house.attributes.end())
            return h;
    }
    ADD_FAILURE() << "no house has " << value;
    return -100;
}

Clue Same(std::string_view a, std::string_view b) {
    return {[=] { return HouseOf(a) == HouseOf(b); }, [=] { return std::set<int>{HouseOf(a)}; }};
}
Clue NextTo(std::string_view a, std::string_view b) {
    return {[=] { return std::abs(HouseOf(a) - HouseOf(b)) == 1; },
            [=] { return std::set<int>{HouseOf(a), HouseOf(b)}; }};
}
Clue JustLeftOf(std::string_view a, std::string_view b) {
    return {[=] { return HouseOf(a) + 1 == HouseOf(b); },
            [=] { return std::set<int>{HouseOf(a), HouseOf(b)}; }};
}
Clue InHouse(std::string_view a, int house) {
    return {[=] { return HouseOf(a) == house; }, [=] { return std::set<int>{house}; }};
}

const std::vector<Clue>& Clues() {
    static const std::vector<Clue> clues{
        Same("англичанин", "Червена"), Same("швед", "куче"), Same("датчанин", "чай"),
        JustLeftOf("Зелена", "Бяла"), InHouse("норвежец", 0), Same("Зелена", "кафе"),
        Same("Pall Mall", "птичка"), InHouse("мляко", 2), Same("Жълта", "Dunhill"),
        NextTo("Marlboro", "котка"), NextTo("кон", "Dunhill"), Same("Winfield", "бира"),
        NextTo("норвежец", "Синя"), Same("немец", "Rothmans"), NextTo("Marlboro", "вода"),
    };
    return clues;
}

TEST(HouseTable, SolvesTheFifteenClues) {
    for (std::size_t i = 0; i < Clues().size(); ++i) EXPECT_TRUE(Clues()[i].holds()) << "clue " << i + 1;
}

// Hint h holds exactly the clues that concern house h, as the statement words them; together with
// the clues holding, this ties row h of every column, option h and hint h to one house.
TEST(HouseTable, EachHintHoldsExactlyTheCluesOfItsHouse) {
    const std::vector<std::string> lines = SplitCrLf(StatementText);
    ASSERT_EQ(lines.size(), 31u);
    for (int h = 0; h < kHouseCount; ++h) {
        std::string hint(HintTexts[static_cast<std::size_t>(h)]);
        for (std::size_t p; (p = hint.find("..")) != std::string::npos;) hint.erase(p, 1);
        std::set<int> shown;
        std::size_t shownLength = 0;
        for (int clue = 0; clue < 15; ++clue) {
            const std::string& sentence = lines[static_cast<std::size_t>(16 + clue)];
            if (hint.find(sentence) != std::string::npos) {
                shown.insert(clue);
                shownLength += sentence.size() + 1;
            }
        }
        std::set<int> expected;
        for (int clue = 0; clue < 15; ++clue)
            if (Clues()[static_cast<std::size_t>(clue)].concerns().contains(h)) expected.insert(clue);
        EXPECT_EQ(shown, expected) << "hint " << h;
        EXPECT_EQ(shownLength, hint.size() + 1) << "hint " << h << " holds something besides clues";
    }
}

}  // namespace
}  // namespace quorbel
