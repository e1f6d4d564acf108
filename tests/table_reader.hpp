// The one reader of the behaviour table (behaviour.txt): its grammar, checked word by word, and the
// scenarios one runtime plays. A line it does not understand fails the whole table with its number,
// as a compiler would. No test framework here: the tool that writes the table for the page's tests
// reads it with this too.
#pragma once

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/main_window_layout.hpp"

namespace quorbel::testing {

// The runtimes that play the table, by the names its `cannot` lines use.
inline constexpr std::array<std::string_view, 4> kTableRuntimes{"headless", "qt", "page", "windows"};

// One scenario as a runtime plays it: its steps as words, without the checks the runtime cannot
// make, and why it cannot play the scenario at all, if it cannot.
struct Scenario {
    std::string name;
    std::vector<std::vector<std::string>> steps;
    std::string cannot;
};

struct Table {
    std::vector<Scenario> scenarios;
    std::string error;  // "line N: what is wrong", empty when the table is sound
};

// A scenario's name as a test name: letters and digits, anything else an underscore.
inline std::string TestName(std::string_view name) {
    std::string out;
    for (char c : name) out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return out;
}

namespace table_grammar {

// What may follow an action's word: "0-3" a number in that range, "up|down" one of those words,
// "*" any one word.
struct Action {
    std::string_view word;
    std::array<std::string_view, 2> arguments;
};
inline constexpr std::array<Action, 10> kActions{{
    {"row", {"0-3", "0-4"}},
    {"option", {"0-4", {}}},
    {"below", {"0-3", {}}},
    {"list-key", {"0-3", "up|down|home|end|pageup|pagedown"}},
    {"list-type", {"0-3", "a-z"}},
    {"option-key", {"0-4", "left|right"}},
    {"tab", {"1-9", {}}},
    {"select-text", {}},
    {"type", {"*", {}}},
    {"edit-keys", {}},
}};
// The checks an `expect` line may add after `start` or `house H`.
inline constexpr std::array<std::string_view, 2> kChecks{"focus", "all-selected"};

inline bool Fits(std::string_view pattern, const std::string& word) {
    if (pattern == "*") return true;
    if (pattern.size() == 3 && pattern[1] == '-')
        return word.size() == 1 && word[0] >= pattern[0] && word[0] <= pattern[2];
    return ("|" + std::string(pattern) + "|").find("|" + word + "|") != std::string::npos;
}

inline const Action* FindAction(std::string_view word) {
    for (const Action& a : kActions)
        if (a.word == word) return &a;
    return nullptr;
}

// A control the focus can be in, by its name in the form: "Text1(0)", "List1(3)".
inline bool IsControl(const std::string& name) {
    for (const ControlDescription& c : MainWindowLayout.controls)
        if (TakesFocus(c) && name == std::string(c.name) + "(" + std::to_string(c.index) + ")") return true;
    return false;
}

template <typename List>
bool Has(const List& list, std::string_view word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

// An action line: an empty answer when sound, else what is wrong.
inline std::string CheckAction(const std::vector<std::string>& words) {
    const Action* action = FindAction(words[0]);
    if (!action) return "unknown word '" + words[0] + "'";
    std::size_t wanted = 0;
    while (wanted < action->arguments.size() && !action->arguments[wanted].empty()) ++wanted;
    if (words.size() != wanted + 1) return "'" + words[0] + "' takes " + std::to_string(wanted) + " word(s)";
    for (std::size_t i = 0; i < wanted; ++i)
        if (!Fits(action->arguments[i], words[i + 1]))
            return "'" + words[i + 1] + "' after '" + words[0] + "' is not " + std::string(action->arguments[i]);
    return {};
}

// An expect line: `expect start|house H [focus CONTROL] [all-selected]`.
inline std::string CheckExpect(const std::vector<std::string>& words) {
    std::size_t at = 2;
    if (words.size() < 2 || (words[1] != "start" && words[1] != "house")) return "'expect' wants 'start' or 'house H'";
    if (words[1] == "house") {
        if (words.size() < 3 || !Fits("0-4", words[2])) return "'house' wants a house from 0 to 4";
        at = 3;
    }
    std::set<std::string> seen;
    for (; at < words.size(); ++at) {
        if (!Has(kChecks, words[at])) return "unknown word '" + words[at] + "'";
        if (!seen.insert(words[at]).second) return "'" + words[at] + "' twice";
        if (words[at] == "focus" && (++at == words.size() || !IsControl(words[at])))
            return "'focus' wants Text1(0), Option1(0-4) or List1(0-3)";
    }
    return {};
}

}  // namespace table_grammar

// The table as RUNTIME plays it, or the first fault in it.
inline Table ReadBehaviourTable(std::string_view text, std::string_view runtime) {
    using namespace table_grammar;
    Table table;
    std::vector<std::pair<std::string, std::string>> cannot;  // word, reason: this runtime's
    std::set<std::string> cannotSeen, names;
    std::size_t scenarioLine = 0;
    bool expected = true;
    std::istringstream in{std::string(text)};
    std::size_t number = 0;
    auto fail = [&](std::size_t at, const std::string& what) {
        table.error = "line " + std::to_string(at) + ": " + what;
        table.scenarios.clear();
        return table;
    };
    auto unable = [&](const std::string& word) -> const std::string* {
        for (const auto& [w, reason] : cannot)
            if (w == word) return &reason;
        return nullptr;
    };
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (const auto comment = line.find(" # "); comment != std::string::npos) line.erase(comment);
        std::istringstream split(line);
        std::vector<std::string> words;
        for (std::string w; split >> w;) words.push_back(w);
        if (words.empty() || words[0].front() == '#') continue;
        const std::string& verb = words[0];
        if (verb == "cannot") {
            if (scenarioLine) return fail(number, "'cannot' after the first scenario");
            if (words.size() < 4) return fail(number, "'cannot' wants a runtime, a word and the reason");
            if (!Has(kTableRuntimes, words[1])) return fail(number, "unknown runtime '" + words[1] + "'");
            if (!FindAction(words[2]) && !Has(kChecks, words[2]))
                return fail(number, "unknown word '" + words[2] + "'");
            if (!cannotSeen.insert(words[1] + " " + words[2]).second) return fail(number, "the same 'cannot' twice");
            if (words[1] == runtime) {
                std::string reason = words[3];
                for (std::size_t i = 4; i < words.size(); ++i) reason += " " + words[i];
                cannot.emplace_back(words[2], reason);
            }
        } else if (verb == "scenario") {
            if (!expected) return fail(scenarioLine, "a scenario without 'expect'");
            if (words.size() < 2) return fail(number, "a scenario without a name");
            std::string name = words[1];
            for (std::size_t i = 2; i < words.size(); ++i) name += " " + words[i];
            if (!names.insert(TestName(name)).second) return fail(number, "a second scenario named '" + name + "'");
            table.scenarios.push_back({name, {}, {}});
            scenarioLine = number;
            expected = false;
        } else {
            const std::string fault = verb == "expect" ? CheckExpect(words) : CheckAction(words);
            if (!fault.empty()) return fail(number, fault);
            if (!scenarioLine) return fail(number, "'" + verb + "' outside a scenario");
            Scenario& s = table.scenarios.back();
            expected = expected || verb == "expect";
            // An action the runtime cannot take skips the scenario; a check it cannot make is left out.
            if (const std::string* reason = unable(verb)) {
                if (s.cannot.empty()) s.cannot = verb + ": " + *reason;
                continue;
            }
            std::vector<std::string> step;
            for (std::size_t i = 0; i < words.size(); ++i) {
                if (verb != "expect" || !unable(words[i])) step.push_back(words[i]);
                else if (words[i] == "focus") ++i;
            }
            s.steps.push_back(step);
        }
    }
    if (!expected) return fail(scenarioLine, "a scenario without 'expect'");
    if (table.scenarios.empty()) return fail(number, "no scenario");
    return table;
}

}  // namespace quorbel::testing
