// A page with procedures of the tests' own: a Click of List1(0) checks the option of its row and
// unchecks it again (OptionButton::SetValue(false), which the real procedures never call); a Click
// of List1(3) throws a standard exception that is no run-time error, one of List1(1) something that
// is no standard exception at all; a Click of List1(2) fails halfway, moving one list and the text
// and then reaching an option that does not exist. The options keep the real procedure.
#include <stdexcept>

#include "platform/web/web_form.hpp"
#include "selection/house_selection.hpp"

namespace {
void TestListClick(const quorbel::ControlServices& controls, quorbel::Index index) {
    const quorbel::Index row = controls.List1(index).ListIndex();
    if (index == 0) {
        controls.Option1(row).SetValue(true);
        controls.Option1(row).SetValue(false);
        return;
    }
    if (index == 3) throw std::logic_error("no such house");
    if (index == 1) throw 4;
    controls.List1(0).SetListIndex(row);
    controls.Text1(0).SetText("half done");
    controls.Option1(9).SetValue(true);
}
}  // namespace

int main() {
    quorbel::web::Run({.list1Click = TestListClick, .option1Click = quorbel::Option1_Click});
}
