// The in-memory controls and the Click bookkeeping of the headless form.
#include "platform/headless/headless_form.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace quorbel::headless {

class HeadlessForm::MemoryList final : public ListBox {
public:
    MemoryList(HeadlessForm& form, Index index, std::span<const std::string_view> rows, bool bound)
        : form_(form), index_(index), rows_(rows.begin(), rows.end()), bound_(bound) {}

    Index ListIndex() const override { return selected_; }
    void SetListIndex(Index row) override {
        CheckListRow(row, Count(), true);
        if (row == selected_) return;
        selected_ = row;
        if (!bound_) return;
        ++form_.listChanges_[static_cast<std::size_t>(index_)];
        if (form_.codeRaisesClick_) form_.Raise(ClickOf::List1, index_);
    }
    Text List(Index row) const override {
        CheckListRow(row, Count(), false);
        return Text(rows_[static_cast<std::size_t>(row)]);
    }

    int Count() const { return static_cast<int>(rows_.size()); }
    const std::vector<std::string>& Rows() const { return rows_; }
    // A user's click: the row becomes selected if it was not, and Click is raised either way.
    void UserClick(Index row) {
        CheckListRow(row, Count(), false);
        if (row != selected_) {
            selected_ = row;
            ++form_.listChanges_[static_cast<std::size_t>(index_)];
        }
        form_.Raise(ClickOf::List1, index_);
    }

private:
    HeadlessForm& form_;
    Index index_;
    std::vector<std::string> rows_;
    bool bound_;
    Index selected_ = kNoRow;
};

class HeadlessForm::MemoryOption final : public OptionButton {
public:
    MemoryOption(HeadlessForm& form, Index index) : form_(form), index_(index) {}

    void SetValue(bool checked) override {
        if (checked == checked_) return;
        Check(checked);
        if (checked && form_.codeRaisesClick_) form_.Raise(ClickOf::Option1, index_);
    }

    bool Checked() const { return checked_; }
    void UserClick() {
        if (!checked_) Check(true);
        form_.Raise(ClickOf::Option1, index_);
    }

private:
    // Checking one option of the group unchecks the others; only the checked one raises Click.
    void Check(bool checked) {
        if (checked)
            for (MemoryOption* other : form_.option1_)
                if (other != this && other->checked_) other->Change(false);
        Change(checked);
    }
    void Change(bool checked) {
        checked_ = checked;
        ++form_.optionChanges_[static_cast<std::size_t>(index_)];
    }

    HeadlessForm& form_;
    Index index_;
    bool checked_ = false;
};

class HeadlessForm::MemoryText final : public TextBox {
public:
    explicit MemoryText(std::string_view text) : text_(text) {}
    void SetText(std::string_view text) override { text_.assign(text); }
    const std::string& Contents() const { return text_; }

private:
    std::string text_;
};

namespace {
// Keeps a typed pointer to an element under its Index.
template <typename Element>
void Place(std::vector<Element*>& typed, Index index, Element* element) {
    if (typed.size() <= static_cast<std::size_t>(index)) typed.resize(static_cast<std::size_t>(index) + 1);
    typed[static_cast<std::size_t>(index)] = element;
}
}  // namespace

HeadlessForm::HeadlessForm(const WindowLayout& layout, FormEvents events, bool codeRaisesClick)
    : layout_(layout), events_(events), codeRaisesClick_(codeRaisesClick) {
    for (const ControlDescription& c : layout.controls) {
        switch (c.kind) {
            case ControlKind::ListBox: {
                auto list = std::make_unique<MemoryList>(*this, c.index, c.rows, !IsHintStore(c));
                if (IsHintStore(c)) list2_ = list.get();
                else Place(list1_, c.index, list.get());
                arrays_.PlaceListBox(c, std::move(list));
                break;
            }
            case ControlKind::OptionButton: {
                auto option = std::make_unique<MemoryOption>(*this, c.index);
                Place(option1_, c.index, option.get());
                arrays_.PlaceOption1(c.index, std::move(option));
                break;
            }
            case ControlKind::TextBox: {
                auto text = std::make_unique<MemoryText>(c.text);
                Place(text1_, c.index, text.get());
                arrays_.PlaceText1(c.index, std::move(text));
                break;
            }
            case ControlKind::Label:
            case ControlKind::Frame:
                break;  // nothing the handlers reach
        }
    }
    listChanges_.assign(list1_.size(), 0);
    optionChanges_.assign(option1_.size(), 0);
}

