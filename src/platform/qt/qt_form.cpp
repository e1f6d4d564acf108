// Builds the form's widgets by walking the window layout and adapts them to the control services.
#include "platform/qt/qt_form.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <cstdint>

#include "window/contrast.hpp"

namespace quorbel::qt {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ToColor(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

Rgb ToRgb(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

// A single-selection list whose user can move the selection but never clear it: Ctrl+click,
// Ctrl+Space and a click on no row (the strip under the last row that fitting the rows leaves)
// would otherwise leave it with no selected row while the other lists keep theirs.
class SelectionList final : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (!index.isValid()) return QItemSelectionModel::NoUpdate;
        const auto command = QListWidget::selectionCommand(index, event);
        if (!(command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))) return command;
        if (selectionModel()->isSelected(index)) return QItemSelectionModel::NoUpdate;
        return QItemSelectionModel::ClearAndSelect;
    }

    // With nothing chosen, Up, Down, Home and End all choose the first row, as in a list box. Qt's
    // view would move on from the row its focus made current: Down to the second row, Up and Home
    // nowhere, the row staying unchosen.
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        const bool nothingChosen = selectionModel()->selectedIndexes().isEmpty();
        if (nothingChosen && count() > 0 && event->modifiers() == Qt::NoModifier &&
            (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End)) {
            selectionModel()->setCurrentIndex(model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
            event->accept();
            return;
        }
        QListWidget::keyPressEvent(event);
    }

    // A list has a current row only while it has the focus: the view announces every change of
    // its current row to screen readers as the focus moving there, and a current row left in a
    // list the user is not in still claims the focus. Coming in, the current row is the selected
    // one, so that a screen reader says it and the arrow keys move on from it.
    void focusInEvent(QFocusEvent* event) override {
        // The rows made current here are no focus of their own: the list's comes first, and the
        // chosen row's after it, once (the view would tell a row, then the list, then the row).
        enteringFocus_ = true;
        const QModelIndexList selected = selectionModel()->selectedIndexes();
        if (!selected.isEmpty()) selectionModel()->setCurrentIndex(selected.front(), QItemSelectionModel::NoUpdate);
        QListWidget::focusInEvent(event);
        enteringFocus_ = false;
        // Qt tells screen readers of the list's own focus after this handler, which would leave
        // them on the list rather than its row: the row's focus is told once that is done.
        QMetaObject::invokeMethod(this, [this] { TellFocusedRow(); }, Qt::QueuedConnection);
    }
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        if (enteringFocus_) return QAbstractItemView::currentChanged(current, previous);  // untold
        QListWidget::currentChanged(current, previous);
    }
    bool enteringFocus_ = false;
    void TellFocusedRow() {
        // A list with no house chosen yet is told as the list alone: its current row is only the
        // place the arrow keys start from, not a choice.
        if (!hasFocus() || !selectionModel()->isSelected(currentIndex()) || !QAccessible::isActive()) return;
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(currentIndex().row());
        QAccessible::updateAccessibility(&focus);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QListWidget::focusOutEvent(event);
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
};

// The window's title, a heading to a screen reader; Qt's own label is plain text.
class HeadingLabel final : public QLabel {
public:
    using QLabel::QLabel;
};

class AccessibleHeading final : public QAccessibleWidget {
public:
    explicit AccessibleHeading(QLabel* label) : QAccessibleWidget(label, QAccessible::Heading) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<QLabel*>(widget())->text() : QAccessibleWidget::text(t);
    }
};

// Tab enters the options at the checked one, as on the other runtimes; Qt's own rule leaves the
// tab stop on the option that last had the focus.
void MoveTabStopTo(QRadioButton* checked) {
    for (QObject* sibling : checked->parentWidget()->children())
        if (auto* option = qobject_cast<QRadioButton*>(sibling))
            option->setFocusPolicy(option == checked ? Qt::StrongFocus : Qt::ClickFocus);
}

