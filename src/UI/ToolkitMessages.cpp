#include "UI/ToolkitMessages.hpp"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace tavelor {

namespace {

struct HeldMessage {
    QtMsgType type;
    const char* category; // the toolkit's categories are static strings
    QString text;
};

struct Filter {
    std::mutex mutex;
    QtMessageHandler next = nullptr;
    bool holding = true;
    QList<HeldMessage> held;
};

Filter& filter()
{
    static Filter instance;
    return instance;
}

[[noreturn]] void noWindowSystem()
{
    const QByteArray display = qgetenv("DISPLAY");
    (void)std::fprintf(stderr, "Tavelor: cannot connect to the display%s%s; quitting.\n",
                       display.isEmpty() ? "" : " ", display.constData());
    std::_Exit(1);
}

void filterMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QLatin1String("X11 connection broke")))
        windowSystemLost();
    Filter& f = filter();
    std::unique_lock lock(f.mutex);
    if (f.holding) {
        if (type == QtFatalMsg)
            noWindowSystem();
        f.held.append({type, context.category, text});
        return;
    }
    const QtMessageHandler next = f.next;
    lock.unlock();
    if (next)
        next(type, context, text);
    else
        (void)std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

} // namespace

void installToolkitMessageFilter()
{
    filter().next = qInstallMessageHandler(filterMessage);
}

void releaseToolkitMessages()
{
    Filter& f = filter();
    QList<HeldMessage> held;
    {
        const std::lock_guard lock(f.mutex);
        f.holding = false;
        held.swap(f.held);
    }
    for (const HeldMessage& message : std::as_const(held)) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category);
        filterMessage(message.type, context, message.text);
    }
}

void windowSystemLost()
{
    static std::atomic_flag reported;
    if (!reported.test_and_set())
        (void)std::fputs("Tavelor: the connection to the X server was lost; quitting.\n", stderr);
    std::_Exit(1);
}

} // namespace tavelor
