// 10,000 random mouse and keyboard events on the real widgets: after each one the window shows one
// whole house or the untouched start, and nothing the user does to the text area changes it.
#include <gtest/gtest.h>

#include <random>

#include "qt_driver.hpp"

namespace quorbel::testing {
namespace {

TEST(QtSoak, TenThousandRandomEventsKeepTheWindowConsistent) {
    QtDriver d;
    std::mt19937 random(1208);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const Qt::Key listKeys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp,
                                Qt::Key_PageDown, Qt::Key_Space};
    const Qt::Key optionKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Space};
    for (int step = 0; step < 10000; ++step) {
        const std::string before = d.Text();
        const int action = pick(10);
        switch (action) {
            case 0: d.ClickListRow(pick(4), pick(5)); break;
            case 1: d.ClickOption(pick(5)); break;
            case 2: {
                QListWidget* list = d.List(pick(4));
                list->setFocus(Qt::TabFocusReason);
                QTest::keyClick(list, listKeys[pick(7)], pick(4) == 0 ? Qt::ControlModifier : Qt::NoModifier);
                break;
            }
            case 3: {
                QRadioButton* option = d.Option(pick(5));
                option->setFocus(Qt::TabFocusReason);
                QTest::keyClick(option, optionKeys[pick(5)]);
                break;
            }
            case 4: {  // Ctrl+click, which would clear a row in a plain list
                QListWidget* list = d.List(pick(4));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  list->visualItemRect(list->item(pick(5))).center());
                break;
            }
            case 5: d.TryToEdit(pick(QtDriver::kEditAttempts)); break;
            case 6:
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d.form, Qt::Key_Tab,
                                pick(2) ? Qt::ShiftModifier : Qt::NoModifier);
                break;
            case 7: {  // a click where nothing can be chosen: a heading, the title, the frame's caption
                QWidget* target = pick(2) ? d.form.Control("Label1", static_cast<Index>(pick(5)))
                                          : d.form.Control("Frame1", kNotInArray);
                QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(3, 3));
                break;
            }
            case 8: d.PressListKey(pick(4), pick(2) ? "down" : "up"); break;
            default: d.PressOptionArrow(pick(5), pick(2) ? 1 : -1); break;
        }
        ASSERT_TRUE(Consistent(d)) << "step " << step << ", action " << action;
        if (action == 5 || action == 7) {
            ASSERT_EQ(d.Text(), before) << "step " << step;
        }
    }
}

}  // namespace
}  // namespace quorbel::testing
