// An in-memory form built from the window layout: the test and benchmark vehicle for the handlers.
// By default it raises Click on every assignment that changes a list row or checks an option, nested
// inside the running handler, which is the harshest behaviour the event rule allows; built with
// codeRaisesClick false, an assignment raises nothing, the other end of what the rule allows.
#pragma once

#include <string>
#include <vector>

#include "window/control_arrays.hpp"
#include "window/form_events.hpp"
#include "window/main_window_layout.hpp"

namespace quorbel::headless {

class HeadlessForm {
public:
    HeadlessForm(const WindowLayout& layout, FormEvents events, bool codeRaisesClick = true);
    ~HeadlessForm();
    HeadlessForm(const HeadlessForm&) = delete;
    HeadlessForm& operator=(const HeadlessForm&) = delete;

    const ControlServices& Controls() const { return arrays_.Services(); }

    // User actions. Each changes what the user changed and raises Click for that control.
    // Clicking a row or an option raises Click even when it is already selected, as a real click does.
    void ClickListRow(Index list, Index row);
    // A key in a list, as the Windows list box answers it: with no row selected any of them selects
    // the first row; Up and Down move by one, Home and End to the first and last row, Page Up and
    // Page Down by a page, which is the whole list as every row is on view. Where the row stays,
    // nothing is raised.
    enum class ListKey { Up, Down, Home, End, PageUp, PageDown };
    void PressListKey(Index list, ListKey key);
    // Arrow Up (-1) or Down (+1) in a list.
    void PressListArrow(Index list, int delta) { PressListKey(list, delta < 0 ? ListKey::Up : ListKey::Down); }
    // A letter typed in a list: the next row after the selected one (round past the last, from the
    // first when none is selected) whose text starts with it, in either case.
    void TypeInList(Index list, char letter);
    void ClickOption(Index option);
    // Arrow keys among the options move to the neighbour (wrapping round) and check it.
    void PressOptionArrow(Index fromOption, int delta);

    // What the user sees.
    Index ListIndexOf(Index list) const;
    int ListCount() const;
    Index CheckedOption() const;  // kNoRow when none is checked
    int OptionCount() const;
    int CheckedOptionCount() const;
    const std::string& TextOf(Index text) const;
    bool IsHidden(std::string_view name, Index index) const;
    std::vector<std::string> ListRows(std::string_view name, Index index) const;

    // Event bookkeeping, for bounding the nesting of Click.
    int Depth() const { return depth_; }
    int MaxDepth() const { return maxDepth_; }
    int HandlerCalls() const { return handlerCalls_; }
    // How often each List1 element's row and each Option1 element's check changed.
    const std::vector<int>& ListChanges() const { return listChanges_; }
    const std::vector<int>& OptionChanges() const { return optionChanges_; }
    void ResetCounters();

private:
    class MemoryList;
    class MemoryOption;
    class MemoryText;
    friend class MemoryList;
    friend class MemoryOption;

    void Raise(ClickOf source, Index index);
    MemoryList& ListAt(Index list) const;
    MemoryOption& OptionAt(Index option) const;

    const WindowLayout& layout_;
    FormEvents events_;
    bool codeRaisesClick_;
    ControlArrays arrays_;
    // The same elements as arrays_ holds, with their in-memory types.
    std::vector<MemoryList*> list1_;
    MemoryList* list2_ = nullptr;
    std::vector<MemoryOption*> option1_;
    std::vector<MemoryText*> text1_;

    int depth_ = 0;
    int maxDepth_ = 0;
    int handlerCalls_ = 0;
    std::vector<int> listChanges_;
    std::vector<int> optionChanges_;
};

}  // namespace quorbel::headless
