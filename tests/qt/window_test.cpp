// The Qt window: the behaviour table through real events, geometry and colour from a
// grab of the window, the start state and tab walk, the read-only text area, hidden controls,
// accessibility and the run-time error.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/qt/qt_runtime.hpp"
#include "window/contrast.hpp"
#include "quorbel_icon.hpp"
#include "qt_driver.hpp"

namespace quorbel::testing {

QUORBEL_BEHAVIOUR_TABLE(QtBehaviour, QtDriver, "qt");

namespace {

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
QString ToQ(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

TEST(QtWindow, IsDrawnAsTheLayoutSaysAt96Dpi) {
    QtDriver d;
    ASSERT_EQ(d.form.logicalDpiX(), 96);
    ExpectDrawnAsLaidOut(QtDrawn(d.form), 96);
    EXPECT_EQ(d.form.minimumSize(), d.form.maximumSize()) << "the window can be resized";
    for (int h = 0; h < kHouseCount; ++h) EXPECT_EQ(d.Option(h)->parentWidget(), d.form.Control("Frame1", kNotInArray));

    // The focus shows on every control that takes it, by a mark beside it that stands out from
    // what is around it at 3:1 or more.
    auto contrast = [](QRgb a, QRgb b) {
        auto rgb = [](QRgb c) { return Rgb{static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)), static_cast<std::uint8_t>(qBlue(c))}; };
        return ContrastRatio(rgb(a), rgb(b));
    };
    for (QWidget* control : {static_cast<QWidget*>(d.TextArea()), static_cast<QWidget*>(d.Option(2)),
                             static_cast<QWidget*>(d.List(0)), static_cast<QWidget*>(d.List(3))}) {
        control->setFocus(Qt::TabFocusReason);
        const QImage focused = d.form.grab().toImage();
        const QPoint left = control->mapTo(&d.form, QPoint(0, control->height() / 2));
        EXPECT_GE(contrast(At(focused, left.x() - 2, left.y()), At(focused, left.x() - 5, left.y())), 3.0)
            << control->objectName().toStdString();
    }

