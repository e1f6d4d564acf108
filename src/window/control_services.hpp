// The control operations the event handlers rely on, over whichever runtime built the window.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "content/house_table.hpp"

namespace quorbel {

// Index of a control array element, and list row numbers; row -1 means no row is selected.
using Index = std::int16_t;
inline constexpr Index kNoRow = -1;

// A failed control operation. Nothing in the program catches it: the runtime shows its message
// and ends the program.
// (Not a std::runtime_error: that type drags a second, copy-on-write string implementation into the
// statically linked Windows program.)
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Each control kind offers only what the handlers use. A runtime implements these over its own
// controls and keeps the event rule: an assignment that changes nothing raises no Click.
class ListBox {
public:
    ListBox() = default;
    ListBox(const ListBox&) = delete;
    ListBox& operator=(const ListBox&) = delete;
    virtual ~ListBox() = default;

    // The selected row, or kNoRow.
    virtual Index ListIndex() const = 0;
    // Selects the row; may raise Click when the row changes. A row outside -1..count-1 fails.
    virtual void SetListIndex(Index row) = 0;
    // The text of a row; a row that does not exist fails.
    virtual std::string List(Index row) const = 0;
};

class OptionButton {
public:
    OptionButton() = default;
    OptionButton(const OptionButton&) = delete;
    OptionButton& operator=(const OptionButton&) = delete;
    virtual ~OptionButton() = default;

    // True checks this option and unchecks the others of its group; may raise Click when that
    // changes anything. False unchecks this option alone and raises nothing.
    virtual void SetValue(bool checked) = 0;
};

class TextBox {
public:
    TextBox() = default;
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;
    virtual ~TextBox() = default;

    // Replaces the whole contents.
    virtual void SetText(std::string_view text) = 0;
};

// The form's control arrays as the handlers see them. A runtime hands in its elements in Index
// order; reaching an element that does not exist raises RuntimeError.
class ControlServices {
public:
    ControlServices(std::span<ListBox* const> list1, ListBox& list2,
                    std::span<OptionButton* const> option1, std::span<TextBox* const> text1)
        : list1_(list1), list2_(list2), option1_(option1), text1_(text1) {}
    ControlServices(const ControlServices&) = delete;
    ControlServices& operator=(const ControlServices&) = delete;

    ListBox& List1(Index index) const { return Element(list1_, "List1", index); }
    ListBox& List2() const { return list2_; }
    OptionButton& Option1(Index index) const { return Element(option1_, "Option1", index); }
    TextBox& Text1(Index index) const { return Element(text1_, "Text1", index); }

private:
    template <typename Control>
    static Control& Element(std::span<Control* const> array, std::string_view name, Index index) {
        // An element the runtime did not place is as missing as one beyond the array.
        if (index < 0 || static_cast<std::size_t>(index) >= array.size() || !array[static_cast<std::size_t>(index)])
            throw MissingElement(name, index);
        return *array[static_cast<std::size_t>(index)];
    }
    static RuntimeError MissingElement(std::string_view name, Index index);

    std::span<ListBox* const> list1_;
    ListBox& list2_;
    std::span<OptionButton* const> option1_;
    std::span<TextBox* const> text1_;
};

// How many elements each control array has: a list per attribute, an option per house, the two
// text boxes. The window layout is checked against these when it is compiled, so that the arrays
// below need no growing.
inline constexpr std::size_t kList1Count = kAttributeCount;
inline constexpr std::size_t kOption1Count = kHouseCount;
inline constexpr std::size_t kText1Count = 2;

// What a runtime builds for the control arrays: it places each element under its Index as it
// walks the layout, this owns them, and once all are placed hands them to the handlers as
// ControlServices.
class ControlArrays {
public:
    void PlaceList1(Index index, std::unique_ptr<ListBox> list) { Place(list1_, list1Refs_, index, std::move(list)); }
    void PlaceList2(std::unique_ptr<ListBox> list) { list2_ = std::move(list); }
    void PlaceOption1(Index index, std::unique_ptr<OptionButton> option) {
        Place(option1_, option1Refs_, index, std::move(option));
    }
    void PlaceText1(Index index, std::unique_ptr<TextBox> text) { Place(text1_, text1Refs_, index, std::move(text)); }

    // Built on the first call, which must come after every element has been placed.
    const ControlServices& Services() const {
        if (!services_) services_.emplace(list1Refs_, *list2_, option1Refs_, text1Refs_);
        return *services_;
    }

private:
    template <typename Control, std::size_t N>
    void Place(std::array<std::unique_ptr<Control>, N>& owned, std::array<Control*, N>& array, Index index,
               std::unique_ptr<Control> control) {
        assert(!services_ && "every element is placed before the services are handed out");
        // The layout's arrays are checked against these sizes when it is compiled; an Index beyond
        // them is a runtime's own fault, stopped here rather than written out of bounds.
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

// Checks a row number a list is asked about; shared by the runtimes so they fail alike.
// `allowNone` admits kNoRow (selecting nothing).
void CheckListRow(Index row, int rowCount, bool allowNone);

}  // namespace quorbel
