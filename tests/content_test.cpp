// The puzzle content: the texts' line structure, and the table and the hints checked against the clues.
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

// The texts as the controls take them: the statement and the epigraph in lines ending CR LF (the
// statement's blank lines part its three sections), each hint on one line.
TEST(Texts, KeepTheirLineStructure) {
    const std::vector<std::string> lines = SplitCrLf(StatementText);
    ASSERT_EQ(lines.size(), 31u);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].empty(), i == 6 || i == 14) << "line " << i + 1;
    EXPECT_EQ(SplitCrLf(EpigraphText).size(), 3u);
    for (std::string_view hint : HintTexts) EXPECT_EQ(hint.find_first_of("\r\n"), std::string_view::npos);
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