    // Where the platform's palette asks for high contrast, its colours stand in for the form's: in
    // a form opened under it, and in one running when it is switched on; switched off, the running
    // form is drawn as the layout says again.
    QPalette high(Qt::white, Qt::black);
    ASSERT_TRUE(qt::IsHighContrast(high));
    ASSERT_FALSE(qt::IsHighContrast(QApplication::palette()));
    const QPalette ordinary = QApplication::palette();
    auto expectTheThemes = [&](qt::QtForm& form) {
        const QImage system = form.grab().toImage();
        const QRgb window = high.color(QPalette::Window).rgb() & 0xFFFFFF;
        EXPECT_EQ(At(system, 2, 200), window);
        EXPECT_EQ(At(system, 64, 1), window);
        QWidget* option = form.Control("Option1", 0);
        const QPoint corner = option->mapTo(&form, QPoint(option->width() - 2, option->height() - 2));
        EXPECT_EQ(At(system, corner.x(), corner.y()), window);
    };
    QApplication::setPalette(high);
    expectTheThemes(d.form);
    {
        qt::QtForm form(MainWindowLayout, HouseSelection, [](const QString&) {});
        form.ShowCentred();
        expectTheThemes(form);
    }
    QApplication::setPalette(ordinary);
    d.form.setFocus();  // no control's focus ring in the picture
    ExpectDrawnAsLaidOut(QtDrawn(d.form), 96);
}

// All five rows of every list are on view with no scroll bar, in the metric twin of the font and
// in whatever serif font stands in.
TEST(QtWindow, EveryListShowsItsFiveRowsWithoutScrolling) {
    for (const char* family : {"Times New Roman", "DejaVu Serif"}) {
        QtDriver d;
        if (std::string(family) != "Times New Roman") {
            // Rebuild with another family standing in, as on a machine without the metric twin.
            WindowLayout other = MainWindowLayout;
            other.form.font.family = family;
            qt::QtForm form(other, HouseSelection, [](const QString&) {});
            form.ShowCentred();
            for (int list = 0; list < kAttributeCount; ++list) {
                auto* l = qobject_cast<QListWidget*>(form.Control("List1", static_cast<Index>(list)));
                EXPECT_FALSE(l->verticalScrollBar()->isVisible()) << family;
                EXPECT_LE(l->visualItemRect(l->item(4)).bottom(), l->viewport()->height()) << family;
            }
            continue;
        }
        for (int list = 0; list < kAttributeCount; ++list) {
            QListWidget* l = d.List(list);
            ASSERT_EQ(l->count(), 5);
            EXPECT_FALSE(l->verticalScrollBar()->isVisible());
            EXPECT_FALSE(l->horizontalScrollBar()->isVisible());
            EXPECT_LE(l->visualItemRect(l->item(4)).bottom(), l->viewport()->height());
            const auto rows = AttributeRows(list);
            for (int row = 0; row < 5; ++row)
                EXPECT_EQ(l->item(row)->text().toStdString(), rows[static_cast<std::size_t>(row)]);
        }
    }
}

// Text as the window asks for it: every control in the form's font (its family or the metric twin
// fontconfig stands in with), and the text area with its vertical scroll bar and long lines wrapped
// at its width.
TEST(QtWindow, TextIsShownAsTheWindowAsks) {
    QtDriver d;
    const FontDescription& asked = MainWindowLayout.form.font;
    for (QWidget* w : d.form.findChildren<QWidget*>()) {
        const QFontInfo font(w->font());
        const std::string family = font.family().toStdString();
        EXPECT_TRUE(family == asked.family || family == "Liberation Serif") << family;
        EXPECT_EQ(font.pointSize(), asked.points);
        EXPECT_EQ(font.weight(), asked.weight);
        EXPECT_EQ(font.italic(), asked.italic);
    }
    QPlainTextEdit* edit = d.TextArea();
    EXPECT_TRUE(edit->verticalScrollBar()->isVisible());
    EXPECT_FALSE(edit->horizontalScrollBar()->isVisible());
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(edit->document()->documentLayout());
    int wrapped = 0;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        layout->ensureBlockLayout(block);
        wrapped += block.layout()->lineCount() > 1;
        EXPECT_LE(block.layout()->boundingRect().width(), edit->viewport()->width());
    }
    EXPECT_GT(wrapped, 0) << "no long line wrapped";
}

// The focus and the Tab walk are rows of the behaviour table; here, where the statement starts.
TEST(QtWindow, TheStatementIsShownFromItsStart) {
    QtDriver d;
    EXPECT_EQ(d.TextArea()->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(d.TextArea()->textCursor().atStart());
}

TEST(QtWindow, TheTextAreaCannotBeEdited) {
    QtDriver d;
    QPlainTextEdit* edit = d.TextArea();
    for (int round = 0; round < 2; ++round) {
        const QString before = edit->toPlainText();
        for (int how = 0; how < QtDriver::kEditAttempts; ++how) {
            d.TryToEdit(how);
            EXPECT_EQ(edit->toPlainText(), before) << "attempt " << how;
        }
        d.ClickOption(3);  // and again once a hint is shown
    }
    EXPECT_TRUE(ShowsHouse(d, 3));
}

// The hidden controls stay hidden, and a hint shows nowhere but, one at a time, in Text1(0).
TEST(QtWindow, HintsAppearOnlyInTheTextArea) {
    QtDriver d;
    EXPECT_FALSE(d.form.Control("List2", kNotInArray)->isVisible());
    EXPECT_FALSE(d.form.Control("Text1", 1)->isVisible());
    auto shownElsewhere = [&](std::string_view hint) {
        const QString needle = QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size()));
        for (QWidget* w : d.form.findChildren<QWidget*>()) {
            if (!w->isVisible() || w == d.TextArea() || w->parentWidget() == d.TextArea()) continue;
            QStringList texts{w->toolTip(), w->accessibleName(), w->accessibleDescription(), w->windowTitle()};
            if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
            if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
            if (auto* list = qobject_cast<QListWidget*>(w))
                for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
            for (const QString& t : texts)
                if (t.contains(needle)) return true;
        }
        return false;
    };
    for (int h = 0; h < kHouseCount; ++h) {
        d.ClickOption(h);
        for (int other = 0; other < kHouseCount; ++other) {
            const std::string_view hint = HintTexts[static_cast<std::size_t>(other)];
            EXPECT_FALSE(shownElsewhere(hint)) << "hint " << other;
            EXPECT_EQ(d.Text() == hint, other == h);
        }
        EXPECT_FALSE(d.form.Control("List2", kNotInArray)->isVisible());
        EXPECT_FALSE(d.form.Control("Text1", 1)->isVisible());
    }
}

