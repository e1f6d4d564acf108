// Drives the Qt form with real mouse and keyboard events on its widgets.
#pragma once

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>

#include "behaviour_suite.hpp"
#include "platform/qt/qt_form.hpp"
#include "selection/house_selection.hpp"

namespace quorbel::testing {

class QtDriver : public FormDriver {
public:
    QStringList errors;
    qt::QtForm form{MainWindowLayout, kCountedSelection, [this](const QString& m) { errors << m; }};

    QtDriver() {
        form.ShowCentred();
        form.activateWindow();
        QApplication::setActiveWindow(&form);
        static_cast<void>(QTest::qWaitForWindowExposed(&form));
        if (QWidget* first = form.FirstFocusable()) first->setFocus(Qt::OtherFocusReason);
    }
    ~QtDriver() override { EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString(); }

    QListWidget* List(int index) const {
        return qobject_cast<QListWidget*>(form.Control("List1", static_cast<Index>(index)));
    }
    QRadioButton* Option(int index) const {
        return qobject_cast<QRadioButton*>(form.Control("Option1", static_cast<Index>(index)));
    }
    QPlainTextEdit* TextArea() const { return qobject_cast<QPlainTextEdit*>(form.Control("Text1", 0)); }

    void ClickListRow(int list, int row) override {
        QListWidget* l = List(list);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
    }
    void ClickOption(int option) override {
        QTest::mouseClick(Option(option), Qt::LeftButton, {}, QPoint(8, Option(option)->height() / 2));
    }
    void PressListKey(int list, const std::string& key) override {
        List(list)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(List(list), key == "up" ? Qt::Key_Up : key == "down" ? Qt::Key_Down : key == "home" ? Qt::Key_Home
                                    : key == "end" ? Qt::Key_End : key == "pageup" ? Qt::Key_PageUp : Qt::Key_PageDown);
    }
    void TypeInList(int list, char letter) override {
        List(list)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(List(list), letter);
    }
    void PressOptionArrow(int option, int delta) override {
        Option(option)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Option(option), delta < 0 ? Qt::Key_Left : Qt::Key_Right);
    }
    void ClickBelowLastRow(int list) override {
        QListWidget* l = List(list);
        const int below = l->visualItemRect(l->item(l->count() - 1)).bottom() + 1;
        ASSERT_LT(below, l->viewport()->height()) << "no room under the last row";
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, QPoint(l->viewport()->width() / 2, l->viewport()->height() - 1));
    }
    void PressTab() override { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
    // With the cursor keys, which only a text area selectable from the keyboard follows.
    void SelectAllText() override {
        TextArea()->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(TextArea(), Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(TextArea(), Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    }
    void Type(const std::string& text) override {
        TextArea()->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(TextArea(), QString::fromStdString(text));
    }
    void PressEditKeys() override {
        for (const auto& [key, modifiers] : {std::pair{Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier},
                                             {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_X, Qt::ControlModifier},
                                             {Qt::Key_V, Qt::ControlModifier}})
            QTest::keyClick(TextArea(), key, modifiers);
    }
    std::string Focus() const override {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : std::string();
    }
    bool TextAllSelected() const override {
        const QTextCursor cursor = TextArea()->textCursor();
        return cursor.selectionStart() == 0 && cursor.selectionEnd() == TextArea()->document()->characterCount() - 1;
    }
    // Ways to change the text area beyond the table's typing (`how`: 0 to kEditAttempts-1).
    static constexpr int kEditAttempts = 6;
    void TryToEdit(int how) {
        QPlainTextEdit* edit = TextArea();
        edit->setFocus(Qt::MouseFocusReason);
        switch (how) {
            case 0: {
                QKeyEvent cyrillic(QEvent::KeyPress, Qt::Key_unknown, {}, QStringLiteral("Ж"));
                QApplication::sendEvent(edit, &cyrillic);
                break;
            }
            case 1:
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(edit, Qt::Key_Delete);
                break;
            case 2:
                QApplication::clipboard()->setText(QStringLiteral("поставено"));
                QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
                QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
                break;
            case 3: edit->paste(); edit->cut(); break;
            case 4: {
                QMimeData mime;
                mime.setText(QStringLiteral("пуснато"));
                const QPoint at = edit->viewport()->rect().center();
                QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
                QApplication::sendEvent(edit->viewport(), &enter);
                QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, {});
                QApplication::sendEvent(edit->viewport(), &drop);
                break;
            }
            default: QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier); break;  // undo
        }
    }

    int ListIndex(int list) const override {
        const QModelIndexList selected = List(list)->selectionModel()->selectedIndexes();
        return selected.isEmpty() ? -1 : selected.front().row();
    }
    bool OptionChecked(int option) const override { return Option(option)->isChecked(); }
    int Clicks() const override { return clicksDelivered; }
    std::string Text() const override {
        return TextArea()->toPlainText().replace('\n', QStringLiteral("\r\n")).toStdString();
    }
};

// The Qt form as drawn: a grab of it, and its widgets' places in it.
class QtDrawn : public DrawnForm {
public:
    explicit QtDrawn(qt::QtForm& form) : form_(form), shot_(form_.grab().toImage()) {}
    Box Client() const override { return {0, 0, shot_.width(), shot_.height()}; }
    Box Place(const ControlDescription& c) const override {
        const QWidget* w = form_.Control(c.name, c.index);
        const QPoint at = w->mapTo(&form_, QPoint(0, 0));
        return {at.x(), at.y(), w->width(), w->height()};
    }
    std::uint32_t Pixel(int x, int y) const override { return shot_.pixel(x, y) & 0xFFFFFF; }

private:
    qt::QtForm& form_;
    QImage shot_;
};

}  // namespace quorbel::testing
