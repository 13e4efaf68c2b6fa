// Pointer moves through X11EventSink into an X server: moves per second with one XFlush per
// batch of N moves, and the cost of one move. Uses $DISPLAY, or an Xvfb of its own when unset.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchXvfb.h"
#include "platform/linux/X11EventSink.h"

namespace {

// N moves along a diagonal, then one flush; counters report moves per second.
void pointerMoves(benchmark::State& state) {
    velora::linux_::X11EventSink sink(nullptr);
    if (!sink.trusted()) {
        state.SkipWithError("no X display with XTEST");
        return;
    }
    const int batch = static_cast<int>(state.range(0));
    int step = 0;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i, ++step) {
            const double position = step % 700;
            sink.mouseMove({position, position}, std::nullopt);
        }
        sink.flush();
    }
    // A round trip inside the timing: the server has handled every move when the clock stops.
    sink.pointerLocation();
    const double moves = static_cast<double>(state.iterations()) * batch;
    state.counters["moves/s"] = benchmark::Counter(moves, benchmark::Counter::kIsRate);
    state.counters["per move"] =
        benchmark::Counter(moves, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(pointerMoves)->Arg(1)->Arg(8)->Arg(64)->Arg(512)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    pid_t xvfb = 0;
    if (std::getenv("DISPLAY") == nullptr && (xvfb = bench::startXvfb()) == 0) {
        fprintf(stderr, "no DISPLAY and Xvfb could not be started\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::stopXvfb(xvfb);
    return 0;
}
