// House selection through the headless form: the behaviour table where every changing assignment
// raises Click and where none does, the bound on nesting, and the run-time errors.
#include <gtest/gtest.h>

#include "behaviour_suite.hpp"
#include "platform/headless/headless_form.hpp"
#include "selection/house_selection.hpp"

namespace quorbel {
namespace {

using headless::HeadlessForm;

template <bool kCodeRaisesClick>
class HeadlessDriver : public testing::FormDriver {
public:
    HeadlessForm form{MainWindowLayout, testing::kCountedSelection, kCodeRaisesClick};

    void ClickListRow(int list, int row) override {
        form.ClickListRow(static_cast<Index>(list), static_cast<Index>(row));
    }
    void ClickOption(int option) override { form.ClickOption(static_cast<Index>(option)); }
    void PressListKey(int list, const std::string& key) override {
        using enum HeadlessForm::ListKey;
        form.PressListKey(static_cast<Index>(list), key == "up" ? Up : key == "down" ? Down : key == "home" ? Home
                                                    : key == "end" ? End : key == "pageup" ? PageUp : PageDown);
    }
    void TypeInList(int list, char letter) override { form.TypeInList(static_cast<Index>(list), letter); }
    void PressOptionArrow(int option, int delta) override { form.PressOptionArrow(static_cast<Index>(option), delta); }
    int ListIndex(int list) const override { return form.ListIndexOf(static_cast<Index>(list)); }
    bool OptionChecked(int option) const override { return form.CheckedOption() == option; }
    std::string Text() const override { return form.TextOf(0); }
    int Clicks() const override { return testing::clicksDelivered; }
};

}  // namespace

using HarshDriver = HeadlessDriver<true>;
QUORBEL_BEHAVIOUR_TABLE(HeadlessBehaviour, HarshDriver, "headless");
// Where code's assignments raise nothing, the procedures alone must select the whole house.
using QuietDriver = HeadlessDriver<false>;
QUORBEL_BEHAVIOUR_TABLE(QuietHeadlessBehaviour, QuietDriver, "headless");

namespace {

// Each bad table fails the reader at the line its first comment names.
TEST(BehaviourTable, TheReaderRejectsEveryBadTable) {
    for (const auto& [name, text] : kBadTables) {
        const std::string_view table(text);
        const std::size_t at = table.find("line ");
        const std::string line(table.substr(at, table.find(':', at) - at + 1));
        EXPECT_EQ(testing::ReadBehaviourTable(table, "headless").error.substr(0, line.size()), line) << name;
    }
}

}  // namespace

namespace {

TEST(HeadlessForm, IsFilledFromTheLayout) {
    HeadlessForm form(MainWindowLayout, HouseSelection);
    for (Index list = 0; list < 4; ++list) {
        const auto rows = AttributeRows(list);
        EXPECT_EQ(form.ListRows("List1", list), std::vector<std::string>(rows.begin(), rows.end()));
        EXPECT_FALSE(form.IsHidden("List1", list));
    }
    EXPECT_EQ(form.ListRows("List2", kNotInArray), std::vector<std::string>(HintTexts.begin(), HintTexts.end()));
    EXPECT_TRUE(form.IsHidden("List2", kNotInArray));
    EXPECT_TRUE(form.IsHidden("Text1", 1));
    EXPECT_FALSE(form.IsHidden("Text1", 0));
    EXPECT_EQ(form.TextOf(1), EpigraphText);
    EXPECT_EQ(form.OptionCount(), 5);
    EXPECT_EQ(form.CheckedOptionCount(), 0);
}

// Every user action, from the start and from every house: each list's row and each option's check
// changes at most once, and the nesting of Click stays shallow.
TEST(Nesting, EachControlChangesAtMostOncePerChoice) {
    int deepest = 0;
    for (int from = -1; from < kHouseCount; ++from) {
        for (int to = 0; to < kHouseCount; ++to) {
            for (int via = 0; via < kAttributeCount + 1; ++via) {
                HeadlessForm form(MainWindowLayout, HouseSelection);
                if (from >= 0) form.ClickOption(static_cast<Index>(from));
                form.ResetCounters();
                if (via == kAttributeCount)
                    form.ClickOption(static_cast<Index>(to));
                else
                    form.ClickListRow(static_cast<Index>(via), static_cast<Index>(to));
                for (int changes : form.ListChanges()) EXPECT_LE(changes, 1);
                for (int changes : form.OptionChanges()) EXPECT_LE(changes, 1);
                EXPECT_EQ(form.Depth(), 0);
                deepest = std::max(deepest, form.MaxDepth());
            }
        }
    }
    // A list click from the start: the clicked list, then List1(0), (1), (3), then Option1.
    EXPECT_EQ(deepest, 5);
}

// A build without exceptions (the page's) shows a failure and stops where it happens: its tests
// are the page's own.
#if defined(__cpp_exceptions)
TEST(RuntimeErrors, AMissingElementIsRaisedNotSwallowed) {
    HeadlessForm form(MainWindowLayout, HouseSelection);
    const ControlServices& controls = form.Controls();
    EXPECT_THROW(controls.List1(4), RuntimeError);
    EXPECT_THROW(controls.List1(-1), RuntimeError);
    EXPECT_THROW(controls.Option1(5), RuntimeError);
    EXPECT_THROW(controls.Text1(2), RuntimeError);
    EXPECT_THROW(controls.List2().List(5), RuntimeError);
    EXPECT_THROW(controls.List1(0).SetListIndex(5), RuntimeError);
    // An element no runtime placed is missing too.
    std::array<ListBox*, 4> lists{&controls.List1(0), nullptr, &controls.List1(2), &controls.List1(3)};
    const ControlServices partial(lists, controls.List2(), {}, {});
    EXPECT_THROW(partial.List1(1), RuntimeError);
    // So is a hint store no runtime placed, found when the services are first handed out.
    try {
        ControlArrays().Services();
        ADD_FAILURE() << "no run-time error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Message(), std::string(kRunTimeErrorPrefix) + "елементът List2 не съществува.");
    }
    try {
        List1_Click(controls, -32768);
        ADD_FAILURE() << "no run-time error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Message().substr(0, kRunTimeErrorPrefix.size()), kRunTimeErrorPrefix);
        EXPECT_NE(error.Message().find("List1(-32768)"), std::string_view::npos) << error.what();
    }
}

// Raised deep inside nested Clicks, a run-time error passes every frame on its way to the runtime,
// the core's and the form's, and each lets go of what it held: no handler is left running.
TEST(RuntimeErrors, ARunTimeErrorInANestedClickUnwindsEveryFrame) {
    HeadlessForm form(MainWindowLayout, {.list1Click = List1_Click,
                                         .option1Click = [](const ControlServices& c, Index i) { c.Option1(i + 9); }});
    EXPECT_THROW(form.ClickListRow(2, 1), RuntimeError);
    EXPECT_GE(form.MaxDepth(), 3);
    EXPECT_EQ(form.Depth(), 0);
}

// A form cannot be bound to nothing: the binding fails where it is made.
TEST(RuntimeErrors, AFormWithoutAnEventProcedureCannotBeDeclared) {
    const ClickProcedure none = nullptr;
    EXPECT_THROW(static_cast<void>(FormEvents{.list1Click = List1_Click, .option1Click = none}), RuntimeError);
}

#endif

// A list Click while that list has no selected row names no house: it reaches no procedure.
TEST(RuntimeErrors, AListClickWithNoRowSelectedDoesNothing) {
    HarshDriver driver;
    DeliverClick(HouseSelection, driver.form.Controls(), ClickOf::List1, 2);
    EXPECT_TRUE(testing::ShowsHouse(driver, testing::kStart));
}

}  // namespace
}  // namespace quorbel