// What a screen reader is told, recorded as Qt raises it.
struct AccessibilityEvent {
    QAccessible::Event type;
    QObject* object;
    int child;
    QString shown;  // what a notification shown says, as it is shown
};
std::vector<AccessibilityEvent> accessibilityEvents;
void RecordAccessibilityEvent(QAccessibleEvent* event) {
    QString shown;
    QAccessibleInterface* target = event->accessibleInterface();
    if (event->type() == QAccessible::ObjectShow && target && target->role() == QAccessible::Notification)
        shown = target->text(QAccessible::Name).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    accessibilityEvents.push_back({event->type(), event->object(), event->child(), shown});
}

// Every control that takes the focus has the name its label, caption or the content gives it, the
// title is a heading; a choice raises focus events for no control but the one the user is in, and
// the new hint is announced once, as a notification shown after the choice.
TEST(QtWindow, ScreenReadersHearNamesStatesAndChangesWhereTheFocusIs) {
    QtDriver d;
    auto name = [](QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name).toStdString(); };
    for (const ControlDescription& c : MainWindowLayout.controls) {
        if (!TakesFocus(c)) continue;
        EXPECT_EQ(name(d.form.Control(c.name, c.index)), NameFromContent(c)) << c.name << c.index;
    }
    EXPECT_EQ(name(d.form.Control("Frame1", kNotInArray)), FrameCaption);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&d.form)->text(QAccessible::Name).toStdString(), WindowCaption);
    QAccessibleInterface* title = QAccessible::queryAccessibleInterface(d.form.Control("Label1", 0));
    EXPECT_EQ(title->role(), QAccessible::Heading);
    EXPECT_EQ(title->text(QAccessible::Name).toStdString(), TitleText);

    accessibilityEvents.clear();
    const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(RecordAccessibilityEvent);
    // Switched on as a screen reader's arrival does; until then Qt raises nothing.
    QPlatformAccessibility* platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    ASSERT_NE(platform, nullptr);
    platform->setActive(true);
    d.ClickListRow(2, 1);  // the focus goes to List1(2)
    QCoreApplication::processEvents();
    d.ClickOption(3);      // and on to Option1(3)
    d.PressTab();          // and into List1(0), whose row is the last focus a screen reader hears of
    QCoreApplication::processEvents();
    QAccessible::installUpdateHandler(previous);
    platform->setActive(false);
    std::vector<std::string> announced;
    std::vector<int> intoList0;  // the focus events of the Tab into List1(0): the list's, then its row's
    AccessibilityEvent lastFocus{};
    for (const auto& [type, object, child, shown] : accessibilityEvents) {
        if (type == QAccessible::Focus) {
            EXPECT_TRUE(object == d.List(2) || object == d.Option(3) || object == d.List(0))
                << object->objectName().toStdString();
            lastFocus = {type, object, child, {}};
            if (object == d.List(0)) intoList0.push_back(child);
        }
        if (type == QAccessible::ObjectShow) announced.push_back(shown.toStdString());
    }
    EXPECT_EQ(announced, (std::vector<std::string>{std::string(HintTexts[1]), std::string(HintTexts[3])}))
        << "each new hint is announced once, Tab announces none";
    EXPECT_EQ(intoList0, (std::vector<int>{-1, 3}));

    EXPECT_TRUE(QAccessible::queryAccessibleInterface(d.Option(3))->state().checked);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(d.Option(1))->state().checked);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(d.List(0));
    ASSERT_NE(list->tableInterface(), nullptr);
    QAccessibleInterface* cell = list->tableInterface()->cellAt(3, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->state().selected);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(d.List(1))->tableInterface()->cellAt(3, 0)->state().focused);
    EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), AttributeRows(0)[3]);
}

