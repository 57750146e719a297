// KWinDisplays against the session's KWin with two outputs, changed through kscreen-doctor.
#include "Platform/KWin/KWinDisplays.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace tavelor::kwin {
namespace {

Monitor output(int number, double x, double width, double scale = 1)
{
    return {
        QStringLiteral("Virtual-%1").arg(number), {}, {}, {}, x, 0, width, width * 9 / 16, scale};
}

TEST(KWinDisplays, SetupAndChangeNoticesFollowTheOutputs)
{
    KWinDisplays displays;
    int notices = 0;
    displays.setChangedHandler([&] { ++notices; });
    const Monitor left = output(0, 0, 1920), right = output(1, 1920, 1920),
                  scaled = output(1, 1920, 960, 2);
    const struct {
        QStringList change;
        QList<Monitor> expected;
    } steps[] = {
        {{"output.Virtual-1.scale.2"}, {left, scaled}},
        {{"output.Virtual-1.disable"}, {left}},
        {{"output.Virtual-1.enable"}, {left, scaled}},
        {{"output.Virtual-1.scale.1", "output.Virtual-0.position.1920,0",
          "output.Virtual-1.position.0,0"},
         {output(0, 1920, 1920), output(1, 0, 1920)}},
        // The same area as before: only the outputs' own signals tell.
        {{"output.Virtual-0.position.0,0", "output.Virtual-1.position.1920,0"}, {left, right}},
    };
    EXPECT_EQ(displays.currentSetup().monitors, QList({left, right}));
    for (const auto& step : steps) {
        const int before = notices;
        ASSERT_EQ(QProcess::execute("kscreen-doctor", step.change), 0);
        DisplaySetup setup;
        for (const QDeadlineTimer deadline(15000);
             !(notices > before && (setup = displays.currentSetup()).monitors == step.expected) &&
             !deadline.hasExpired();
             QThread::msleep(20))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_GT(notices, before) << step.change.join(' ').toStdString();
        EXPECT_EQ(setup.monitors, step.expected) << step.change.join(' ').toStdString();
    }
}

} // namespace
} // namespace tavelor::kwin
