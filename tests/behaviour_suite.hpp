// The behaviour table (behaviour.txt) played on a runtime through a FormDriver: real user actions
// on whatever controls the runtime built, and what the user then sees; and a desktop runtime's
// form as drawn, against the layout.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "behaviour_table.hpp"  // kBehaviourTable, the text of behaviour.txt
#include "content/house_table.hpp"
#include "content/texts.hpp"
#include "selection/house_selection.hpp"
#include "shown_house.hpp"
#include "table_reader.hpp"
#include "window/main_window_layout.hpp"

namespace quorbel::testing {

// Implemented once per runtime. What a runtime cannot do, the table says; the defaults fail.
class FormDriver {
public:
    virtual ~FormDriver() = default;
    virtual void ClickListRow(int list, int row) = 0;
    virtual void ClickOption(int option) = 0;
    // A key in a list, by its word in the table: up, down, home, end, pageup, pagedown.
    virtual void PressListKey(int list, const std::string& key) = 0;
    virtual void TypeInList(int list, char letter) = 0;
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
    // The Clicks delivered so far, counted by binding kCountedSelection; -1 where not counted.
    virtual int Clicks() const { return -1; }
};

// What the user sees of house h: all four lists on row h, option h alone checked, hint h in the
// text area; or, for h = -1, the untouched start: nothing selected, nothing checked, the statement.
inline ::testing::AssertionResult ShowsHouse(const FormDriver& form, int h) {
    const std::string wrong = WrongHouse(form, h);
    return wrong.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << wrong;
}
inline constexpr int kStart = -1;

// Either a whole house or the start state, and nothing in between.
inline ::testing::AssertionResult Consistent(const FormDriver& form) { return ShowsHouse(form, form.ListIndex(0)); }

// What content/ calls a control that takes the focus: the text area by its name, a list by its
// heading, an option by its colour. What a screen reader hears of it.
inline std::string_view NameFromContent(const ControlDescription& c) {
    const auto index = static_cast<std::size_t>(c.index);
    return c.kind == ControlKind::TextBox   ? TextAreaName
           : c.kind == ControlKind::ListBox ? AttributeHeadings[index]
                                            : HouseTable[index].colourCaption;
}

// A desktop runtime's form as drawn: its client area's size in pixels, where a control stands in
// it, and the colour of one of its pixels (0xRRGGBB) in a picture taken once the form stands.
class DrawnForm {
public:
    struct Box {
        int left, top, width, height;
    };
    virtual ~DrawnForm() = default;
    virtual Box Client() const = 0;
    virtual Box Place(const ControlDescription& control) const = 0;
    virtual std::uint32_t Pixel(int x, int y) const = 0;
};

// The form as the layout draws it at DPI: the client area and every control where the layout puts
// it (a control of the frame from the frame's corner); the form's background beside the lists; each
// label and option painted in its own colour to its edges and no further; and each centred label's
// text in its middle, its margins apart by no more than the glyphs' side bearings.
inline void ExpectDrawnAsLaidOut(const DrawnForm& form, int dpi) {
    auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    auto rgb = [](Rgb c) { return static_cast<std::uint32_t>(c.red << 16 | c.green << 8 | c.blue); };
    const DrawnForm::Box client = form.Client();
    EXPECT_EQ(client.width, px(MainWindowLayout.form.clientWidth)) << "client width at " << dpi;
    EXPECT_EQ(client.height, px(MainWindowLayout.form.clientHeight)) << "client height at " << dpi;
    EXPECT_EQ(form.Pixel(px(30), px(3000)), rgb(MainWindowLayout.form.backColor)) << "the form's background";
    const TwipsRect frame = Frame1Bounds(MainWindowLayout);
    for (const ControlDescription& c : MainWindowLayout.controls) {
        SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ") at " + std::to_string(dpi) + " DPI");
        const bool inFrame = c.container == Container::Frame1;
        const DrawnForm::Box at = form.Place(c);
        EXPECT_EQ(at.left, px(c.bounds.left + (inFrame ? frame.left : 0)));
        EXPECT_EQ(at.top, px(c.bounds.top + (inFrame ? frame.top : 0)));
        EXPECT_EQ(at.width, px(c.bounds.width));
        EXPECT_EQ(at.height, px(c.bounds.height));
        if (c.hidden || (c.kind != ControlKind::Label && c.kind != ControlKind::OptionButton)) continue;
        // Along its top row, which no neighbour overlaps.
        const std::uint32_t own = rgb(*c.background), back = rgb(MainWindowLayout.form.backColor);
        const int right = at.left + at.width - 1, top = at.top + 1;
        EXPECT_EQ((std::array{form.Pixel(at.left - 1, top), form.Pixel(at.left, top), form.Pixel(right, top),
                              form.Pixel(right + 1, top)}),
                  (std::array{back, own, own, back})) << "not painted from edge to edge";
        if (!c.centredText) continue;
        int first = -1, last = -1;
        for (int x = at.left; x < at.left + at.width; ++x)
            for (int y = at.top + at.height / 4; y < at.top + at.height * 3 / 4; ++y)
                if (form.Pixel(x, y) != own) {
                    if (first < 0) first = x;
                    last = x;
                }
        EXPECT_GE(first, 0) << "no text";
        EXPECT_LE(std::abs((first - at.left) - (at.left + at.width - 1 - last)), 4 * dpi / 96) << "not centred";
    }
}

