// Scan and apply on a real desktop, each against a baseline in the same run.
// Run inside the test desktop:
//   tests/desktop/test-desktop -- build/bench/capture_bench
//
// Scan of 200 windows: Tavelor's scanner, the same reads made one request at a
// time, and a bare pipelined read of the same properties without our logic.
// Apply of 100 windows: from the start of apply until every window shows its
// saved frame, and the same moves made by one wmctrl process per window; and
// the same frames with a window state (desktop and stacking order, reversed
// from one layout to the other) until the stacking order is the saved one too.

#include "Platform/Displays.hpp"
#include "Platform/X11/X11Backend.hpp"
#include "Platform/X11/XcbPointers.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"
#include "support/TestDesktop.hpp"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <xcb/res.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tavelor::x11 {
namespace {

using testing::FixtureClient;

constexpr int kScanWindows = 200;
constexpr int kApplyWindows = 100;

struct Desktop {
    std::unique_ptr<X11Backend> backend;
    std::unique_ptr<FixtureClient> scanFixture;
    std::unique_ptr<FixtureClient> applyFixture;
    std::vector<xcb_window_t> applyFrames; // the window manager's frame of each apply window
    std::array<WindowProfile, 2> profiles;
    int next = 0;
};

Desktop& desktop()
{
    static Desktop* d = [] {
        auto* made = new Desktop;
        made->backend = std::make_unique<X11Backend>();
        if (!made->backend->connection()) {
            std::fputs("capture_bench: no X display (run it inside tests/desktop/test-desktop)\n",
                       stderr);
            std::exit(1);
        }
        return made;
    }();
    return *d;
}

// The scan benchmarks see the 200 scan windows alone.
Desktop& scanDesktop()
{
    Desktop& d = desktop();
    if (!d.scanFixture) {
        d.applyFixture.reset();
        d.scanFixture = std::make_unique<FixtureClient>(
            QStringList{"--window", QStringLiteral("--count=%1").arg(kScanWindows),
                        "--class=scanbench,ScanBench", "--title=scan window %d"});
        testing::waitUntil(
            [&] { return testing::clientList(*d.backend->connection()).size() == kScanWindows; });
    }
    return d;
}

// The apply benchmarks see the 100 apply windows alone.
Desktop& applyDesktop()
{
    Desktop& d = desktop();
    if (d.applyFixture)
        return d;
    d.scanFixture.reset();
    d.applyFixture = std::make_unique<FixtureClient>(
        QStringList{"--window", QStringLiteral("--count=%1").arg(kApplyWindows),
                    "--class=applybench,ApplyBench", "--title=apply window %d"});
    X11Connection& connection = *d.backend->connection();
    testing::waitUntil([&] { return testing::clientList(connection).size() == kApplyWindows; });
    xcb_connection_t* c = connection.get();
    d.applyFrames.clear();
    for (xcb_window_t window : d.applyFixture->windows()) {
        xcb_window_t current = window;
        for (;;) {
            XcbPtr<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(c, xcb_query_tree(c, current), nullptr));
            if (!tree || tree->parent == tree->root)
                break;
            current = tree->parent;
        }
        d.applyFrames.push_back(current);
    }
    // Two layouts of the apply windows, applied in turn.
    for (int p = 0; p < 2; ++p) {
        d.profiles[std::size_t(p)].snapshots.clear();
        for (int i = 0; i < kApplyWindows; ++i) {
            WindowSnapshot snapshot;
            snapshot.bundleIdentifier = QStringLiteral("ApplyBench");
            snapshot.appName = QStringLiteral("ApplyBench");
            snapshot.windowTitle = QStringLiteral("apply window %1").arg(i);
            snapshot.frame = {20.0 + (i % 10) * 120 + p * 15, 20.0 + (i / 10) * 75 + p * 10,
                              100.0 + p * 12, 60.0 - p * 8};
            d.profiles[std::size_t(p)].snapshots.append(snapshot);
        }
    }
    return d;
}

// --- Scan -----------------------------------------------------------------

void BM_ScanTavelor(benchmark::State& state)
{
    Desktop& d = scanDesktop();
    WindowScanner scanner(d.backend->windowSource());
    scanner.scan(); // desktop entries are read once, on the first scan
    std::size_t found = 0;
    for (auto _ : state)
        found = scanner.scan().size();
    state.counters["windows"] = double(found);
}

