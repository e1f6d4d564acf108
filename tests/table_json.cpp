// Writes, for the tests that are not C++, the behaviour table as each runtime plays it (read by the
// one reader), the texts a test compares with and the layout, as JSON on stdout. A malformed table
// fails the build.
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/json_text.hpp"
#include "behaviour_table.hpp"
#include "content/house_table.hpp"
#include "content/texts.hpp"
#include "table_reader.hpp"
#include "window/main_window_layout.hpp"

namespace {

std::string Quoted(std::string_view text) { return quorbel::JsonQuoted(text); }

template <typename Range, typename Write>
std::string Array(const Range& range, Write write) {
    std::string out = "[";
    for (const auto& item : range) out += (out.size() > 1 ? ", " : "") + write(item);
    return out + "]";
}

}  // namespace

int main() {
    using namespace quorbel;
    std::string json = "{\n\"content\": {\n";
    json += "  \"hints\": " + Array(HintTexts, Quoted) + ",\n";
    json += "  \"statement\": " + Quoted(StatementText) + ", \"epigraph\": " + Quoted(EpigraphText) + ",\n";
    json += "  \"colours\": " + Array(HouseTable, [](const House& h) { return Quoted(h.colourCaption); }) + ",\n";
    json += "  \"headings\": " + Array(AttributeHeadings, Quoted) + ",\n";
    json += "  \"rows\": " + Array(std::array{0, 1, 2, 3}, [](int list) { return Array(AttributeRows(list), Quoted); }) + ",\n";
    json += "  \"title\": " + Quoted(TitleText) + ", \"frame\": " + Quoted(FrameCaption) + ", \"textAreaName\": " +
            Quoted(TextAreaName) + "\n},\n";
    // The layout at 96 DPI: the form's font (its family and size in pixels), and in tab order each
    // control's box from the form's corner (one in the frame from the frame's), its own background,
    // whether it is hidden.
    const TwipsRect frame = Frame1Bounds(MainWindowLayout);
    auto colour = [](Rgb c) { return Array(std::array{c.red, c.green, c.blue}, [](int v) { return std::to_string(v); }); };
    json += "\"layout\": {\"client\": [" + std::to_string(LogicalPixels(MainWindowLayout.form.clientWidth)) + ", " +
            std::to_string(LogicalPixels(MainWindowLayout.form.clientHeight)) + "], \"back\": " +
            colour(MainWindowLayout.form.backColor) + ", \"font\": [" + Quoted(MainWindowLayout.form.font.family) + ", " +
            std::to_string(MainWindowLayout.form.font.points * 96 / 72) + "], \"controls\": " +
            Array(MainWindowLayout.controls, [&](const ControlDescription& c) {
                const bool inFrame = c.container == Container::Frame1;
                const std::array box{c.bounds.left + (inFrame ? frame.left : 0), c.bounds.top + (inFrame ? frame.top : 0),
                                     c.bounds.width, c.bounds.height};
                const bool painted = c.background && !c.hidden &&
                                     (c.kind == ControlKind::Label || c.kind == ControlKind::OptionButton);
                return "\n  {\"box\": " + Array(box, [](int t) { return std::to_string(LogicalPixels(t)); }) +
                       ", \"painted\": " + (painted ? colour(*c.background) : "null") +
                       ", \"hidden\": " + (c.hidden ? "true" : "false") + "}";
            }) + "},\n";
    json += "\"scenarios\": {";
    for (std::string_view runtime : testing::kTableRuntimes) {
        const testing::Table table = testing::ReadBehaviourTable(kBehaviourTable, runtime);
        if (!table.error.empty()) {
            std::fprintf(stderr, "behaviour.txt: %s\n", table.error.c_str());
            return 1;
        }
        json += std::string(runtime == testing::kTableRuntimes[0] ? "" : ",") + "\n  " + Quoted(runtime) + ": " +
                Array(table.scenarios, [](const testing::Scenario& s) {
                    return "\n    {\"name\": " + Quoted(s.name) + ", \"test\": " + Quoted(testing::TestName(s.name)) + ", \"cannot\": " + Quoted(s.cannot) + ", \"steps\": " +
                           Array(s.steps, [](const auto& step) { return Array(step, Quoted); }) + "}";
                });
    }
    json += "\n}\n}\n";
    std::fputs(json.c_str(), stdout);
    return 0;
}