// The user can move a list's selection but not clear it, so no list is left behind.
TEST(QtWindow, AListsSelectionCannotBeClearedByTheUser) {
    QtDriver d;
    d.ClickListRow(0, 2);
    QListWidget* l = d.List(0);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, Qt::ControlModifier, l->visualItemRect(l->item(2)).center());
    QTest::keyClick(l, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(ShowsHouse(d, 2));
}

// A procedure that fails, in any way, is reported once with the message the user reads (Bulgarian
// whatever failed), and the form then takes no further clicks.
TEST(QtWindow, AFailingProcedureIsReportedOnceAndStopsTheForm) {
    const std::pair<ClickProcedure, QString> failures[] = {
        {[](const ControlServices& c, Index) { c.Option1(9).SetValue(true); }, QStringLiteral("Option1(9)")},
        {[](const ControlServices&, Index) { throw std::bad_alloc(); }, ToQ(kOutOfMemory)},
        {[](const ControlServices&, Index) { throw std::logic_error("no such house"); }, ToQ(kUnexpectedFailure)},
        {[](const ControlServices&, Index) { throw 4; }, ToQ(kUnexpectedFailure)},
    };
    for (const auto& [procedure, message] : failures) {
        QStringList reported;
        qt::QtForm form(MainWindowLayout, {.list1Click = procedure, .option1Click = Option1_Click},
                        [&](const QString& m) { reported << m; });
        form.ShowCentred();
        auto* list = qobject_cast<QListWidget*>(form.Control("List1", 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(3)).center());
        ASSERT_EQ(reported.size(), 1) << message.toStdString();
        EXPECT_TRUE(reported.front().startsWith(ToQ(kRunTimeErrorPrefix))) << reported.front().toStdString();
        EXPECT_TRUE(reported.front().contains(message)) << reported.front().toStdString();
    }
}

// The program's own report: the message is shown, then the message loop ends with status 1.
TEST(QtWindow, ARunTimeErrorShowsItsMessageAndEndsTheLoopWithStatusOne) {
    const FormEvents faulty{.list1Click = List1_Click,
                            .option1Click = [](const ControlServices& c, Index) { c.Text1(7).SetText({}); }};
    qt::QtForm form(MainWindowLayout, faulty, qt::ReportAndQuit);
    form.ShowCentred();
    QString shown;
    QTimer::singleShot(0, &form, [&] { qobject_cast<QRadioButton*>(form.Control("Option1", 1))->click(); });
    // Polls for the message box, reads it and closes it, as the user would.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    poll.start(10);
    EXPECT_EQ(QApplication::exec(), 1);
    EXPECT_TRUE(shown.contains(QStringLiteral("Text1(7)"))) << shown.toStdString();
}

// The window icon comes from the pixels the build makes of the icon source: transparent where the
// source says None, and each colour in its place (a bun's outline, then the bun).
TEST(QtWindow, TheWindowIconIsTheIconSourcesPicture) {
    const qt::IconPixels icon{quorbel::icon::kWidth, quorbel::icon::kHeight, quorbel::icon::kArgb};
    qt::PrepareApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()), MainWindowLayout, &icon);
    const QImage image = QApplication::windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(4, 9), 0xFF7A4210u);
    EXPECT_EQ(image.pixel(5, 9), 0xFFE8A23Cu);
}

// The handlers never uncheck an option, but the control offers it and does it.
TEST(QtWindow, AnOptionCanBeUncheckedByCode) {
    QtDriver d;
    d.form.Controls().Option1(2).SetValue(true);
    d.form.Controls().Option1(2).SetValue(false);
    for (int h = 0; h < kHouseCount; ++h) EXPECT_FALSE(d.OptionChecked(h)) << h;
}

}  // namespace
}  // namespace quorbel::testing
