// Speed of the fade against copying a result of the same size.
//
// The baseline does what FadeText must do besides computing: allocate a
// string of the result's size (which C++20 can only do by filling it) and
// write every byte once, here by copying finished markup into it. A second
// reference copy-constructs the string, the cheapest way to get those bytes
// into a new string at all. After the runs the program prints the best time
// per character of each (CPU time, the least disturbed by other load) and
// FadeText's ratio to both, for the program's two colours and for a fade
// through eight. Run a Release build.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fade/fade.h"

namespace {

constexpr lullcast::Colour kStartColour = 0x00404000;
constexpr lullcast::Colour kEndColour = 0x00FFFF00;
constexpr lullcast::Colour kEightColours[] = {0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00,
                                              0xFFFF00, 0xFF0000, 0xFF0080, 0x404000};
constexpr std::int64_t kLengths[] = {12, 1'000, 100'000};

std::string AsciiText(std::int64_t length) {
    std::string text;
    for (std::int64_t i = 0; i < length; ++i) {
        text += static_cast<char>('a' + i % 26);
    }
    return text;
}

std::string FinishedMarkup(std::int64_t length) {
    return lullcast::FadeText(kStartColour, kEndColour, AsciiText(length), false);
}

void SetPerCharacterCounter(benchmark::State& state) {
    state.counters["per_char"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FadeText(benchmark::State& state) {
    const std::string text = AsciiText(state.range(0));
    for (auto _ : state) {
        std::string markup = lullcast::FadeText(kStartColour, kEndColour, text, false);
        benchmark::DoNotOptimize(markup.data());
        benchmark::ClobberMemory();
    }
    SetPerCharacterCounter(state);
}

void BM_FadeTextEightColours(benchmark::State& state) {
    const std::string text = AsciiText(state.range(0));
    for (auto _ : state) {
        std::string markup = lullcast::FadeText(kEightColours, text, false);
        benchmark::DoNotOptimize(markup.data());
        benchmark::ClobberMemory();
    }
    SetPerCharacterCounter(state);
}

void BM_CopyBaseline(benchmark::State& state) {
    const std::string prepared = FinishedMarkup(state.range(0));
    for (auto _ : state) {
        std::string copy(prepared.size(), '\0');
        std::memcpy(copy.data(), prepared.data(), prepared.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    SetPerCharacterCounter(state);
}

void BM_CopyConstruct(benchmark::State& state) {
    const std::string prepared = FinishedMarkup(state.range(0));
    for (auto _ : state) {
        std::string copy(prepared);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    SetPerCharacterCounter(state);
}

void AddLengths(benchmark::internal::Benchmark* benchmark) {
    for (const std::int64_t length : kLengths) {
        benchmark->Arg(length);
    }
}

BENCHMARK(BM_FadeText)->Apply(AddLengths);
BENCHMARK(BM_FadeTextEightColours)->Apply(AddLengths);
BENCHMARK(BM_CopyBaseline)->Apply(AddLengths);
BENCHMARK(BM_CopyConstruct)->Apply(AddLengths);

// Prints as usual and keeps each run's best CPU time per character.
class RatioReporter final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) {
                continue;
            }
            const std::int64_t length = std::stoll(run.run_name.args);
            const double per_character = run.GetAdjustedCPUTime() / static_cast<double>(length);
            auto& times = best_[run.run_name.function_name];
            const auto [entry, added] = times.try_emplace(length, per_character);
            if (!added && per_character < entry->second) {
                entry->second = per_character;
            }
        }
    }

    void PrintRatios() const {
        const auto copy = best_.find("BM_CopyBaseline");
        const auto construct = best_.find("BM_CopyConstruct");
        if (copy == best_.end() || construct == best_.end()) {
            return;
        }
        for (const char* name : {"BM_FadeText", "BM_FadeTextEightColours"}) {
            const auto fade = best_.find(name);
            if (fade == best_.end()) {
                continue;
            }
            std::printf("\n%s: best CPU time per character (ns; time unit of the runs)\n", name);
            std::printf("%10s %10s %10s %10s %14s %14s\n", "characters", "fade", "copy",
                        "construct", "fade/copy", "fade/cons");
            for (const auto& [length, fade_time] : fade->second) {
                const auto copy_time = copy->second.find(length);
                const auto construct_time = construct->second.find(length);
                if (copy_time == copy->second.end() || construct_time == construct->second.end()) {
                    continue;
                }
                std::printf("%10lld %10.3f %10.3f %10.3f %14.2f %14.2f\n",
                            static_cast<long long>(length), fade_time, copy_time->second,
                            construct_time->second, fade_time / copy_time->second,
                            fade_time / construct_time->second);
            }
        }
    }

  private:
    // Function name -> text length -> time per character.
    std::map<std::string, std::map<std::int64_t, double>> best_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.PrintRatios();
    return 0;
}
