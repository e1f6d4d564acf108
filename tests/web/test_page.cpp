// A page with procedures of the tests' own: a Click of List1(0) checks the option of its row and
// unchecks it again (OptionButton::SetValue(false), which the real procedures never call). The other
// lists fail halfway, after moving List1(0) and the text: List1(2) reaches an option that does not
// exist, List1(3) aborts, List1(1) asks for more memory than there is. The options keep the real
// procedure.
#include <cstdlib>

#include "platform/web/web_form.hpp"
#include "selection/house_selection.hpp"

namespace {
char* volatile kept;  // what the failing allocation would have given, so that it is not left out

void TestListClick(const quorbel::ControlServices& controls, quorbel::Index index) {
    const quorbel::Index row = controls.List1(index).ListIndex();
    if (index == 0) {
        controls.Option1(row).SetValue(true);
        controls.Option1(row).SetValue(false);
        return;
    }
    controls.List1(0).SetListIndex(row);
    controls.Text1(0).SetText("half done");
    if (index == 3) std::abort();
    if (index == 1) kept = new char[0x7fff0000];
    controls.Option1(9).SetValue(true);
}
}  // namespace

int main() {
    quorbel::web::Run({.list1Click = TestListClick, .option1Click = quorbel::Option1_Click});
}
