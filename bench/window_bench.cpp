// Start-up, clicks and memory of the real window, and of a bare reference window built the same way.
//   window_bench startup            prints the CLOCK_MONOTONIC nanoseconds of the first painted frame
//   window_bench memory N           prints peak and current resident KiB after start, after N/10
//                                   clicks and after N clicks
//   window_bench clicks N           prints N click-to-repaint times in nanoseconds, one a line
// With --reference the bare window stands in: one plain widget of the same size showing one short
// line of Cyrillic text in the default font, so that both load fonts.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/qt/qt_form.hpp"
#include "platform/qt/qt_runtime.hpp"
#include "selection/house_selection.hpp"

#include "quorbel_icon.hpp"

namespace {

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Peak (VmHWM) and current (VmRSS) resident memory in KiB.
std::pair<long, long> ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    long peak = 0, current = 0;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) peak = line.mid(6).trimmed().split(' ').front().toLong();
            if (line.startsWith("VmRSS:")) current = line.mid(6).trimmed().split(' ').front().toLong();
        }
    return {peak, current};
}

// Calls `then` once the window's first frame has been painted.
class FirstFrame : public QObject {
public:
    FirstFrame(QWidget* window, std::function<void()> then) : then_(std::move(then)) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            watched->removeEventFilter(this);
            // Queued, so that it runs once the paint has been done and flushed.
            QMetaObject::invokeMethod(this, [this] { std::exchange(then_, nullptr)(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> then_;
};

// The same steps as the program's start, so that the figures are the program's.
std::unique_ptr<QWidget> MakeWindow(QApplication& app, bool reference) {
    if (reference) {
        auto window = std::make_unique<QWidget>();
        window->setFixedSize(428, 379);
        new QLabel(QStringLiteral("Логика - тест"), window.get());
        window->show();
        return window;
    }
    const quorbel::qt::IconPixels icon{quorbel::icon::kWidth, quorbel::icon::kHeight, quorbel::icon::kArgb};
    quorbel::qt::PrepareApplication(app, quorbel::MainWindowLayout, &icon);
    auto form = std::make_unique<quorbel::qt::QtForm>(quorbel::MainWindowLayout, quorbel::HouseSelection,
                                                      [](const QString&) { std::abort(); });
    form->ShowCentred();
    return form;
}

// A click that moves the window to another house: a list row or a colour option, by turns.
void Click(quorbel::qt::QtForm& form, int i) {
    const int house = (i * 2 + 1) % 5;
    if (i % 2) {
        auto* option = static_cast<QRadioButton*>(form.Control("Option1", static_cast<quorbel::Index>(house)));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    } else {
        auto* list = static_cast<QListWidget*>(form.Control("List1", static_cast<quorbel::Index>(i % 4)));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(house)).center());
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool reference = false;
    const char* mode = "startup";
    int count = 1000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reference") == 0) reference = true;
        else if (argv[i][0] >= '0' && argv[i][0] <= '9') count = std::atoi(argv[i]);
        else mode = argv[i];
    }
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window = MakeWindow(app, reference);
    auto* form = dynamic_cast<quorbel::qt::QtForm*>(window.get());

    FirstFrame first(window.get(), [&] {
        if (std::strcmp(mode, "startup") == 0) {
            std::printf("%lld\n", MonotonicNs());
        } else if (std::strcmp(mode, "memory") == 0) {
            // After start, after the first tenth of the clicks (every hint drawn once by then), and
            // after all of them: growth between the last two would be a leak.
            const auto report = [](const char* when) {
                const auto [peak, current] = ResidentKiB();
                std::printf("%s %ld %ld\n", when, peak, current);
            };
            report("start");
            for (int i = 0; form && i < count; ++i) {
                Click(*form, i);
                QApplication::sendPostedEvents();
                if (i + 1 == count / 10) report("warm");
            }
            report("after");
        } else if (form) {
            for (int i = 0; i < count; ++i) {
                QElapsedTimer timer;
                timer.start();
                Click(*form, i);
                // The handlers have run; now the repaint the click asked for.
                QApplication::sendPostedEvents();
                std::printf("%lld\n", static_cast<long long>(timer.nsecsElapsed()));
            }
        }
        std::fflush(stdout);
        QApplication::exit(0);
    });
    return QApplication::exec();
}