// What a screen reader speaks when a choice is made: a hidden status bar holding a notification
// whose label holds the hint. A screen reader reads a notification out when it is shown, even when
// the focus is elsewhere; a text change in the text area is dropped as not where the user is.
class HintNotification final : public QWidget {
public:
    explicit HintNotification(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {}
    void SetHint(const QString& hint) { label_->setText(hint); }
    QString Hint() const { return label_->text(); }

private:
    QLabel* label_;
};

class AccessibleNotification final : public QAccessibleWidget {
public:
    explicit AccessibleNotification(HintNotification* w) : QAccessibleWidget(w, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name || t == QAccessible::Description
                   ? static_cast<HintNotification*>(widget())->Hint()
                   : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* FormFactory(const QString&, QObject* object) {
    if (auto* label = dynamic_cast<HeadingLabel*>(object)) return new AccessibleHeading(label);
    if (auto* hint = dynamic_cast<HintNotification*>(object)) return new AccessibleNotification(hint);
    return nullptr;
}

// A frame drawn as an etched rectangle with its caption standing on the top edge. The style's own
// group box frame is a picture that the style loads on first paint, and loading it starts every
// image-format plugin the system has: time and memory at start-up for a rectangle.
class FrameBox final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const QRect box = rect().adjusted(0, metrics.height() / 2, -2, -2);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(box);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(box.translated(1, 1));
        const QRect caption(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(caption, palette().window());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, Qt::AlignCenter, title());
    }
};

// A ring round the control that has the focus, drawn over the form in the window's text colour:
// black on the form's own colours (12:1 on its background, 5:1 or more on every option's), the
// theme's text colour under high contrast. The controls' own focus marks are faint (a list's
// selected row hardly changes, the text area shows only its caret), and the theme's selection
// colours are left as they are.
class FocusRing final : public QWidget {
public:
    static constexpr int kGap = 1, kWidth = 2;

    explicit FocusRing(QWidget* form) : QWidget(form) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
        connect(qApp, &QApplication::focusChanged, this, [this, form](QWidget*, QWidget* now) {
            if (!now || !form->isAncestorOf(now) || now->window() != form) return hide();
            const int out = kGap + kWidth;
            setGeometry(QRect(now->mapTo(form, QPoint(0, 0)), now->size()).adjusted(-out, -out, out, out));
            raise();
            show();
        });
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(parentWidget()->palette().color(QPalette::WindowText), kWidth));
        painter.drawRect(QRectF(rect()).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0, -kWidth / 2.0));
    }
};

}  // namespace

bool IsHighContrast(const QPalette& palette) {
    return ContrastRatio(ToRgb(palette.color(QPalette::Window)), ToRgb(palette.color(QPalette::WindowText))) >= 19.0;
}

struct QtForm::Built {
    const ControlDescription* description;
    QWidget* widget;
};

class QtForm::ListAdapter final : public ListBox {
public:
    explicit ListAdapter(QListWidget* list) : list_(list) {}

    Index ListIndex() const override {
        const QModelIndexList selected = list_->selectionModel()->selectedIndexes();
        return selected.isEmpty() ? kNoRow : static_cast<Index>(selected.front().row());
    }
    void SetListIndex(Index row) override {
        CheckListRow(row, list_->count(), true);
        if (row == ListIndex()) return;  // no change, no Click
        // Only the list the user is in moves its current row (see SelectionList).
        const QModelIndex index = list_->model()->index(row, 0);
        if (row == kNoRow)
            list_->clearSelection();
        else if (list_->hasFocus())
            list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        else
            list_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    }
    Text List(Index row) const override {
        CheckListRow(row, list_->count(), false);
        const QByteArray utf8 = list_->item(row)->text().toUtf8();
        return Text(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }

private:
    QListWidget* list_;
};

class QtForm::OptionAdapter final : public OptionButton {
public:
    explicit OptionAdapter(QRadioButton* option) : option_(option) {}
    void SetValue(bool checked) override {
        if (option_->isChecked() == checked) return;
        // An option of an exclusive group refuses to be unchecked on its own; let it go for once.
        const bool exclusive = option_->autoExclusive();
        if (!checked) option_->setAutoExclusive(false);
        option_->setChecked(checked);
        option_->setAutoExclusive(exclusive);
    }

private:
    QRadioButton* option_;
};

class QtForm::TextAdapter final : public TextBox {
public:
    TextAdapter(QPlainTextEdit* edit, std::function<void(const QString&)> written)
        : edit_(edit), written_(std::move(written)) {}
    void SetText(std::string_view text) override {
        // The texts end their lines in CR LF; the editor breaks lines at LF alone.
        const QString plain = ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        edit_->setPlainText(plain);
        if (written_) written_(plain);
    }

private:
    QPlainTextEdit* edit_;
    std::function<void(const QString&)> written_;
};

QtForm::QtForm(const WindowLayout& layout, FormEvents events, ErrorReporter reportError)
    : runner_(events), reportError_(std::move(reportError)) {
    // Installed once the application exists: before it, Qt's own widget factory answers first.
    static const bool factoryKnown = (QAccessible::installFactory(FormFactory), true);
    static_cast<void>(factoryKnown);
    Build(layout);
}

void QtForm::AnnounceHint(const QString& hint) {
    if (!notification_ || hint == announcedHint_) return;
    announcedHint_ = hint;
    // After the event loop has turned, so that the chosen row or option is told before its hint;
    // choices made before it turns (keys held down) announce only the last hint.
    announce_->start();
}

// The application hears of a new palette or theme; a window hears only of its own palette.
bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::ThemeChange))
        FollowContrast();
    return QWidget::eventFilter(watched, event);
}