struct Atoms {
    xcb_atom_t clientList, stacking, type, state, netName, pid, gtkId, extents, gtkExtents;
};

Atoms atoms(X11Connection& connection)
{
    return {connection.atom("_NET_CLIENT_LIST"),    connection.atom("_NET_CLIENT_LIST_STACKING"),
            connection.atom("_NET_WM_WINDOW_TYPE"), connection.atom("_NET_WM_STATE"),
            connection.atom("_NET_WM_NAME"),        connection.atom("_NET_WM_PID"),
            connection.atom("_GTK_APPLICATION_ID"), connection.atom("_NET_FRAME_EXTENTS"),
            connection.atom("_GTK_FRAME_EXTENTS")};
}

std::vector<xcb_window_t> windowList(xcb_connection_t* c, xcb_window_t root, xcb_atom_t property)
{
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, property, XCB_ATOM_WINDOW, 0, 65536), nullptr));
    if (!reply)
        return {};
    auto* data = static_cast<xcb_window_t*>(xcb_get_property_value(reply.get()));
    return {data, data + xcb_get_property_value_length(reply.get()) / 4};
}

// The same requests as a scan. `pipelined`: all of them before the first
// reply; otherwise each reply is awaited before the next request.
std::size_t readLikeAScan(X11Connection& connection, const Atoms& a, bool pipelined)
{
    xcb_connection_t* c = connection.get();
    const xcb_window_t root = connection.root();
    std::vector<xcb_window_t> clients;
    if (pipelined) {
        auto list = xcb_get_property(c, 0, root, a.clientList, XCB_ATOM_WINDOW, 0, 65536);
        auto stack = xcb_get_property(c, 0, root, a.stacking, XCB_ATOM_WINDOW, 0, 65536);
        XcbPtr<xcb_get_property_reply_t> listReply(xcb_get_property_reply(c, list, nullptr));
        XcbPtr<xcb_get_property_reply_t> stackReply(xcb_get_property_reply(c, stack, nullptr));
        auto* data = static_cast<xcb_window_t*>(xcb_get_property_value(listReply.get()));
        clients.assign(data, data + xcb_get_property_value_length(listReply.get()) / 4);
    } else {
        clients = windowList(c, root, a.clientList);
        benchmark::DoNotOptimize(windowList(c, root, a.stacking));
    }
    constexpr std::uint32_t kText = 16384;
    const std::array<std::pair<xcb_atom_t, std::uint32_t>, 9> properties{{
        {a.type, 64},
        {a.state, 64},
        {a.netName, kText},
        {XCB_ATOM_WM_NAME, kText},
        {XCB_ATOM_WM_CLASS, kText},
        {a.pid, 1},
        {a.gtkId, kText},
        {a.extents, 4},
        {a.gtkExtents, 4},
    }};
    std::size_t bytes = 0;
    auto takeProperty = [&](xcb_get_property_cookie_t cookie) {
        xcb_generic_error_t* error = nullptr;
        XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, &error));
        std::free(error);
        if (reply)
            bytes += std::size_t(xcb_get_property_value_length(reply.get()));
    };
    auto takeRest = [&](xcb_get_geometry_cookie_t g, xcb_translate_coordinates_cookie_t t,
                        xcb_res_query_client_ids_cookie_t r) {
        xcb_generic_error_t* error = nullptr;
        std::free(xcb_get_geometry_reply(c, g, &error));
        std::free(error);
        error = nullptr;
        std::free(xcb_translate_coordinates_reply(c, t, &error));
        std::free(error);
        error = nullptr;
        std::free(xcb_res_query_client_ids_reply(c, r, &error));
        std::free(error);
    };
    auto sendRest = [&](xcb_window_t w) {
        const xcb_res_client_id_spec_t wanted{w, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        return std::tuple{xcb_get_geometry(c, w), xcb_translate_coordinates(c, w, root, 0, 0),
                          xcb_res_query_client_ids(c, 1, &wanted)};
    };
    if (pipelined) {
        struct Cookies {
            std::array<xcb_get_property_cookie_t, 9> properties;
            std::tuple<xcb_get_geometry_cookie_t, xcb_translate_coordinates_cookie_t,
                       xcb_res_query_client_ids_cookie_t>
                rest;
        };
        std::vector<Cookies> cookies(clients.size());
        for (std::size_t i = 0; i < clients.size(); ++i) {
            for (std::size_t p = 0; p < properties.size(); ++p)
                cookies[i].properties[p] =
                    xcb_get_property(c, 0, clients[i], properties[p].first,
                                     XCB_GET_PROPERTY_TYPE_ANY, 0, properties[p].second);
            cookies[i].rest = sendRest(clients[i]);
        }
        for (Cookies& cookie : cookies) {
            for (auto& p : cookie.properties)
                takeProperty(p);
            std::apply(takeRest, cookie.rest);
        }
    } else {
        for (xcb_window_t w : clients) {
            for (const auto& [property, length] : properties)
                takeProperty(
                    xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, length));
            const xcb_res_client_id_spec_t wanted{w, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            auto g = xcb_get_geometry(c, w);
            xcb_generic_error_t* error = nullptr;
            std::free(xcb_get_geometry_reply(c, g, &error));
            std::free(error);
            error = nullptr;
            auto t = xcb_translate_coordinates(c, w, root, 0, 0);
            std::free(xcb_translate_coordinates_reply(c, t, &error));
            std::free(error);
            error = nullptr;
            auto r = xcb_res_query_client_ids(c, 1, &wanted);
            std::free(xcb_res_query_client_ids_reply(c, r, &error));
            std::free(error);
        }
    }
    connection.dispatchPendingEvents();
    return bytes + clients.size();
}

