// The status menu's rebuild with 100 profiles of 20 windows, and what share of
// it is loading the profiles file (every rebuild reloads the whole file). Qt's
// offscreen platform; the fake backend, so no window system is measured.
#include "Platform/Fake/FakeBackend.hpp"
#include "Services/ProfileStore.hpp"
#include "TypicalProfiles.hpp"
#include "UI/MenuController.hpp"

#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using namespace tavelor;

constexpr int kProfiles = 100;
constexpr int kWindows = 20;

struct Fixture {
    Fixture()
        : controller(backend, MenuController::Locations{folder.path() + "/Tavelor",
                                                        folder.path() + "/Tavelor.conf"})
    {
        ProfileStore(folder.path() + "/Tavelor")
            .save(bench::makeTypicalProfiles(kProfiles, kWindows));
        controller.setMenu(&menu);
    }
    QTemporaryDir folder;
    fake::FakeBackend backend;
    MenuController controller;
    QMenu menu;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

double secondsPerLoad(ProfileStore& store, int rounds)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        benchmark::DoNotOptimize(store.load());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

void BM_MenuRefresh(benchmark::State& state)
{
    auto& f = fixture();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        f.controller.refresh(&f.menu);
        // The old submenus may go through deleteLater: their deletion is part of a rebuild.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (f.controller.profiles().size() != kProfiles)
            state.SkipWithError("the file did not load");
    }
    const double perRefresh =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        static_cast<double>(state.iterations());
    // Measured right after, on the same file, with the same store.
    state.counters["load_share"] = secondsPerLoad(f.controller.store(), 20) / perRefresh;
    state.counters["top_items"] = static_cast<double>(f.menu.actions().size());
}
BENCHMARK(BM_MenuRefresh)->Unit(benchmark::kMillisecond);

void BM_ProfilesLoad(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.controller.store().load());
}
BENCHMARK(BM_ProfilesLoad)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