inline void PrintTo(const Scenario& scenario, std::ostream* out) { *out << '"' << scenario.name << '"'; }

// The scenarios RUNTIME plays; a malformed table is one scenario that fails with the table's fault.
inline std::vector<Scenario> ScenariosFor(std::string_view runtime) {
    Table table = ReadBehaviourTable(kBehaviourTable, runtime);
    if (!table.error.empty()) return {{"behaviour.txt", {{"malformed", table.error}}, {}}};
    return table.scenarios;
}

// The procedures the players bind: the program's own, counting the Clicks a runtime hands them from
// outside a procedure, which is one per user action that changes the house and none otherwise.
inline int clicksDelivered = 0;
inline int procedureDepth = 0;
inline void Counted(ClickProcedure procedure, const ControlServices& controls, Index index) {
    struct Depth {
        Depth() { clicksDelivered += procedureDepth++ == 0; }
        ~Depth() { --procedureDepth; }
    } depth;
    procedure(controls, index);
}
inline constexpr FormEvents kCountedSelection{
    .list1Click = [](const ControlServices& c, Index i) { Counted(HouseSelection.list1Click, c, i); },
    .option1Click = [](const ControlServices& c, Index i) { Counted(HouseSelection.option1Click, c, i); }};

inline void PlayStep(FormDriver& form, const std::vector<std::string>& step) {
    const std::string& verb = step[0];
    auto number = [&](std::size_t i) { return std::stoi(step.at(i)); };
    auto delta = [&](std::size_t i) { return step.at(i) == "left" ? -1 : +1; };
    if (verb == "row") form.ClickListRow(number(1), number(2));
    else if (verb == "option") form.ClickOption(number(1));
    else if (verb == "below") form.ClickBelowLastRow(number(1));
    else if (verb == "list-key") form.PressListKey(number(1), step.at(2));
    else if (verb == "list-type") form.TypeInList(number(1), step.at(2).at(0));
    else if (verb == "option-key") form.PressOptionArrow(number(1), delta(2));
    else if (verb == "tab") {
        for (int i = number(1); i > 0; --i) form.PressTab();
    }
    else if (verb == "select-text") form.SelectAllText();
    else if (verb == "type") form.Type(step.at(1));
    else if (verb == "edit-keys") form.PressEditKeys();
    else if (verb == "malformed") ADD_FAILURE() << "behaviour.txt " << step.at(1);
    else if (verb == "expect") {
        EXPECT_TRUE(ShowsHouse(form, step.at(1) == "start" ? kStart : number(2)));
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

// A step, and after an action the Clicks it raised: one if it changed the house; at most one for a
// choice of the chosen house (a row, an option or an arrow key), which a platform may report; none
// for anything else.
inline void PlayCounted(FormDriver& form, const std::vector<std::string>& step) {
    const int house = form.ListIndex(0), clicks = form.Clicks();
    PlayStep(form, step);
    if (step[0] == "expect" || clicks < 0) return;
    const int raised = form.Clicks() - clicks;
    if (form.ListIndex(0) != house) EXPECT_EQ(raised, 1) << "Clicks raised by " << step[0];
    else if (step[0] == "row" || step[0] == "option" || step[0].ends_with("-key") || step[0] == "list-type") EXPECT_LE(raised, 1) << "Clicks raised by " << step[0];
    else EXPECT_EQ(raised, 0) << "Clicks raised by " << step[0];
}

// The table on one runtime: one test a scenario, named after it.
inline std::string ScenarioName(const ::testing::TestParamInfo<Scenario>& info) { return TestName(info.param.name); }

}  // namespace quorbel::testing

// Plays every scenario of the table on RUNTIME (its name in the table) through DRIVER.
#define QUORBEL_BEHAVIOUR_TABLE(FIXTURE, DRIVER, RUNTIME)                                              \
    class FIXTURE : public ::testing::TestWithParam<::quorbel::testing::Scenario> {};                  \
    TEST_P(FIXTURE, Plays) {                                                                          \
        if (!GetParam().cannot.empty()) GTEST_SKIP() << GetParam().cannot;                           \
        DRIVER form;                                                                                  \
        for (const auto& step : GetParam().steps) {                                                   \
            SCOPED_TRACE(step[0] + (step.size() > 1 ? " " + step[1] : std::string()));                \
            ::quorbel::testing::PlayCounted(form, step);                                              \
        }                                                                                             \
    }                                                                                                 \
    INSTANTIATE_TEST_SUITE_P(Table, FIXTURE,                                                          \
                             ::testing::ValuesIn(::quorbel::testing::ScenariosFor(RUNTIME)),        \
                             ::quorbel::testing::ScenarioName)
