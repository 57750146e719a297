// Load and save of a large profiles file (1,000 profiles of 25 windows, about
// 7 MB), each against Qt's own JSON on the same document in the same run.
#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "Services/ProfileStore.hpp"
#include "TypicalProfiles.hpp"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tavelor;

struct Fixture {
    Fixture()
        : profiles(bench::makeTypicalProfiles(1000, 25)), bytes(*encodeProfiles(profiles)),
          store(folder.path() + "/Tavelor")
    {
        store.save(profiles);
        qjson = QJsonDocument::fromJson(bytes);
    }
    QList<WindowProfile> profiles;
    QByteArray bytes;
    QTemporaryDir folder;
    ProfileStore store;
    QJsonDocument qjson;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void setBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * fixture().bytes.size());
    state.counters["file_MB"] = static_cast<double>(fixture().bytes.size()) / 1e6;
}

void BM_Load_ProfileStore(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state) {
        QList<WindowProfile> loaded = f.store.load();
        if (loaded.size() != 1000)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(loaded);
    }
    setBytes(state);
}
BENCHMARK(BM_Load_ProfileStore)->Unit(benchmark::kMillisecond);

void BM_Load_DecodeOnly(benchmark::State& state)
{
    auto& f = fixture();
    const std::string text = f.bytes.toStdString();
    for (auto _ : state) {
        auto loaded = decodeProfiles(text);
        benchmark::DoNotOptimize(loaded);
    }
    setBytes(state);
}
BENCHMARK(BM_Load_DecodeOnly)->Unit(benchmark::kMillisecond);

void BM_Load_Baseline_QJsonDocumentFromJson(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state) {
        QJsonDocument doc = QJsonDocument::fromJson(f.bytes);
        if (!doc.isArray())
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(doc);
    }
    setBytes(state);
}
BENCHMARK(BM_Load_Baseline_QJsonDocumentFromJson)->Unit(benchmark::kMillisecond);

void BM_Save_ProfileStore(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state)
        f.store.save(f.profiles);
    setBytes(state);
}
BENCHMARK(BM_Save_ProfileStore)->Unit(benchmark::kMillisecond);

void BM_Save_EncodeOnly(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state) {
        auto bytes = encodeProfiles(f.profiles);
        benchmark::DoNotOptimize(bytes);
    }
    setBytes(state);
}
BENCHMARK(BM_Save_EncodeOnly)->Unit(benchmark::kMillisecond);

void BM_Save_Baseline_QJsonDocumentToJsonIndented(benchmark::State& state)
{
    auto& f = fixture();
    for (auto _ : state) {
        QByteArray bytes = f.qjson.toJson(QJsonDocument::Indented);
        benchmark::DoNotOptimize(bytes);
    }
    setBytes(state);
}
BENCHMARK(BM_Save_Baseline_QJsonDocumentToJsonIndented)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
