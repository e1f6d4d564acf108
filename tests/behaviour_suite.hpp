// The behaviour table (behaviour.txt) played on a runtime through a FormDriver: real user actions
// on whatever controls the runtime built, and what the user then sees.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "behaviour_table.hpp"  // kBehaviourTable, the text of behaviour.txt
#include "content/house_table.hpp"
#include "content/texts.hpp"

namespace quorbel::testing {

// Implemented once per runtime. What a runtime cannot do, the table says; the defaults fail.
class FormDriver {
public:
    virtual ~FormDriver() = default;
    virtual void ClickListRow(int list, int row) = 0;
    virtual void ClickOption(int option) = 0;
    virtual void PressListArrow(int list, int delta) = 0;   // -1 Up, +1 Down
    virtual void PressOptionArrow(int option, int delta) = 0;  // -1 Left, +1 Right
    virtual void ClickBelowLastRow(int) { ADD_FAILURE() << "no click under a row here"; }
    virtual void PressTab() { ADD_FAILURE() << "no Tab here"; }
    virtual void SelectAllText() { ADD_FAILURE() << "no text selection here"; }
    virtual void Type(const std::string&) { ADD_FAILURE() << "no typing here"; }
    virtual void PressEditKeys() { ADD_FAILURE() << "no typing here"; }
    virtual int ListIndex(int list) const = 0;
    virtual bool OptionChecked(int option) const = 0;
    virtual std::string Text() const = 0;  // the contents of Text1(0)
    virtual std::string Focus() const { return {}; }  // as "Text1(0)", "List1(3)"
    virtual bool TextAllSelected() const { return false; }
};

// All four lists on row h, option h alone checked, hint h in the text area.
inline ::testing::AssertionResult ShowsHouse(const FormDriver& form, int h) {
    for (int list = 0; list < kAttributeCount; ++list)
        if (form.ListIndex(list) != h)
            return ::testing::AssertionFailure() << "List1(" << list << ") is on row " << form.ListIndex(list);
    for (int option = 0; option < kHouseCount; ++option)
        if (form.OptionChecked(option) != (option == h))
            return ::testing::AssertionFailure() << "Option1(" << option << ") checked is " << form.OptionChecked(option);
    if (form.Text() != HintTexts[static_cast<std::size_t>(h)])
        return ::testing::AssertionFailure() << "text area holds: " << form.Text().substr(0, 60);
    return ::testing::AssertionSuccess();
}

// The untouched start: nothing selected, nothing checked, the statement in the text area.
inline ::testing::AssertionResult ShowsStart(const FormDriver& form) {
    for (int list = 0; list < kAttributeCount; ++list)
        if (form.ListIndex(list) != -1)
            return ::testing::AssertionFailure() << "List1(" << list << ") is on row " << form.ListIndex(list);
    for (int option = 0; option < kHouseCount; ++option)
        if (form.OptionChecked(option)) return ::testing::AssertionFailure() << "Option1(" << option << ") is checked";
    if (form.Text() != StatementText) return ::testing::AssertionFailure() << "the statement is not shown";
    return ::testing::AssertionSuccess();
}

// Either a whole house or the start state, and nothing in between.
inline ::testing::AssertionResult Consistent(const FormDriver& form) {
    const int h = form.ListIndex(0);
    return h == -1 ? ShowsStart(form) : ShowsHouse(form, h);
}

// One scenario of the table: its lines as words, and the runtime's reason to skip it, if any.
struct Scenario {
    std::string name;
    std::vector<std::vector<std::string>> steps;
    std::string cannot;
};

inline void PrintTo(const Scenario& scenario, std::ostream* out) { *out << '"' << scenario.name << '"'; }

inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

inline std::vector<Scenario> ReadBehaviourTable(const std::string& runtime) {
    std::vector<Scenario> scenarios;
    std::vector<std::pair<std::string, std::string>> cannot;  // word, reason
    std::istringstream in{std::string(kBehaviourTable)};
    for (std::string line; std::getline(in, line);) {
        if (const auto comment = line.find(" # "); comment != std::string::npos) line.erase(comment);
        const std::vector<std::string> words = Words(line);
        if (words.empty() || words[0].front() == '#') continue;
        if (words[0] == "cannot" && words.size() > 2) {
            if (words[1] == runtime) cannot.emplace_back(words[2], line.substr(line.find(words[2], 7) + words[2].size() + 1));
        } else if (words[0] == "scenario") {
            scenarios.push_back({line.substr(line.find(' ') + 1), {}, {}});
        } else if (!scenarios.empty()) {
            // An action the runtime cannot take skips the scenario; a check it cannot make is left out.
            Scenario& s = scenarios.back();
            auto unable = [&](const std::string& word) {
                return std::find_if(cannot.begin(), cannot.end(), [&](const auto& c) { return c.first == word; });
            };
            if (unable(words[0]) != cannot.end()) {
                if (s.cannot.empty()) s.cannot = words[0] + ": " + unable(words[0])->second;
                continue;
            }
            std::vector<std::string> step;
            for (std::size_t i = 0; i < words.size(); ++i) {
                if (unable(words[i]) == cannot.end()) step.push_back(words[i]);
                else if (words[i] == "focus") ++i;
            }
            s.steps.push_back(step);
        }
    }
    return scenarios;
}

inline void PlayStep(FormDriver& form, const std::vector<std::string>& step) {
    const std::string& verb = step[0];
    auto number = [&](std::size_t i) { return std::stoi(step.at(i)); };
    auto delta = [&](std::size_t i) { return step.at(i) == "up" || step.at(i) == "left" ? -1 : +1; };
    if (verb == "row") form.ClickListRow(number(1), number(2));
    else if (verb == "option") form.ClickOption(number(1));
    else if (verb == "below") form.ClickBelowLastRow(number(1));
    else if (verb == "list-key") form.PressListArrow(number(1), delta(2));
    else if (verb == "option-key") form.PressOptionArrow(number(1), delta(2));
    else if (verb == "tab") {
        for (int i = number(1); i > 0; --i) form.PressTab();
    }
    else if (verb == "select-text") form.SelectAllText();
    else if (verb == "type") form.Type(step.at(1));
    else if (verb == "edit-keys") form.PressEditKeys();
    else if (verb == "expect") {
        EXPECT_TRUE(step.at(1) == "start" ? ShowsStart(form) : ShowsHouse(form, number(2)));
        for (std::size_t i = 2; i < step.size(); ++i) {
            if (step[i] == "focus") {
                EXPECT_EQ(form.Focus(), step.at(++i));
            } else if (step[i] == "all-selected") {
                EXPECT_TRUE(form.TextAllSelected()) << "the text area's selection is gone";
            }
        }
    } else {
        ADD_FAILURE() << "unknown step " << verb;
    }
}

// The table on one runtime: one test a scenario, named after it.
inline std::string ScenarioName(const ::testing::TestParamInfo<Scenario>& info) {
    std::string name;
    for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

}  // namespace quorbel::testing

// Plays every scenario of the table on RUNTIME (its name in the table) through DRIVER.
#define QUORBEL_BEHAVIOUR_TABLE(FIXTURE, DRIVER, RUNTIME)                                              \
    class FIXTURE : public ::testing::TestWithParam<::quorbel::testing::Scenario> {};                  \
    TEST_P(FIXTURE, Plays) {                                                                          \
        if (!GetParam().cannot.empty()) GTEST_SKIP() << GetParam().cannot;                           \
        DRIVER form;                                                                                  \
        for (const auto& step : GetParam().steps) {                                                   \
            SCOPED_TRACE(step[0] + (step.size() > 1 ? " " + step[1] : std::string()));                \
            ::quorbel::testing::PlayStep(form, step);                                                 \
        }                                                                                             \
    }                                                                                                 \
    INSTANTIATE_TEST_SUITE_P(Table, FIXTURE,                                                          \
                             ::testing::ValuesIn(::quorbel::testing::ReadBehaviourTable(RUNTIME)),   \
                             ::quorbel::testing::ScenarioName)
