#include "UI/AlertSound.hpp"

#include <QApplication>

namespace tavelor::AlertSound {

namespace {

std::function<void()>& hook()
{
    static std::function<void()> instance;
    return instance;
}

} // namespace

void beep()
{
    if (hook())
        hook()();
    else
        QApplication::beep();
}

void setHookForTesting(std::function<void()> newHook)
{
    hook() = std::move(newHook);
}

} // namespace tavelor::AlertSound