void BM_ScanOneRequestAtATime(benchmark::State& state)
{
    X11Connection& connection = *scanDesktop().backend->connection();
    const Atoms a = atoms(connection);
    for (auto _ : state)
        benchmark::DoNotOptimize(readLikeAScan(connection, a, false));
}

void BM_ScanBarePipelined(benchmark::State& state)
{
    X11Connection& connection = *scanDesktop().backend->connection();
    const Atoms a = atoms(connection);
    for (auto _ : state)
        benchmark::DoNotOptimize(readLikeAScan(connection, a, true));
}

// --- Apply ----------------------------------------------------------------

// Until every apply window's frame (as the window manager draws it) is the
// profile's. Polls with one pipelined geometry read of all frames.
void waitForFrames(Desktop& d, const WindowProfile& profile)
{
    xcb_connection_t* c = d.backend->connection()->get();
    std::vector<xcb_get_geometry_cookie_t> cookies(d.applyFrames.size());
    for (;;) {
        QCoreApplication::processEvents();
        for (std::size_t i = 0; i < d.applyFrames.size(); ++i)
            cookies[i] = xcb_get_geometry(c, d.applyFrames[i]);
        bool all = true;
        for (std::size_t i = 0; i < cookies.size(); ++i) {
            XcbPtr<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, cookies[i], nullptr));
            const WindowFrame& f = profile.snapshots[qsizetype(i)].frame;
            all = all && g && g->x == f.x && g->y == f.y && g->width == f.width &&
                  g->height == f.height;
        }
        d.backend->connection()->dispatchPendingEvents();
        if (all)
            return;
    }
}

// Time in apply() itself (scan, matching, requests sent), without the wait for
// the window manager: what Tavelor adds.
void reportInApply(benchmark::State& state, std::chrono::steady_clock::duration inApply)
{
    state.counters["in_apply_ms"] = benchmark::Counter(
        std::chrono::duration<double, std::milli>(inApply).count() / double(state.iterations()));
}

void BM_ApplyTavelor(benchmark::State& state)
{
    Desktop& d = applyDesktop();
    WindowRestorer restorer(d.backend->windowSource());
    std::chrono::steady_clock::duration inApply{};
    for (auto _ : state) {
        const WindowProfile& profile = d.profiles[std::size_t(d.next++ % 2)];
        const auto start = std::chrono::steady_clock::now();
        const WindowRestorer::ApplyResult result = restorer.apply(profile);
        inApply += std::chrono::steady_clock::now() - start;
        if (result.appliedCount != kApplyWindows)
            state.SkipWithError("not every window was paired");
        waitForFrames(d, profile);
    }
    reportInApply(state, inApply);
}

