// A Qt window titled argv[1] for the KWin tests, native Wayland under
// QT_QPA_PLATFORM=wayland; app id org.tavelor.QtNative.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication::setDesktopFileName(QStringLiteral("org.tavelor.QtNative"));
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Qt"));
    window.resize(400, 300);
    window.show();
    return QApplication::exec();
}
