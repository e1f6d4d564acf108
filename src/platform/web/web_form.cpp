// Attaches to the form's page controls, which the markup holds, and adapts them to the control services.
#include "platform/web/web_form.hpp"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "platform/web/page_controls.hpp"

namespace quorbel::web {

namespace {

int Length(std::string_view text) { return static_cast<int>(text.size()); }

}  // namespace

class WebForm::ListAdapter final : public ListBox {
public:
    ListAdapter(int handle, int count) : handle_(handle), count_(count) {}

    Index ListIndex() const override { return static_cast<Index>(quorbel_page_selected_row(handle_)); }
    void SetListIndex(Index row) override {
        CheckListRow(row, count_, true);
        // Setting a row from script raises no event in the page, so no Click follows.
        if (row != ListIndex()) quorbel_page_select_row(handle_, row);
    }
    Text List(Index row) const override {
        CheckListRow(row, count_, false);
        Text text(static_cast<std::size_t>(quorbel_page_row_text(handle_, row, nullptr, 0)));
        // The page writes a terminating zero too, for which Text keeps room.
        text.Shorten(static_cast<std::size_t>(
            quorbel_page_row_text(handle_, row, text.Data(), static_cast<int>(text.Size()) + 1)));
        return text;
    }

private:
    int handle_;
    int count_;
};

class WebForm::OptionAdapter final : public OptionButton {
public:
    explicit OptionAdapter(int handle) : handle_(handle) {}
    // The page's radio group unchecks the others; the interface also lets code uncheck this one.
    void SetValue(bool checked) override {
        if ((quorbel_page_checked(handle_) != 0) != checked) quorbel_page_set_checked(handle_, checked);
    }

private:
    int handle_;
};

class WebForm::TextAdapter final : public TextBox {
public:
    explicit TextAdapter(int handle) : handle_(handle) {}
    void SetText(std::string_view text) override { quorbel_page_set_text(handle_, text.data(), Length(text)); }

private:
    int handle_;
};

WebForm::WebForm(const PageControls& controls, FormEvents events) : events_(events) { Attach(controls); }

// Walks the controls in tab order as the markup wrote them, each found by its id.
void WebForm::Attach(const PageControls& controls) {
    for (std::size_t tab = 0; tab < controls.size(); ++tab) {
        const PageControl& c = controls[tab];
        const ControlId id(tab);
        const int handle = quorbel_page_attach(id.View().data(), Length(id.View()), static_cast<int>(c.kind), c.index);
        switch (c.kind) {
            case ControlKind::TextBox:
                arrays_.PlaceText1(c.index, std::make_unique<TextAdapter>(handle));
                break;
            case ControlKind::OptionButton:
                arrays_.PlaceOption1(c.index, std::make_unique<OptionAdapter>(handle));
                break;
            case ControlKind::ListBox: {
                arrays_.PlaceListBox(c.hintStore, c.index, std::make_unique<ListAdapter>(handle, c.rows));
                break;
            }
            case ControlKind::Label:
            case ControlKind::Frame:
                break;
        }
    }
}

void WebForm::UserClick(ControlKind kind, Index index) const {
    // The page raises no event for a script's assignment, so a procedure is never re-entered.
    if (kind != ControlKind::ListBox && kind != ControlKind::OptionButton) return;
    DeliverClick(events_, Controls(), kind == ControlKind::ListBox ? ClickOf::List1 : ClickOf::Option1, index);
}

namespace {
WebForm* pageForm = nullptr;  // the page's one form, alive until the page closes
}

void Run(FormEvents events) {
    // Only what the runtime needs of the layout is in the program: its texts are in the markup.
    static constexpr PageControls controls = AttachedControls(MainWindowLayout);
    static WebForm form(controls, events);
    pageForm = &form;
    // Only now can a Click reach the form: a choice the user made before is played from here.
    quorbel_page_show();
}

}  // namespace quorbel::web

namespace quorbel {

// The page's one failure path: the page puts the controls back, shows the message and stops, and
// leaves the core's frames by an exception of its own, which none of them catches; nothing in them
// needs releasing, as the page runs no more of the core's code.
void EndWithFailure(std::string_view message) noexcept {
    web::quorbel_page_fail(message.data(), web::Length(message));
    __builtin_trap();  // not reached: quorbel_page_fail does not return
}

}  // namespace quorbel

// The page calls this when the user has chosen a row or an option.
extern "C" EMSCRIPTEN_KEEPALIVE void quorbel_web_click(int kind, int index) {
    if (quorbel::web::pageForm)
        quorbel::web::pageForm->UserClick(static_cast<quorbel::ControlKind>(kind), static_cast<quorbel::Index>(index));
}