void BM_ApplyWmctrlPerWindow(benchmark::State& state)
{
    Desktop& d = applyDesktop();
    // openbox's extents of these windows: 1, 1, 20, 5.
    for (auto _ : state) {
        const WindowProfile& profile = d.profiles[std::size_t(d.next++ % 2)];
        for (int i = 0; i < kApplyWindows; ++i) {
            const WindowFrame& f = profile.snapshots[i].frame;
            char id[32];
            char geometry[96];
            std::snprintf(id, sizeof id, "0x%x", d.applyFixture->windows()[std::size_t(i)]);
            std::snprintf(geometry, sizeof geometry, "0,%d,%d,%d,%d", int(f.x), int(f.y),
                          int(f.width) - 2, int(f.height) - 25);
            char wmctrlName[] = "wmctrl";
            char flagI[] = "-i";
            char flagR[] = "-r";
            char flagE[] = "-e";
            char* argv[] = {wmctrlName, flagI, flagR, id, flagE, geometry, nullptr};
            pid_t pid = 0;
            if (posix_spawnp(&pid, "wmctrl", nullptr, nullptr, argv, environ) != 0) {
                state.SkipWithError("wmctrl cannot be started");
                return;
            }
            int status = 0;
            waitpid(pid, &status, 0);
        }
        waitForFrames(d, profile);
    }
}

// The apply windows from the bottom of the stacking order up.
std::vector<xcb_window_t> stackedApplyWindows(Desktop& d)
{
    X11Connection& connection = *d.backend->connection();
    xcb_connection_t* c = connection.get();
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, connection.root(), connection.atom("_NET_CLIENT_LIST_STACKING"),
                         XCB_ATOM_WINDOW, 0, 4096),
        nullptr));
    const std::vector<xcb_window_t>& ours = d.applyFixture->windows();
    std::vector<xcb_window_t> order;
    const auto* data =
        reply ? static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get())) : nullptr;
    for (int i = 0; reply && i < xcb_get_property_value_length(reply.get()) / 4; ++i) {
        if (std::find(ours.begin(), ours.end(), data[i]) != ours.end())
            order.push_back(data[i]);
    }
    return order;
}

void BM_ApplyTavelorWithState(benchmark::State& state)
{
    Desktop& d = applyDesktop();
    std::array<WindowProfile, 2> profiles = d.profiles;
    std::array<std::vector<xcb_window_t>, 2> expected;
    const std::vector<xcb_window_t>& windows = d.applyFixture->windows();
    for (std::size_t p = 0; p < 2; ++p) {
        for (int i = 0; i < kApplyWindows; ++i) {
            const int position = p == 0 ? i : kApplyWindows - 1 - i;
            WindowState saved;
            saved.desktop = 0;
            saved.stackPosition = position;
            profiles[p].snapshots[i].state = saved;
        }
        expected[p] = windows;
        if (p == 1)
            std::reverse(expected[p].begin(), expected[p].end());
    }
    WindowRestorer restorer(d.backend->windowSource());
    std::chrono::steady_clock::duration inApply{};
    for (auto _ : state) {
        const std::size_t p = std::size_t(d.next++ % 2);
        const auto start = std::chrono::steady_clock::now();
        const WindowRestorer::ApplyResult result = restorer.apply(profiles[p]);
        inApply += std::chrono::steady_clock::now() - start;
        if (result.appliedCount != kApplyWindows)
            state.SkipWithError("not every window was paired");
        waitForFrames(d, profiles[p]);
        while (stackedApplyWindows(d) != expected[p])
            QCoreApplication::processEvents();
    }
    reportInApply(state, inApply);
}

// The monitors read that each apply makes for the off-screen mend (two round trips),
// to set against an apply.
void BM_CurrentSetup(benchmark::State& state)
{
    platform::Displays& displays = desktop().backend->displays();
    for (auto _ : state)
        benchmark::DoNotOptimize(displays.currentSetup());
}

BENCHMARK(BM_ScanTavelor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScanOneRequestAtATime)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScanBarePipelined)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ApplyTavelor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ApplyTavelorWithState)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ApplyWmctrlPerWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CurrentSetup)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace tavelor::x11

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
