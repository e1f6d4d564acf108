// libFuzzer target: the input is a sequence of user actions on the headless form, two bytes each.
// After every action the form must show one whole house or the untouched start, with the nesting
// of Click ended and bounded.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/headless/headless_form.hpp"
#include "selection/house_selection.hpp"
#include "shown_house.hpp"

namespace {

using quorbel::Index;
using quorbel::headless::HeadlessForm;

void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// What the user sees of the form.
struct Shown {
    const HeadlessForm& form;
    Index ListIndex(int list) const { return form.ListIndexOf(static_cast<Index>(list)); }
    bool OptionChecked(int option) const { return form.CheckedOption() == option; }
    const std::string& Text() const { return form.TextOf(0); }
};

void Check(const HeadlessForm& form, bool chosen) {
    if (form.Depth() != 0) Fail("a Click is still running");
    if (form.MaxDepth() > 5) Fail("Click nested deeper than five");
    if (chosen && form.ListIndexOf(0) == quorbel::kNoRow) Fail("a chosen house was lost");
    const std::string wrong = quorbel::testing::WrongHouse(Shown{form}, form.ListIndexOf(0));
    if (!wrong.empty()) Fail(wrong.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HeadlessForm form(quorbel::MainWindowLayout, quorbel::HouseSelection);
    bool chosen = false;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const int action = data[i] % 4, argument = data[i + 1];
        const int delta = (argument & 0x80) ? -1 : 1;
        switch (action) {
            case 0: form.ClickListRow(static_cast<Index>(argument % 4), static_cast<Index>((argument / 4) % 5)); break;
            case 1: form.ClickOption(static_cast<Index>(argument % 5)); break;
            case 2: form.PressListArrow(static_cast<Index>(argument % 4), delta); break;
            default: form.PressOptionArrow(static_cast<Index>(argument % 5), delta); break;
        }
        chosen = chosen || form.ListIndexOf(0) != quorbel::kNoRow;
        Check(form, chosen);
    }
    return 0;
}
