// Qt windows of app id org.tavelor.QtNative for the Wayland tests and benchmarks: one
// titled argv[1], or argv[2] of them titled "argv[1] 1", "argv[1] 2", ...
#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <vector>

int main(int argc, char** argv)
{
    QApplication::setDesktopFileName(QStringLiteral("org.tavelor.QtNative"));
    QApplication app(argc, argv);
    const QString title = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Qt");
    const int count = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < std::max(count, 1); ++i) {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(count > 0 ? QStringLiteral("%1 %2").arg(title).arg(i + 1) : title);
        window->resize(400, 300);
        window->show();
        windows.push_back(std::move(window));
    }
    return QApplication::exec();
}
