// The Qt runtime: starts the application, shows the form and reports run-time errors.
#include "platform/qt/qt_runtime.hpp"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/qt/qt_form.hpp"

namespace quorbel::qt {

namespace {

// While the application object connects to the display, Qt's own messages are held back. When the
// platform cannot start because no display could be reached, the fatal message that follows
// becomes one line of ours; any other fatal message is printed as it is, after what led to it.
// Either way the program ends with status 1 rather than an abort. Once the application stands,
// the messages held are passed on as Qt would have printed them.
struct HeldMessage {
    QtMsgType type;
    const char* category;  // Qt's categories are static strings
    QString text;
};
struct StartMessages {
    std::vector<HeldMessage> held;
    bool displayUnreachable = false;
};
StartMessages startMessages;

void HoldStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool platform = context.category && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (platform && (message.contains(QLatin1StringView("could not connect to display")) ||
                     message.contains(QLatin1StringView("Failed to create wl_display"))))
        startMessages.displayUnreachable = true;
    if (type != QtFatalMsg) {
        startMessages.held.push_back({type, context.category, message});
        return;
    }
    if (startMessages.displayUnreachable) {
        std::fputs("quorbel: cannot open the window: no display could be reached "
                   "(is DISPLAY or WAYLAND_DISPLAY set to a running desktop?)\n",
                   stderr);
    } else {
        for (const HeldMessage& held : std::as_const(startMessages.held))
            std::fprintf(stderr, "%s\n", qPrintable(held.text));
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    std::_Exit(EXIT_FAILURE);
}

// The messages held while the application started, handed to the handler now in place.
void PassOnStartMessages() {
    std::vector<HeldMessage> held = std::move(startMessages.held);
    startMessages = {};
    for (const HeldMessage& message : held)
        qt_message_output(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category), message.text);
}

}  // namespace

void ReportAndQuit(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
    QCoreApplication::exit(EXIT_FAILURE);
}

void PrepareApplication(QApplication& app, const WindowLayout& layout, const IconPixels* icon) {
    // The platform's palette, kept where it asks for high contrast: the system's colours then win.
    const QPalette platform = QGuiApplication::palette();
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        app.setPalette(IsHighContrast(platform) ? platform : fusion->standardPalette());
    }
    QApplication::setApplicationName(QString::fromUtf8(layout.form.name.data(),
                                                       static_cast<qsizetype>(layout.form.name.size())));
    // Given as pixels, so that no image-format plugin is loaded for a 32 x 32 picture.
    if (icon)
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(icon->argb),
                                                                     icon->width, icon->height,
                                                                     QImage::Format_ARGB32))));
}

int Run(int& argc, char** argv, const WindowLayout& layout, FormEvents events, const IconPixels& icon) {
    // The program takes no arguments, so the toolkit is handed none: its own options (-platform,
    // -stylesheet, -reverse, ...) change nothing. Its environment variables still apply.
    char fallbackName[] = "quorbel";
    char* programOnly[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    int programOnlyCount = 1;
    const QtMessageHandler previous = qInstallMessageHandler(HoldStartMessage);
    QApplication app(programOnlyCount, programOnly);
    qInstallMessageHandler(previous);
    PassOnStartMessages();
    PrepareApplication(app, layout, &icon);
    QtForm form(layout, events, ReportAndQuit);
    form.setAttribute(Qt::WA_QuitOnClose);
    form.ShowCentred();
    return QApplication::exec();
}

}  // namespace quorbel::qt
