// What the user sees of a form against content/: house h whole, or for h = -1 the untouched start.
// Shared by the GoogleTest suites and the fuzzer, which has no GoogleTest.
#pragma once

#include <string>

#include "content/house_table.hpp"
#include "content/texts.hpp"

namespace quorbel::testing {

// All four lists on row h, option h alone checked, hint h in the text area; for h = -1 nothing
// selected, nothing checked, the statement. What differs first, or nothing. FORM answers
// ListIndex(list), OptionChecked(option) and Text().
template <typename Form>
std::string WrongHouse(const Form& form, int h) {
    for (int list = 0; list < kAttributeCount; ++list)
        if (form.ListIndex(list) != h) return "List1(" + std::to_string(list) + ") is on row " + std::to_string(form.ListIndex(list));
    for (int option = 0; option < kHouseCount; ++option)
        if (form.OptionChecked(option) != (option == h))
            return "Option1(" + std::to_string(option) + ") is " + (option == h ? "unchecked" : "checked");
    if (form.Text() != (h < 0 ? StatementText : HintTexts[static_cast<std::size_t>(h)]))
        return "the text area holds: " + std::string(form.Text()).substr(0, 60);
    return {};
}

}  // namespace quorbel::testing
