// One suite of house-selection scenarios that every runtime passes, driven through a FormDriver:
// real user actions on whatever controls the runtime built, and what the user then sees.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "content/house_table.hpp"
#include "content/texts.hpp"

namespace quorbel::testing {

// Implemented once per runtime. Arrow deltas: -1 for Up/Left, +1 for Down/Right.
class FormDriver {
public:
    virtual ~FormDriver() = default;
    virtual void ClickListRow(int list, int row) = 0;
    virtual void ClickOption(int option) = 0;
    virtual void PressListArrow(int list, int delta) = 0;
    virtual void PressOptionArrow(int fromOption, int delta) = 0;
    virtual int ListIndex(int list) const = 0;
    virtual bool OptionChecked(int option) const = 0;
    virtual std::string Text() const = 0;  // the contents of Text1(0)
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

template <typename Driver>
class HouseSelectionBehaviour : public ::testing::Test {
protected:
    Driver form;
};
TYPED_TEST_SUITE_P(HouseSelectionBehaviour);

TYPED_TEST_P(HouseSelectionBehaviour, StartsWithTheStatementAndNothingChosen) {
    EXPECT_TRUE(ShowsStart(this->form));
}

TYPED_TEST_P(HouseSelectionBehaviour, ChoosingFromAListSelectsTheHouseEverywhere) {
    this->form.ClickListRow(2, 1);  // "кон"
    EXPECT_TRUE(ShowsHouse(this->form, 1));
    this->form.ClickListRow(1, 2);  // "мляко"
    EXPECT_TRUE(ShowsHouse(this->form, 2));
    EXPECT_EQ(this->form.Text(),
              "Англичанинът живее в червената къща. Собственикът, пушещ \"Pall Mall\", гледа "
              "птичка. Собственикът на средната къща пие мляко.");
}

TYPED_TEST_P(HouseSelectionBehaviour, ChoosingAColourSelectsTheHouseEverywhere) {
    this->form.ClickListRow(0, 0);
    this->form.ClickOption(4);  // "Бяла": "Жълта" must not stay checked
    EXPECT_TRUE(ShowsHouse(this->form, 4));
}

TYPED_TEST_P(HouseSelectionBehaviour, ALaterChoiceLeavesNoTraceOfTheEarlierOne) {
    this->form.ClickOption(1);
    EXPECT_TRUE(ShowsHouse(this->form, 1));
    this->form.ClickListRow(3, 3);  // "Rothmans"
    EXPECT_TRUE(ShowsHouse(this->form, 3));
    EXPECT_NE(this->form.Text().find("кафе.. "), std::string::npos);
    this->form.ClickOption(1);
    this->form.ClickOption(3);
    EXPECT_TRUE(ShowsHouse(this->form, 3));
}

TYPED_TEST_P(HouseSelectionBehaviour, ChoosingTheChosenHouseAgainChangesNothing) {
    this->form.ClickListRow(1, 3);
    this->form.ClickListRow(1, 3);
    EXPECT_TRUE(ShowsHouse(this->form, 3));
    this->form.ClickOption(3);
    EXPECT_TRUE(ShowsHouse(this->form, 3));
    this->form.ClickListRow(2, 3);
    EXPECT_TRUE(ShowsHouse(this->form, 3));
}

TYPED_TEST_P(HouseSelectionBehaviour, ArrowKeysInAListMoveTheHouse) {
    this->form.ClickListRow(0, 1);
    this->form.PressListArrow(0, +1);
    EXPECT_TRUE(ShowsHouse(this->form, 2));
    this->form.PressListArrow(3, -1);
    EXPECT_TRUE(ShowsHouse(this->form, 1));
    this->form.PressListArrow(2, -1);
    this->form.PressListArrow(2, -1);  // already on the first row
    EXPECT_TRUE(ShowsHouse(this->form, 0));
}

TYPED_TEST_P(HouseSelectionBehaviour, ArrowKeysAmongTheOptionsMoveTheHouse) {
    this->form.ClickOption(2);
    this->form.PressOptionArrow(2, +1);
    EXPECT_TRUE(ShowsHouse(this->form, 3));
    this->form.PressOptionArrow(3, -1);
    this->form.PressOptionArrow(2, -1);
    EXPECT_TRUE(ShowsHouse(this->form, 1));
}

TYPED_TEST_P(HouseSelectionBehaviour, TheStatementNeverComesBack) {
    for (int h = 0; h < kHouseCount; ++h) {
        this->form.ClickOption(h);
        this->form.ClickListRow(h % kAttributeCount, (h + 2) % kHouseCount);
        EXPECT_NE(this->form.Text(), StatementText);
        EXPECT_TRUE(Consistent(this->form));
    }
}

REGISTER_TYPED_TEST_SUITE_P(HouseSelectionBehaviour, StartsWithTheStatementAndNothingChosen,
                            ChoosingFromAListSelectsTheHouseEverywhere,
                            ChoosingAColourSelectsTheHouseEverywhere,
                            ALaterChoiceLeavesNoTraceOfTheEarlierOne,
                            ChoosingTheChosenHouseAgainChangesNothing, ArrowKeysInAListMoveTheHouse,
                            ArrowKeysAmongTheOptionsMoveTheHouse, TheStatementNeverComesBack);

}  // namespace quorbel::testing
