// Writes the form as the page's markup, at build time, by walking the window layout: the caption as
// the page's title, the CSS that places every control and the HTML of every control in tab order,
// so that the browser draws the window before any script runs. The runtime then attaches to these
// elements by their ids (web_form.cpp).
//   page_markup > form.html
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/web/web_form.hpp"
#include "window/failure.hpp"
#include "window/main_window_layout.hpp"

namespace {

using namespace quorbel;

// A list's border, in CSS pixels, as the page's style draws it.
constexpr int kListBorder = 1;

// Faces with Times New Roman's metrics, which lay its text out alike where it is missing: Liberation
// Serif (Linux), Tinos (ChromeOS) and, last, the page's own cut of Liberation Serif (its @font-face),
// which a device with none of them draws with.
constexpr std::string_view kTimesNewRomanTwins = "\"Liberation Serif\",Tinos,\"Quorbel Serif\"";

void Write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }
void Write(int number) { std::printf("%d", number); }
void Write(const web::ControlId& id) { Write(id.View()); }

// Text as HTML text or as an attribute's value in double quotes.
void Escaped(std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&': Write("&amp;"); break;
            case '<': Write("&lt;"); break;
            case '>': Write("&gt;"); break;
            case '"': Write("&quot;"); break;
            default: std::fputc(c, stdout);
        }
    }
}

void Colour(Rgb rgb) { std::printf("#%02x%02x%02x", rgb.red, rgb.green, rgb.blue); }

void Pixels(std::string_view property, int twips) {
    Write(property);
    Write(":");
    Write(LogicalPixels(twips));
    Write("px;");
}

// The least zoom, in ten-thousandths rounded up and written as a decimal, that makes every visible
// list row and option at least kFingerTarget CSS pixels high.
constexpr int kFingerTarget = 24;
std::string FingerZoom(const WindowLayout& layout) {
    int smallest = kFingerTarget;
    for (const ControlDescription& c : layout.controls) {
        if (c.hidden) continue;
        if (c.kind == ControlKind::ListBox && !c.rows.empty())
            smallest = std::min(smallest, (LogicalPixels(c.bounds.height) - 2 * kListBorder) / static_cast<int>(c.rows.size()));
        if (c.kind == ControlKind::OptionButton) smallest = std::min(smallest, LogicalPixels(c.bounds.height));
    }
    const int zoom = (kFingerTarget * 10000 + smallest - 1) / smallest;
    char text[16];
    std::snprintf(text, sizeof text, "%d.%04d", zoom / 10000, zoom % 10000);
    return text;
}

// The form's own rule and each control's place, size and colour, by the control's id.
void WriteStyle(const WindowLayout& layout) {
    const FormDescription& form = layout.form;
    const FontDescription& font = form.font;
    Write("<style>\n.form{");
    Pixels("--form-width", form.clientWidth);
    Pixels("--form-height", form.clientHeight);
    // The least zoom at which every list row and option is a target a finger can hit.
    Write("--finger-zoom:");
    Write(FingerZoom(layout));
    Write(";");
    Pixels("width", form.clientWidth);
    Pixels("height", form.clientHeight);
    Write("background:");
    Colour(form.backColor);
    Write(";font-family:\"");
    Write(font.family);
    Write("\"");
    if (font.family == "Times New Roman") {
        Write(",");
        Write(kTimesNewRomanTwins);
    }
    Write(font.serif ? ",serif;" : ";");
    Write("font-size:");
    Write(font.points);
    Write("pt;font-weight:");
    Write(font.weight);
    Write(font.italic ? ";font-style:italic" : ";font-style:normal");
    Write(";text-decoration:");
    Write(font.underline && font.strikeOut ? "underline line-through"
          : font.underline                 ? "underline"
          : font.strikeOut                 ? "line-through"
                                           : "none");
    Write("}\n");
    for (std::size_t tab = 0; tab < layout.controls.size(); ++tab) {
        const ControlDescription& c = layout.controls[tab];
        if (c.hidden) continue;
        Write("#");
        Write(web::ControlId(tab));
        Write("{");
        Pixels("left", c.bounds.left);
        Pixels("top", c.bounds.top);
        Pixels("width", c.bounds.width);
        Pixels("height", c.bounds.height);
        if (c.background) {
            Write("background:");
            Colour(*c.background);
            Write(";");
        }
        if (c.centredText) Write("text-align:center;");
        if (c.kind == ControlKind::TextBox) Write(c.verticalScrollBar ? "overflow-y:scroll;" : "overflow-y:hidden;");
        Write("}\n");
        if (c.kind == ControlKind::ListBox && !c.rows.empty()) {
            // The rows share the list's height inside its border, whatever the font: every row on
            // view, none scrolled, in whole pixels.
            const int row = (LogicalPixels(c.bounds.height) - 2 * kListBorder) / static_cast<int>(c.rows.size());
            Write("#");
            Write(web::ControlId(tab));
            Write(">[role=option]{height:");
            Write(row);
            Write("px}\n");
        }
    }
    Write("</style>\n");
}

