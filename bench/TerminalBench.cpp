// SPDX-License-Identifier: MIT
// The game drawn in a terminal (a pseudo-terminal of 80 x 24 whose other end counts the bytes) and in a
// window, in one run: bytes written and processor time per frame on the idle title screen, in level 1
// while walking, and for full redraws (every cell changes every frame).
//
//   TerminalBench [--frames N] [--terminal-only]
//
// Run it from the repository root under xvfb-run (the window half needs an X display). TERM is taken
// from the environment (xterm-256color when unset).
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "GameStart.h"
#include "LevelFiles.h"
#include "Resources.h"
#include <veltrane/core/Config.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/platform/Platform.h>

namespace {

const int TITLE_FROM = 20;  // the first frames load and draw everything once
const int LEVEL_START = 200;
const int WALK_FROM = LEVEL_START + 10;

std::atomic<long long> g_bytes{0};
int g_master = -1;  // the pseudo-terminal's other end, read without waiting; -1 for the window
int g_out = -1;     // the real standard output: the figures go there, not into the terminal being measured

struct Phase {
    const char* name;
    long long bytes = 0;
    double cpu_ms = 0;
    int frames = 0;
};

double cpuMs(bool whole_process) {
    timespec now{};
    clock_gettime(whole_process ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

void report(const char* backend, const Phase& phase) {
    const int frames = std::max(phase.frames, 1);
    char bytes[32] = "-";
    if (g_master >= 0) {
        std::snprintf(bytes, sizeof bytes, "%.1f", static_cast<double>(phase.bytes) / frames);
    }
    dprintf(g_out, "%-8s  %-18s  %6d  %15s  %10.3f ms\n", backend, phase.name, phase.frames, bytes,
            phase.cpu_ms / frames);
}

// The loop's sleeper: ends one frame's measurement; lets the counting side drain before the next.
struct Meter {
    bool whole_process;
    std::vector<Phase>* p_phases;
    int step = 0;
    double last_cpu = 0;
    long long last_bytes = 0;
    int total = 0;

    void frameDone() {
        drain();
        const double cpu = cpuMs(whole_process);
        const long long bytes = g_bytes;
        Phase* p_phase = nullptr;
        if (step >= TITLE_FROM && step < LEVEL_START) {
            p_phase = &(*p_phases)[0];
        } else if (step >= WALK_FROM) {
            p_phase = &(*p_phases)[1];
        }
        if (p_phase != nullptr) {
            p_phase->cpu_ms += cpu - last_cpu;
            p_phase->bytes += bytes - last_bytes;
            p_phase->frames++;
        }
        last_cpu = cpuMs(whole_process);
        last_bytes = g_bytes;
        if (++step >= WALK_FROM + total) {
            vl::GameManager::getInstance().setGameOver(true);
        }
    }

    // Waits until the reading side has taken everything the frame wrote.
    static void drain() {
        int waiting = 0;
        while (g_master >= 0 && ioctl(g_master, FIONREAD, &waiting) == 0 && waiting > 0) {
            vl::platform::sleepMilliseconds(1);
        }
        vl::platform::sleepMilliseconds(1);  // the last read's count is added just after it returns
    }
};

// Level 1 from the title, then the player walks right and left in turns, ten steps each way.
std::string writeReplay(int frames) {
    const std::string path = "/tmp/veltrane-terminal-bench-" + std::to_string(getpid()) + ".txt";
    std::ofstream out(path);
    out << LEVEL_START << " key hold RETURN\n";
    for (int step = WALK_FROM; step < WALK_FROM + frames; step += 20) {
        out << step << "-" << step + 9 << " key hold D\n" << step + 10 << "-" << step + 19 << " key hold A\n";
    }
    return path;
}

void fullRedraws(int frames, bool whole_process, Phase& phase) {
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    for (int frame = 0; frame < frames; frame++) {
        const long long bytes = g_bytes;
        const double start = cpuMs(whole_process);
        for (int y = 0; y < 24; y++) {
            for (int x = 0; x < 80; x++) {
                const char ch = static_cast<char>(33 + (x * 7 + y * 13 + frame) % 94);
                display.drawCharacter(vl::Vector(static_cast<float>(x), static_cast<float>(y)), ch,
                                      static_cast<vl::Color>(1 + (x + y + frame) % 7));
            }
        }
        display.swapBuffers();
        phase.cpu_ms += cpuMs(whole_process) - start;
        Meter::drain();
        phase.bytes += g_bytes - bytes;
        phase.frames++;
    }
}

// One backend, from start-up to shut-down, in a child process (the managers are process-wide).
int runBackend(bool terminal, int frames) {
    setenv("VELTRANE_CONFIG", "/dev/null", 1);
    vl::Config::getInstance().setTerminal(terminal);
    setenv("VELTRANE_LOG", "/dev/null", 1);
    setenv("VELTRANE_REPLAY", writeReplay(frames).c_str(), 1);
    vl::GameManager& game = vl::GameManager::getInstance();
    if (game.startUp() != 0) {
        dprintf(g_out, "TerminalBench: the %s backend did not start\n", terminal ? "terminal" : "window");
        return 1;
    }
    std::vector<Phase> phases{{"idle title"}, {"level 1, walking"}, {"full redraw"}};
    Meter meter{!terminal, &phases};
    meter.total = frames;
    game.setLoopTiming(vl::platform::monotonicMicroseconds, [&meter](int) { meter.frameDone(); });
    loadResources();
    LevelFiles::getInstance().load("");  // as the game does: without them no level starts
    vl::DisplayManager::getInstance().setBackgroundColor(vl::WHITE);
    new GameStart();
    game.run();
    fullRedraws(frames, !terminal, phases[2]);
    game.shutDown();
    for (const Phase& phase : phases) {
        report(terminal ? "terminal" : "window", phase);
    }
    return 0;
}

// The terminal's other end: counts every byte the game writes, and answers nothing.
int runTerminal(int frames) {
    int master = -1;
    int slave = -1;
    winsize size{};
    size.ws_col = 80;
    size.ws_row = 24;
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) {
        dprintf(g_out, "TerminalBench: no pseudo-terminal\n");
        return 1;
    }
    g_master = master;
    std::thread reader([master] {
        char buffer[65536];
        for (ssize_t n = read(master, buffer, sizeof buffer); n > 0;
             n = read(master, buffer, sizeof buffer)) {
            g_bytes += n;
        }
    });
    reader.detach();
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    if (std::getenv("TERM") == nullptr) {
        setenv("TERM", "xterm-256color", 1);
    }
    return runBackend(true, frames);
}

int inChild(bool terminal, int frames) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(terminal ? runTerminal(frames) : runBackend(false, frames));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 300;
    bool terminal_only = false;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            frames = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--terminal-only") == 0) {
            terminal_only = true;
        }
    }
    g_out = dup(STDOUT_FILENO);
    dprintf(g_out, "backend   scene               frames  bytes per frame  CPU per frame\n");
    const int terminal_status = inChild(true, frames);
    const int window_status = terminal_only ? 0 : inChild(false, frames);
    return terminal_status != 0 || window_status != 0 ? 1 : 0;
}
