// What a runtime builds for the form's control arrays while it walks the window layout.
#pragma once

#include <array>
#include <cassert>
#include <cstdlib>
#include <memory>
#include <optional>

#include "window/control_services.hpp"
#include "window/main_window_layout.hpp"

namespace quorbel {

// How many elements each control array has, as the layout states them.
inline constexpr std::size_t kList1Count = layout_checks::CountNamed(MainWindowLayout, "List1");
inline constexpr std::size_t kOption1Count = layout_checks::CountNamed(MainWindowLayout, "Option1");
inline constexpr std::size_t kText1Count = layout_checks::CountNamed(MainWindowLayout, "Text1");

// The runtime places each element under its Index as it walks the layout, this owns them, and once
// all are placed hands them to the handlers as ControlServices.
class ControlArrays {
public:
    // A list box goes where the layout's rule puts it: the hint store is List2, every other list
    // the List1 element of its Index.
    void PlaceListBox(bool hintStore, Index index, std::unique_ptr<ListBox> list) {
        if (hintStore) list2_ = std::move(list);
        else Place(list1_, list1Refs_, index, std::move(list));
    }
    void PlaceListBox(const ControlDescription& c, std::unique_ptr<ListBox> list) {
        PlaceListBox(IsHintStore(c), c.index, std::move(list));
    }
    void PlaceOption1(Index index, std::unique_ptr<OptionButton> option) {
        Place(option1_, option1Refs_, index, std::move(option));
    }
    void PlaceText1(Index index, std::unique_ptr<TextBox> text) { Place(text1_, text1Refs_, index, std::move(text)); }

    // Built on the first call, which must come after every element has been placed. Without the
    // hint store the handlers could not run at all: that is a run-time error, not a null reference.
    const ControlServices& Services() const {
        if (!list2_) MissingControl("List2");
        if (!services_) services_.emplace(list1Refs_, *list2_, option1Refs_, text1Refs_);
        return *services_;
    }

private:
    template <typename Control, std::size_t N>
    void Place(std::array<std::unique_ptr<Control>, N>& owned, std::array<Control*, N>& array, Index index,
               std::unique_ptr<Control> control) {
        assert(!services_ && "every element is placed before the services are handed out");
        // The arrays have the layout's sizes; an Index beyond them is a runtime's own fault,
        // stopped here rather than written out of bounds.
        const auto at = static_cast<std::size_t>(index);
        if (index < 0 || at >= N) std::abort();
        array[at] = control.get();
        owned[at] = std::move(control);
    }

    std::array<std::unique_ptr<ListBox>, kList1Count> list1_;
    std::unique_ptr<ListBox> list2_;
    std::array<std::unique_ptr<OptionButton>, kOption1Count> option1_;
    std::array<std::unique_ptr<TextBox>, kText1Count> text1_;
    std::array<ListBox*, kList1Count> list1Refs_{};
    std::array<OptionButton*, kOption1Count> option1Refs_{};
    std::array<TextBox*, kText1Count> text1Refs_{};
    mutable std::optional<ControlServices> services_;
};

}  // namespace quorbel
