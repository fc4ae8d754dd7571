// Time per frame of the engine core with default settings, next to a plain memcpy of one frame
// of the same size, and the ratio of the two.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "RainCore.h"

namespace {

veskar::RainCore* MakeCore(int width, int height) {
    auto* core = new veskar::RainCore();
    veskar::Settings settings = veskar::DefaultSettings();
    core->SetSettings(settings);
    int cw, ch;
    veskar::CellSizeFor(settings.glyphHeight, cw, ch);
    veskar::GlyphAtlas atlas;
    veskar::BuildBuiltinAtlas(atlas, settings.glyphSet, cw, ch);
    core->SetAtlas(std::move(atlas));
    std::vector<veskar::Pixel> image(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<veskar::Pixel>(i * 2654435761u);
    core->SetImage(image.data(), width, height);
    core->Resize(width, height);
    for (int i = 0; i < 200; ++i)
        core->Step(); // reach the steady state
    return core;
}

void Frame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    veskar::RainCore* core = MakeCore(width, height);
    long dirty = 0;
    for (auto _ : state) {
        core->Step();
        dirty += core->DirtyCellsLastFrame();
        benchmark::DoNotOptimize(core->Frame());
    }
    state.counters["dirty_cells"] =
        benchmark::Counter(static_cast<double>(dirty), benchmark::Counter::kAvgIterations);
    delete core;
}

void FrameCopy(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0)) * state.range(1) * 4;
    std::vector<char> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

// Medians of several repetitions: a two-core machine shared with other work is noisy.
BENCHMARK(Frame)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(FrameCopy)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// Prints the usual table, then frame time over copy time for each size.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            times_[name] = run.GetAdjustedRealTime();
        }
    }
    void PrintRatios() const {
        for (const char* size : {"1920/1080", "3840/2160"}) {
            auto frame = times_.find(std::string("Frame/") + size + "/repeats:7_median");
            auto copy = times_.find(std::string("FrameCopy/") + size + "/repeats:7_median");
            if (frame == times_.end() || copy == times_.end()) continue;
            std::printf("median frame %.0f us, memcpy %.0f us, ratio frame/memcpy at %s: %.2f\n",
                        frame->second, copy->second, size, frame->second / copy->second);
        }
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
