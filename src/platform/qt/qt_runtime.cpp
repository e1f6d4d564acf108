// The Qt runtime: starts the application, shows the form and reports run-time errors.
#include "platform/qt/qt_runtime.hpp"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>

#include <cstdio>
#include <cstdlib>

#include "platform/qt/qt_form.hpp"
#include "platform/qt/qt_icon.hpp"

namespace quorbel::qt {

namespace {

// While the application object connects to the display, Qt's own messages are held back and a
// fatal one (no platform could be started: no display, or one that cannot be reached) becomes a
// single line and status 1 instead of an abort.
void ReportNoDisplay(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type != QtFatalMsg) return;
    std::fputs("quorbel: cannot open the window: no display could be reached "
               "(is DISPLAY or WAYLAND_DISPLAY set to a running desktop?)\n",
               stderr);
    std::_Exit(EXIT_FAILURE);
}

// A run-time error is not trapped: its message is shown and the program ends.
void ReportAndEnd(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
    std::exit(EXIT_FAILURE);
}

}  // namespace

void PrepareApplication(QApplication& app, const WindowLayout& layout, const char* const* iconXpm) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        app.setPalette(fusion->standardPalette());
    }
    QApplication::setApplicationName(QString::fromUtf8(layout.form.name.data(),
                                                       static_cast<qsizetype>(layout.form.name.size())));
    if (iconXpm) QApplication::setWindowIcon(QIcon(QPixmap::fromImage(DecodeXpm(iconXpm))));
}

int Run(int& argc, char** argv, const WindowLayout& layout, FormEvents events, const char* const* iconXpm) {
    const QtMessageHandler previous = qInstallMessageHandler(ReportNoDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    PrepareApplication(app, layout, iconXpm);
    QtForm form(layout, events, ReportAndEnd);
    form.setAttribute(Qt::WA_QuitOnClose);
    form.ShowCentred();
    return QApplication::exec();
}

}  // namespace quorbel::qt
