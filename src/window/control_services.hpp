// The control operations the event handlers rely on, over whichever runtime built the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>

#include "window/failure.hpp"

namespace quorbel {

// Index of a control array element, and list row numbers; row -1 means no row is selected.
using Index = std::int16_t;
inline constexpr Index kNoRow = -1;

// A string a control operation hands out (UTF-8). It belongs to the caller, who lets it go after
// use. Its own small type rather than std::string, whose error paths would bring the library's
// exceptions into the Windows program, which has none.
class Text {
public:
    Text() = default;
    explicit Text(std::string_view text) : Text(text.size()) { std::memcpy(chars_.get(), text.data(), text.size()); }
    // Room for `size` characters, to be filled through Data().
    explicit Text(std::size_t size) : chars_(new char[size + 1]), size_(size) {
        chars_[size] = '\0';
    }

    char* Data() { return chars_.get(); }
    std::size_t Size() const { return size_; }
    // Keeps the first `size` characters, for a text that filled less than its room.
    void Shorten(std::size_t size) {
        if (size < size_) chars_[size_ = size] = '\0';
    }
    std::string_view View() const { return {chars_ ? chars_.get() : "", size_}; }
    operator std::string_view() const { return View(); }
    friend bool operator==(const Text& text, std::string_view other) { return text.View() == other; }

private:
    std::unique_ptr<char[]> chars_;
    std::size_t size_ = 0;
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
    virtual Text List(Index row) const = 0;
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
// order; reaching an element that does not exist is a run-time error.
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
            MissingElement(name, index);
        return *array[static_cast<std::size_t>(index)];
    }
    [[noreturn]] static void MissingElement(std::string_view name, Index index);

    std::span<ListBox* const> list1_;
    ListBox& list2_;
    std::span<OptionButton* const> option1_;
    std::span<TextBox* const> text1_;
};

// Checks a row number a list is asked about; shared by the runtimes so they fail alike.
// `allowNone` admits kNoRow (selecting nothing).
void CheckListRow(Index row, int rowCount, bool allowNone);

// A control outside the arrays (the hint store) that the runtime never placed: a run-time error.
[[noreturn]] void MissingControl(std::string_view name);

}  // namespace quorbel
