// KWinDisplays against the session's real KWin with two outputs (KWIN_OUTPUTS=2), changed the
// way Plasma's display settings change them, through kscreen-doctor.
#include "Platform/KWin/KWinDisplays.hpp"

#include "unit/QtPrinters.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace tavelor::kwin {
namespace {

TEST(KWinDisplays, SetupAndChangeNoticesFollowTheOutputs)
{
    KWinDisplays displays;
    int notices = 0;
    displays.setChangedHandler([&] { ++notices; });
    const Monitor left{"Virtual-0", {}, {}, {}, 0, 0, 1920, 1080, 1};
    const Monitor right{"Virtual-1", {}, {}, {}, 1920, 0, 1920, 1080, 1};
    const Monitor scaled{"Virtual-1", {}, {}, {}, 1920, 0, 960, 540, 2};
    const Monitor swappedLeft{"Virtual-0", {}, {}, {}, 1920, 0, 1920, 1080, 1};
    const Monitor swappedRight{"Virtual-1", {}, {}, {}, 0, 0, 1920, 1080, 1};
    const struct {
        QStringList change;
        QList<Monitor> expected;
    } steps[] = {
        {{}, {left, right}},
        {{"output.Virtual-1.scale.2"}, {left, scaled}},
        {{"output.Virtual-1.disable"}, {left}},
        {{"output.Virtual-1.enable"}, {left, scaled}},
        {{"output.Virtual-1.scale.1"}, {left, right}},
        // The same area, so only the outputs' own signals tell.
        {{"output.Virtual-0.position.1920,0", "output.Virtual-1.position.0,0"},
         {swappedLeft, swappedRight}},
    };
    for (const auto& step : steps) {
        const int before = notices;
        if (!step.change.isEmpty()) {
            ASSERT_EQ(QProcess::execute("kscreen-doctor", step.change), 0);
        }
        const auto done = [&] { return step.change.isEmpty() || notices > before; };
        DisplaySetup setup;
        for (const QDeadlineTimer deadline(15000);
             !(done() && (setup = displays.currentSetup()).monitors == step.expected) &&
             !deadline.hasExpired();
             QThread::msleep(20))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_TRUE(done()) << step.change.join(' ').toStdString();
        EXPECT_EQ(setup.monitors, step.expected) << step.change.join(' ').toStdString();
    }
}

} // namespace
} // namespace tavelor::kwin
