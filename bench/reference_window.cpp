// The reference for start-up figures: a bare Qt window of the program's size showing one short line
// of Cyrillic text in the default font, built and started as plainly as Qt allows.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(428, 379);
    QLabel line(QStringLiteral("Логика - тест"), &window);
    window.show();
    return QApplication::exec();
}