void QtForm::FollowContrast() {
    const bool own = !IsHighContrast(QApplication::palette(this));
    if (own == ownColours_ && form_) return;
    ownColours_ = own;
    // Under high contrast the theme's colours stand: the form and its controls keep the palette.
    auto paint = [own](QWidget* widget, QPalette::ColorRole role, Rgb colour) {
        if (!own) {
            widget->setPalette(QPalette());
            return;
        }
        QPalette palette = QApplication::palette(widget);
        palette.setColor(role, ToColor(colour));
        widget->setPalette(palette);
    };
    if (form_) paint(this, QPalette::Window, form_->backColor);
    for (const Built& b : built_) {
        if (!b.description->background) continue;
        // Buttons paint their background in the Button role, the rest in Window.
        paint(b.widget, b.widget->backgroundRole(), *b.description->background);
        b.widget->setAutoFillBackground(own);
    }
}

// The widgets outlive the control arrays (they go with the QWidget base, after the members): their
// signals must no longer reach the handlers while they are taken down.
QtForm::~QtForm() {
    for (const Built& b : built_) b.widget->disconnect(this);
}

void QtForm::Build(const WindowLayout& layout) {
    const FormDescription& form = layout.form;
    setObjectName(ToQString(form.name));
    setWindowTitle(ToQString(form.caption));
    setAutoFillBackground(true);

    // Every control inherits this font. Qt picks glyphs by Unicode, so the character set needs no
    // setting of its own; where the family is missing, fontconfig's metric twin stands in.
    QFont font(ToQString(form.font.family));
    font.setPointSize(form.font.points);
    font.setWeight(static_cast<QFont::Weight>(form.font.weight));
    font.setItalic(form.font.italic);
    font.setUnderline(form.font.underline);
    font.setStrikeOut(form.font.strikeOut);
    if (form.font.serif) font.setStyleHint(QFont::Serif);
    // The family the system stands in with is looked up once, here: every control then asks for a
    // family the font database has, instead of each repeating the alias and fallback lookups.
    font.setFamily(QFontInfo(font).family());
    // The application's font too: a text box makes its document in the application's font before
    // it takes the form's, and loading a second font there cost as much as the rest of the box.
    QApplication::setFont(font);
    setFont(font);

    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (form.maxButton) flags |= Qt::WindowMaximizeButtonHint;
    if (form.minButton) flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    if (form.fixedSingleBorder)
        setFixedSize(LogicalPixels(form.clientWidth), LogicalPixels(form.clientHeight));
    else
        resize(LogicalPixels(form.clientWidth), LogicalPixels(form.clientHeight));

    QWidget* frame = nullptr;
    QWidget* previousInTabOrder = nullptr;
    for (std::size_t tab = 0; tab < layout.controls.size(); ++tab) {
        const ControlDescription& c = layout.controls[tab];
        QWidget* parent = c.container == Container::Frame1 && frame ? frame : this;
        QWidget* widget = nullptr;
        TextAdapter* contents = nullptr;
        switch (c.kind) {
            case ControlKind::TextBox: {
                auto* edit = new QPlainTextEdit(parent);
                edit->setLineWrapMode(c.multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
                edit->setVerticalScrollBarPolicy(c.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAlwaysOff);
                edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                edit->setReadOnly(c.readOnly);
                if (c.readOnly)
                    edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
                edit->setTabChangesFocus(true);
                edit->setFocusPolicy(Qt::StrongFocus);
                auto text = std::make_unique<TextAdapter>(
                    edit, [this](const QString& written) { AnnounceHint(written); });
                contents = text.get();
                arrays_.PlaceText1(c.index, std::move(text));
                widget = edit;
                break;
            }
            case ControlKind::Label: {
                // The text once the label is whole: setting it tells screen readers, which fixes the
                // label's accessible kind as it is at that moment.
                QLabel* label = c.heading ? new HeadingLabel(parent) : new QLabel(parent);
                label->setText(ToQString(c.text));
                label->setAlignment((c.centredText ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
                widget = label;
                break;
            }
            case ControlKind::Frame:
                frame = widget = new FrameBox(ToQString(c.text), parent);
                break;
            case ControlKind::OptionButton: {
                auto* option = new QRadioButton(ToQString(c.text), parent);
                arrays_.PlaceOption1(c.index, std::make_unique<OptionAdapter>(option));
                connect(option, &QRadioButton::toggled, this, [this, option, index = c.index](bool checked) {
                    if (!checked) return;
                    MoveTabStopTo(option);
                    Dispatch(ClickOf::Option1, index);
                });
                widget = option;
                break;
            }
            case ControlKind::ListBox: {
                auto* list = new SelectionList(parent);
                list->setSelectionMode(QAbstractItemView::SingleSelection);
                list->setSortingEnabled(false);
                list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                list->setUniformItemSizes(true);
                for (std::string_view row : c.rows) list->addItem(ToQString(row));
                arrays_.PlaceListBox(c, std::make_unique<ListAdapter>(list));
                if (!IsHintStore(c)) {
                    connect(list, &QListWidget::itemSelectionChanged, this,
                            [this, index = c.index] { Dispatch(ClickOf::List1, index); });
                }
                widget = list;
                break;
            }
        }
        widget->setObjectName(ToQString(c.name) +
                              (c.index == kNotInArray ? QString() : QStringLiteral("(%1)").arg(c.index)));
        widget->setGeometry(LogicalPixels(c.bounds.left), LogicalPixels(c.bounds.top), LogicalPixels(c.bounds.width),
                            LogicalPixels(c.bounds.height));
        // Text goes in once the box has its width, so that it is laid out once.
        if (contents) contents->SetText(c.text);
        // A hidden list's rows are never drawn, so they need no fitting.
        auto* list = qobject_cast<QListWidget*>(widget);
        if (list && !c.hidden) {
            const int rowHeight = FittedRowHeight(list->sizeHintForRow(0),
                                                  widget->height() - 2 * list->frameWidth(), list->count());
            for (int row = 0; row < list->count(); ++row)
                list->item(row)->setSizeHint(QSize(0, rowHeight));
        }
        widget->setHidden(c.hidden);

        if (c.kind != ControlKind::Label) widget->setAccessibleName(ToQString(AccessibleName(layout, tab)));
        if (const std::size_t label = NamingLabel(layout, tab); label < built_.size())
            static_cast<QLabel*>(built_[label].widget)->setBuddy(widget);
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previousInTabOrder) setTabOrder(previousInTabOrder, widget);
            previousInTabOrder = widget;
        }
        built_.push_back({&c, widget});
    }
    new FocusRing(this);  // the form owns it, as every widget on it
    form_ = &form;
    FollowContrast();
    qApp->installEventFilter(this);
    // The statement the window opens with is not announced; every later hint is.
    auto* bar = new QStatusBar(this);
    bar->setSizeGripEnabled(false);
    notification_ = new HintNotification(bar);
    bar->addWidget(notification_);
    bar->hide();
    announce_ = new QTimer(this);
    announce_->setSingleShot(true);
    announce_->setInterval(0);
    connect(announce_, &QTimer::timeout, this, [this] {
        auto* notification = static_cast<HintNotification*>(notification_);
        notification->SetHint(announcedHint_);
        if (!QAccessible::isActive()) return;
        QAccessibleEvent shown(notification, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    });
}

void QtForm::Dispatch(ClickOf source, Index index) {
    runner_.Run(Controls(), source, index, [this](std::string_view message) {
        reportError_(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    });
}

QWidget* QtForm::Control(std::string_view name, Index index) const {
    for (const Built& b : built_)
        if (b.description->name == name && b.description->index == index) return b.widget;
    return nullptr;
}

QWidget* QtForm::FirstFocusable() const {
    for (const Built& b : built_)
        if (TakesFocus(*b.description)) return b.widget;
    return nullptr;
}

void QtForm::ShowCentred() {
    if (QScreen* screen = this->screen()) move(screen->geometry().center() - rect().center());
    show();
    if (QWidget* first = FirstFocusable()) first->setFocus(Qt::OtherFocusReason);
}

}  // namespace quorbel::qt
