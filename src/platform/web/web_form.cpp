// Builds the form's page controls by walking the window layout and adapts them to the control services.
#include "platform/web/web_form.hpp"

#include <emscripten/emscripten.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/web/page_controls.hpp"

namespace quorbel::web {

namespace {

int Length(std::string_view text) { return static_cast<int>(text.size()); }
int Packed(Rgb rgb) { return (rgb.red << 16) | (rgb.green << 8) | rgb.blue; }

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

WebForm::WebForm(const WindowLayout& layout, FormEvents events) : runner_(events) { Build(layout); }

void WebForm::Build(const WindowLayout& layout) {
    const FormDescription& form = layout.form;
    const FontDescription& font = form.font;
    quorbel_page_form(form.caption.data(), Length(form.caption), LogicalPixels(form.clientWidth),
                      LogicalPixels(form.clientHeight), Packed(form.backColor), font.family.data(),
                      Length(font.family), font.points, font.weight,
                      (font.italic ? kItalic : 0) | (font.underline ? kUnderline : 0) |
                          (font.strikeOut ? kStrikeOut : 0) | (font.serif ? kSerif : 0));

    const auto eventKind = [](ControlKind kind) { return static_cast<int>(kind); };
    int frame = kOnForm;
    std::vector<int> handles;  // in tab order, as the layout lists them
    std::vector<ShownList> shownLists;
    for (std::size_t tab = 0; tab < layout.controls.size(); ++tab) {
        const ControlDescription& c = layout.controls[tab];
        int handle = -1;
        switch (c.kind) {
            case ControlKind::TextBox:
                handle = quorbel_page_text_box(c.text.data(), Length(c.text), c.multiLine,
                                               c.verticalScrollBar, c.readOnly);
                arrays_.PlaceText1(c.index, std::make_unique<TextAdapter>(handle));
                break;
            case ControlKind::Label:
                handle = quorbel_page_label(c.text.data(), Length(c.text), c.centredText);
                break;
            case ControlKind::Frame:
                handle = frame = quorbel_page_frame(c.text.data(), Length(c.text));
                break;
            case ControlKind::OptionButton:
                handle = quorbel_page_option(c.text.data(), Length(c.text), eventKind(c.kind), c.index);
                arrays_.PlaceOption1(c.index, std::make_unique<OptionAdapter>(handle));
                break;
            case ControlKind::ListBox: {
                handle = quorbel_page_list(eventKind(c.kind), c.index);
                for (std::string_view row : c.rows) quorbel_page_add_row(handle, row.data(), Length(row));
                auto list = std::make_unique<ListAdapter>(handle, static_cast<int>(c.rows.size()));
                if (IsHintStore(c))
                    arrays_.PlaceList2(std::move(list));
                else
                    arrays_.PlaceList1(c.index, std::move(list));
                if (!c.hidden) shownLists.push_back({handle, static_cast<int>(c.rows.size())});
                break;
            }
        }
        quorbel_page_place(handle, c.container == Container::Frame1 ? frame : kOnForm, LogicalPixels(c.bounds.left),
                           LogicalPixels(c.bounds.top), LogicalPixels(c.bounds.width), LogicalPixels(c.bounds.height),
                           c.background ? Packed(*c.background) : -1, c.hidden);
        if (const std::size_t label = NamingLabel(layout, tab); label < handles.size())
            quorbel_page_name_by(handle, handles[label]);
        handles.push_back(handle);
    }
    FitRows(shownLists);
    quorbel_page_show(handles[FirstFocusable(layout)]);
}

// Every row stays on view: should the font that stands in have taller lines, the rows shrink.
void WebForm::FitRows(const std::vector<ShownList>& lists) {
    for (const ShownList& list : lists) {
        const int natural = quorbel_page_row_height(list.handle);
        const int fitted = FittedRowHeight(natural, quorbel_page_inner_height(list.handle), list.rows);
        if (fitted < natural) quorbel_page_set_row_height(list.handle, fitted);
    }
}

void WebForm::UserClick(ControlKind kind, Index index) {
    // The page raises no event for a script's assignment, so a procedure is never re-entered.
    // A failure is shown by the page, which from then on takes no further clicks.
    if (kind != ControlKind::ListBox && kind != ControlKind::OptionButton) return;
    runner_.Run(Controls(), kind == ControlKind::ListBox ? ClickOf::List1 : ClickOf::Option1, index,
                [](std::string_view message) { quorbel_page_fail(message.data(), Length(message)); });
}

namespace {
WebForm* pageForm = nullptr;  // the page's one form, alive until the page closes
}

void Run(const WindowLayout& layout, FormEvents events) {
    static WebForm form(layout, events);
    pageForm = &form;
}

}  // namespace quorbel::web

// The page calls this when the user has chosen a row or an option.
extern "C" EMSCRIPTEN_KEEPALIVE void quorbel_web_click(int kind, int index) {
    if (quorbel::web::pageForm)
        quorbel::web::pageForm->UserClick(static_cast<quorbel::ControlKind>(kind), static_cast<quorbel::Index>(index));
}