// How the control is named for assistive technology: by the label before it, or by its own name.
void WriteName(const WindowLayout& layout, std::size_t tab) {
    if (const std::size_t label = NamingLabel(layout, tab); label < layout.controls.size()) {
        Write(" aria-labelledby=\"");
        Write(web::ControlId(label));
        Write("\"");
    } else if (const ControlDescription& c = layout.controls[tab]; !c.accessibleName.empty()) {
        Write(" aria-label=\"");
        Escaped(c.accessibleName);
        Write("\"");
    }
}

void Open(std::string_view tag, std::size_t tab, std::string_view className, const ControlDescription& c) {
    Write("<");
    Write(tag);
    Write(" id=\"");
    Write(web::ControlId(tab));
    Write("\"");
    if (!className.empty()) {
        Write(" class=\"");
        Write(className);
        Write("\"");
    }
    if (c.hidden) Write(" hidden");
}

void WriteControl(const WindowLayout& layout, std::size_t tab, std::size_t frame) {
    const ControlDescription& c = layout.controls[tab];
    switch (c.kind) {
        case ControlKind::TextBox:
            Open("textarea", tab, "", c);
            if (c.readOnly) Write(" readonly");
            Write(c.multiLine ? " wrap=\"soft\"" : " wrap=\"off\"");
            Write(" spellcheck=\"false\"");
            if (tab == FirstFocusable(layout)) Write(" autofocus");
            WriteName(layout, tab);
            // The parser drops a newline that opens a text area's contents: one more keeps it.
            Write(c.text.starts_with('\n') || c.text.starts_with("\r\n") ? ">\n" : ">");
            Escaped(c.text);
            Write("</textarea>\n");
            break;
        case ControlKind::Label: {
            const std::string_view tag = c.heading ? "h1" : "div";
            Open(tag, tab, "label", c);
            Write(">");
            Escaped(c.text);
            Write("</");
            Write(tag);
            Write(">\n");
            break;
        }
        case ControlKind::Frame:
            Open("fieldset", tab, "", c);
            Write("><legend>");
            Escaped(c.text);
            Write("</legend>\n");
            break;
        case ControlKind::OptionButton:
            // The option's whole box is the <label> of its radio input; one name makes one group.
            Open("label", tab, "option", c);
            Write("><input type=\"radio\" name=\"");
            Write(web::ControlId(frame));
            Write("\">");
            Escaped(c.text);
            Write("</label>\n");
            break;
        case ControlKind::ListBox: {
            // A list the page draws itself, so that every engine shows its five rows (some draw a
            // <select> as a one-line pop-up button): one tab stop, its rows options of a listbox,
            // the row the keyboard is on its active descendant. web_page.js gives it the keyboard
            // and the pointer.
            Open("div", tab, "", c);
            Write(" role=\"listbox\"");
            if (!c.hidden) Write(" tabindex=\"0\"");
            WriteName(layout, tab);
            Write(">");
            int row = 0;
            for (std::string_view text : c.rows) {
                Write("<div id=\"");
                Write(web::ControlId(tab));
                Write("-");
                Write(row++);
                Write("\" role=\"option\" aria-selected=\"false\">");
                Escaped(text);
                Write("</div>");
            }
            Write("</div>\n");
            break;
        }
    }
}

// The one place a failure is shown, over the form: at first why the form does not answer (scripts
// switched off or blocked by the site), later the reason the program failed or could not start,
// whose other wordings it keeps for the page's script.
void WriteFailure(const WindowLayout& layout) {
    Write("<div id=\"quorbel-failure\" class=\"error\" role=\"alertdialog\" aria-modal=\"true\" aria-label=\"");
    Escaped(layout.form.caption);
    Write("\" tabindex=\"-1\" data-cannot-start=\"");
    Escaped(kCannotStart);
    Write("\" data-unexpected=\"");
    Escaped(kUnexpectedFailure);
    Write("\">");
    Escaped(kScriptsBlocked);
    Write("</div>\n");
}

void WriteForm(const WindowLayout& layout) {
    Write("<title>");
    Escaped(layout.form.caption);
    Write("</title>\n");
    WriteStyle(layout);
    // What follows goes into the page's body; page-assemble splits the output here.
    Write("<!-- body -->\n");
    // The form answers nothing until the page's script has run, and the message after it says why;
    // the script swaps them as it starts, and swaps them back should the program fail.
    Write("<main class=\"form\" inert>\n");
    std::size_t frame = layout.controls.size();
    for (std::size_t tab = 0; tab < layout.controls.size(); ++tab) {
        const ControlDescription& c = layout.controls[tab];
        const bool inFrame = c.container == Container::Frame1;
        // The frame's element closes after the last control placed in it.
        if (frame < tab && !inFrame && layout.controls[tab - 1].container == Container::Frame1) Write("</fieldset>\n");
        WriteControl(layout, tab, frame);
        if (c.kind == ControlKind::Frame) frame = tab;
    }
    if (layout.controls.back().container == Container::Frame1) Write("</fieldset>\n");
    Write("</main>\n");
    WriteFailure(layout);
    // A new hint is announced here, politely, rather than by the text area reading itself again.
    Write("<div class=\"announcer\" aria-live=\"polite\"></div>\n");
}

}  // namespace

int main() {
    WriteForm(MainWindowLayout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
