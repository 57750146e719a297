// Scan and apply through KWin scripts, for 20 and 100 native windows, against
// a bare script that only sets the same frames. Runs inside
// tests/wayland/kwin-session; TAVELOR_QT_WINDOW names the window program.
#include "Platform/KWin/KWinScriptRunner.hpp"
#include "Platform/KWin/KWinWindowSource.hpp"
#include "Platform/Xdg/DesktopEntries.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

using namespace tavelor;

// The baseline: what any script that moves windows has to do, no more.
const QString kBareScript = QStringLiteral(R"((function () {
    const windows = typeof workspace.windowList === "function"
        ? workspace.windowList() : workspace.clientList();
    const byId = {};
    for (let i = 0; i < windows.length; ++i)
        byId[String(windows[i].internalId)] = windows[i];
    for (let i = 0; i < request.frames.length; ++i) {
        const f = request.frames[i];
        byId[f[0]].frameGeometry = { x: f[1], y: f[2], width: f[3], height: f[4] };
    }
    callDBus(tavelorReply.service, tavelorReply.path, "app.tavelor.KWinScriptReply", "deliver",
             tavelorReply.token, "");
})();
)");

struct Desktop {
    kwin::KWinScriptRunner runner{kwin::KWinWindowSource::kBound};
    xdg::DesktopEntries entries;
    kwin::KWinWindowSource source{runner, entries};
    std::map<int, std::unique_ptr<QProcess>> clients; // window count -> its process
    std::map<int, std::vector<QString>> ids;

    // The ids of `count` windows of one client, started on first use.
    const std::vector<QString>& windows(int count)
    {
        if (!ids[count].empty())
            return ids[count];
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        process->setProcessEnvironment(environment);
        const QString title = QStringLiteral("Bench%1").arg(count);
        process->start(qEnvironmentVariable("TAVELOR_QT_WINDOW"), {title, QString::number(count)});
        const QDeadlineTimer deadline(60000);
        while (ids[count].size() < static_cast<std::size_t>(count) && !deadline.hasExpired()) {
            QThread::msleep(100);
            ids[count].clear();
            for (const platform::LiveApplication& app : source.listApplications()) {
                for (const platform::LiveWindow& window :
                     app.windows.value_or(std::vector<platform::LiveWindow>{})) {
                    if (window.title && window.title->startsWith(title + QLatin1Char(' ')))
                        ids[count].push_back(window.id);
                }
            }
        }
        QThread::sleep(2); // let KWin finish placing and painting the new windows
        clients[count] = std::move(process);
        return ids[count];
    }
};

Desktop& desktop()
{
    static Desktop instance;
    return instance;
}

// Frames that alternate between two places, so every apply moves every window.
double offset(benchmark::State& state)
{
    return static_cast<double>(state.iterations() % 2) * 50;
}

void BM_KWinList(benchmark::State& state)
{
    desktop().windows(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(desktop().source.listApplications());
}

void BM_KWinApply(benchmark::State& state)
{
    const auto& ids = desktop().windows(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<platform::FrameWrite> writes;
        double x = offset(state);
        for (const QString& id : ids) {
            writes.push_back({id, platform::FrameWrite::Part::Position, x, 40});
            writes.push_back({id, platform::FrameWrite::Part::Size, 300, 200});
            writes.push_back({id, platform::FrameWrite::Part::Position, x, 40});
            x += 10;
        }
        desktop().source.apply(writes);
        if (desktop().source.lastApplyCount() != static_cast<int>(ids.size()))
            state.SkipWithError("apply did not reach every window");
    }
}

void BM_BareScriptApply(benchmark::State& state)
{
    const auto& ids = desktop().windows(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QJsonArray frames;
        double x = offset(state);
        for (const QString& id : ids) {
            frames.append(QJsonArray{id, x, 40, 300, 200});
            x += 10;
        }
        const QString request =
            QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("frames"), frames}})
                                  .toJson(QJsonDocument::Compact));
        if (!desktop().runner.run(kBareScript, request))
            state.SkipWithError("the bare script did not answer");
    }
}

BENCHMARK(BM_KWinList)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareScriptApply)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KWinApply)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