HeadlessForm::~HeadlessForm() = default;

void HeadlessForm::Raise(ClickOf source, Index index) {
    ++handlerCalls_;
    ++depth_;
    maxDepth_ = std::max(maxDepth_, depth_);
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{depth_};
    DeliverClick(events_, arrays_.Services(), source, index);
}

HeadlessForm::MemoryList& HeadlessForm::ListAt(Index list) const {
    static_cast<void>(arrays_.Services().List1(list));  // a missing element is a run-time error
    return *list1_[static_cast<std::size_t>(list)];
}

HeadlessForm::MemoryOption& HeadlessForm::OptionAt(Index option) const {
    static_cast<void>(arrays_.Services().Option1(option));
    return *option1_[static_cast<std::size_t>(option)];
}

void HeadlessForm::ClickListRow(Index list, Index row) { ListAt(list).UserClick(row); }

void HeadlessForm::PressListKey(Index list, ListKey key) {
    MemoryList& l = ListAt(list);
    const Index current = l.ListIndex();
    const int last = l.Count() - 1;
    int target = 0;
    if (current != kNoRow) {
        switch (key) {
            case ListKey::Up: target = std::max(current - 1, 0); break;
            case ListKey::Down: target = std::min(current + 1, last); break;
            case ListKey::Home:
            case ListKey::PageUp: target = 0; break;
            case ListKey::End:
            case ListKey::PageDown: target = last; break;
        }
    }
    if (target == current) return;
    l.UserClick(static_cast<Index>(target));
}

void HeadlessForm::TypeInList(Index list, char letter) {
    MemoryList& l = ListAt(list);
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    const int count = l.Count(), first = l.ListIndex() == kNoRow ? 0 : l.ListIndex() + 1;
    for (int i = 0; i < count; ++i) {
        const int row = (first + i) % count;
        const std::string& text = l.Rows()[static_cast<std::size_t>(row)];
        if (!text.empty() && lower(text[0]) == lower(letter)) {
            if (row != l.ListIndex()) l.UserClick(static_cast<Index>(row));
            return;
        }
    }
}

void HeadlessForm::ClickOption(Index option) { OptionAt(option).UserClick(); }

void HeadlessForm::PressOptionArrow(Index fromOption, int delta) {
    static_cast<void>(OptionAt(fromOption));
    const int count = OptionCount();
    const int target = ((fromOption + delta) % count + count) % count;
    MemoryOption& o = OptionAt(static_cast<Index>(target));
    if (!o.Checked()) o.UserClick();
}

Index HeadlessForm::ListIndexOf(Index list) const { return ListAt(list).ListIndex(); }
int HeadlessForm::ListCount() const { return static_cast<int>(list1_.size()); }
int HeadlessForm::OptionCount() const { return static_cast<int>(option1_.size()); }

Index HeadlessForm::CheckedOption() const {
    for (std::size_t i = 0; i < option1_.size(); ++i)
        if (option1_[i]->Checked()) return static_cast<Index>(i);
    return kNoRow;
}

int HeadlessForm::CheckedOptionCount() const {
    return static_cast<int>(std::count_if(option1_.begin(), option1_.end(),
                                          [](const auto& o) { return o->Checked(); }));
}

const std::string& HeadlessForm::TextOf(Index text) const {
    static_cast<void>(arrays_.Services().Text1(text));
    return text1_[static_cast<std::size_t>(text)]->Contents();
}

bool HeadlessForm::IsHidden(std::string_view name, Index index) const {
    for (const ControlDescription& c : layout_.controls)
        if (c.name == name && c.index == index) return c.hidden;
    RaiseRunTimeError(FailureMessage("no control ") << name);
}

std::vector<std::string> HeadlessForm::ListRows(std::string_view name, Index index) const {
    if (name == "List2") return list2_->Rows();
    return ListAt(index).Rows();
}

void HeadlessForm::ResetCounters() {
    maxDepth_ = depth_;
    handlerCalls_ = 0;
    std::fill(listChanges_.begin(), listChanges_.end(), 0);
    std::fill(optionChanges_.begin(), optionChanges_.end(), 0);
}

}  // namespace quorbel::headless

#if !defined(__cpp_exceptions)
// Built without exceptions (the page's tree runs the core's tests so): a failure is written out and
// ends the run, as nothing is there to show it.
void quorbel::EndWithFailure(std::string_view message) noexcept {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
    std::abort();
}
#endif
