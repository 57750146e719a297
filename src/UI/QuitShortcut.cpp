#include "UI/QuitShortcut.hpp"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace tavelor {

QuitShortcut::QuitShortcut(std::function<bool()> isSuspended, QObject* parent)
    : QObject(parent), m_isSuspended(std::move(isSuspended))
{
    QCoreApplication::instance()->installEventFilter(this);
}

QuitShortcut::~QuitShortcut()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool QuitShortcut::eventFilter(QObject* watched, QEvent* event)
{
    // The override comes first and lets a line edit claim a key; claiming it
    // here keeps an alert's text field from swallowing Ctrl+Q.
    const QEvent::Type type = event->type();
    if ((type == QEvent::ShortcutOverride || type == QEvent::KeyPress) &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Quit) &&
        !(m_isSuspended && m_isSuspended())) {
        event->accept();
        if (type == QEvent::KeyPress)
            // Queued: the alert or menu that has the key returns first.
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavelor
