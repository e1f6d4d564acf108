// Renders the window to a PNG at 96 DPI, as it first opens: `quorbel_screenshot OUT.png`.
#include <QApplication>
#include <QPixmap>

#include <cstdio>

#include "platform/qt/qt_form.hpp"
#include "platform/qt/qt_runtime.hpp"
#include "selection/house_selection.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorbel::qt::PrepareApplication(app, quorbel::MainWindowLayout);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorbel_screenshot OUT.png\n");
        return 2;
    }
    quorbel::qt::QtForm form(quorbel::MainWindowLayout, quorbel::HouseSelection, [](const QString&) {});
    form.ShowCentred();
    QApplication::processEvents();
    return form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
