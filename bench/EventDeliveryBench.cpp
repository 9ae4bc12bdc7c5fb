// SPDX-License-Identifier: MIT
// Cost of delivering step events and of one empty game loop iteration.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <veltrane/core/Config.h>
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/world/Object.h>

namespace {

class Counter : public vl::Object {
public:
    Counter() {
        if (registerInterest(vl::STEP_EVENT) != 0) {
            std::abort();  // a counter that hears no steps would measure nothing
        }
    }
    int eventHandler(const vl::Event*) override {
        count++;
        return 1;
    }
    long count = 0;
};

// Ends each run of the loop after a fixed number of iterations.
class Stopper : public vl::Object {
public:
    explicit Stopper(int iterations) : m_iterations(iterations), m_left(iterations) {
        if (registerInterest(vl::STEP_EVENT) != 0) {
            std::abort();  // the loop would never end
        }
    }
    int eventHandler(const vl::Event*) override {
        if (--m_left <= 0) {
            vl::GameManager::getInstance().setGameOver();
            m_left = m_iterations;
        }
        return 1;
    }

private:
    int m_iterations;
    int m_left;
};

void stepDelivery(benchmark::State& state) {
    std::vector<std::unique_ptr<Counter>> objects;
    for (int i = 0; i < state.range(0); i++) {
        objects.push_back(std::make_unique<Counter>());
    }
    const vl::GameManager& game = vl::GameManager::getInstance();
    const vl::EventStep step(0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(game.onEvent(&step));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["ns_per_object"] =
        benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(stepDelivery)->Arg(1)->Arg(100)->Arg(10000);

void emptyLoopIteration(benchmark::State& state) {
    const int iterations_per_run = 1000;
    // One for the whole program (the benchmark body runs several times); the world deletes it.
    static Stopper* const p_stopper = new Stopper(iterations_per_run);
    (void)p_stopper;
    for (auto _ : state) {
        vl::GameManager::getInstance().run();
    }
    state.SetItemsProcessed(state.iterations() * iterations_per_run);
    state.counters["ns_per_iteration"] =
        benchmark::Counter(static_cast<double>(state.iterations() * iterations_per_run),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(emptyLoopIteration);

}  // namespace

int main(int argc, char** argv) {
    const std::string config = "/tmp/vl-bench-config.txt";
    FILE* p_f = std::fopen(config.c_str(), "w");
    if (p_f != nullptr) {
        std::fputs("headless:true,networking:false,frame_time:0,", p_f);
        std::fclose(p_f);
    }
    setenv("VELTRANE_CONFIG", config.c_str(), 1);
    setenv("VELTRANE_LOG", "/tmp/vl-bench.log", 1);
    if (vl::GameManager::getInstance().startUp() != 0) {
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    vl::GameManager::getInstance().shutDown();
    return 0;
}
