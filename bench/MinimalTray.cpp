// The smallest Qt tray program worth comparing Tavelor with: one icon, one small
// menu, the same Qt modules loaded the same way (QApplication, Widgets, the tray
// over D-Bus). Its resident size and start-up time are the baselines of
// scripts/bench. With --dialog it also shows one input dialog a second after
// start and closes it, as a user's first "Save Layout..." does: the first
// window shown loads fonts and the text shaping libraries.

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QInputDialog>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.fillRect(3, 3, 7, 7, Qt::black);
        painter.fillRect(12, 3, 7, 7, Qt::black);
        painter.fillRect(3, 12, 7, 7, Qt::black);
        painter.fillRect(12, 12, 7, 7, Qt::black);
    }

    QMenu menu;
    menu.addAction(QStringLiteral("Hello"));
    menu.addSeparator();
    QObject::connect(menu.addAction(QStringLiteral("Quit")), &QAction::triggered, &app,
                     &QApplication::quit);

    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.setToolTip(QStringLiteral("Minimal tray"));
    tray.setContextMenu(&menu);
    tray.show();
    if (QApplication::arguments().contains(QStringLiteral("--dialog"))) {
        QTimer::singleShot(1000, [] {
            QInputDialog dialog;
            dialog.setLabelText(QStringLiteral("Name:"));
            dialog.setTextValue(QStringLiteral("Bench"));
            QTimer::singleShot(500, &dialog, &QDialog::accept);
            dialog.exec();
        });
    }
    return QApplication::exec();
}
