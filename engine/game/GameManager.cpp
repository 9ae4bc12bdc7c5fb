// SPDX-License-Identifier: MIT
#include <veltrane/game/GameManager.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include <veltrane/core/Config.h>
#include <veltrane/core/EventRoutes.h>
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/LoopState.h>
#include <veltrane/graphics/DisplayManager.h>
#ifndef __EMSCRIPTEN__
#include <veltrane/graphics/TerminalSession.h>
#endif
#include <veltrane/input/InputManager.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/paths/PathManager.h>
#include <veltrane/platform/Platform.h>
#ifdef __EMSCRIPTEN__
#include <veltrane/platform/Page.h>
#endif
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/WorldManager.h>

namespace vl {

namespace {

const char* const STARS = "****************************************************";

bool isStepEvent(const std::string& event_type) {
    return event_type == STEP_EVENT;
}

Manager& gameManager() {
    return GameManager::getInstance();
}

// Objects find this manager by event type, so the world need not know the game module.
[[maybe_unused]] const int ROUTE_ADDED = EventRoutes::add(isStepEvent, gameManager);

}  // namespace

GameManager::GameManager() : m_now(platform::monotonicMicroseconds), m_sleep(platform::sleepMilliseconds) {
    setType("GameManager");
}

GameManager::~GameManager() = default;

GameManager& GameManager::getInstance() {
    static GameManager instance;
    return instance;
}

bool GameManager::isValid(std::string event_type) const {
    return event_type == STEP_EVENT;
}

void GameManager::setGameOver(bool new_game_over) {
    LoopState::getInstance().setGameOver(new_game_over);
}

bool GameManager::getGameOver() const {
    return LoopState::getInstance().getGameOver();
}

int GameManager::getFrameTime() const {
    return LoopState::getInstance().getFrameTime();
}

int GameManager::getStepCount() const {
    return LoopState::getInstance().getStepCount();
}

void GameManager::setLoopTiming(Clock::TimeSource now, Sleeper sleep) {
    m_now = std::move(now);
    m_sleep = std::move(sleep);
}

int GameManager::startUp() {
    LogManager& log = LogManager::getInstance();
    if (refuseIfStarted()) {
        return -1;
    }
    Config& config = Config::getInstance();
    // Configuration warnings come before the log exists: they reach it once it is open.
    log.holdUntilOpen();
    config.loadConfig("");
    if (log.startUp() != 0) {
        log.writeLog("GameManager::startUp(): Error! Starting log manager.");
        return -1;
    }
    log.writeLog("%s", STARS);
    log.writeLog("** Veltrane version %.2f **", static_cast<double>(VELTRANE_VERSION));
    log.writeLog("** Game engine started **");
    log.writeLog("%s", STARS);
    config.printConfig();

    char cwd[256];
    log.writeLog(1, "Working directory:");
    if (getcwd(cwd, sizeof(cwd)) != nullptr) {
        log.writeLog(1, "  %s", cwd);
    } else {
        log.writeLog(1, "(full path too long)");
    }
    log.writeLog(1, "Log Manager started.");

    LoopState::getInstance().setFrameTime(config.getFrameTime());
    log.writeLog(5, "GameManager::startUp(): frame time is %d milliseconds", getFrameTime());

    if (startManagers() != 0) {
        return -1;
    }
    if (config.getHeadless() && getFrameTime() <= 0 && !InputManager::getInstance().isReplaying()) {
        log.writeLog("GameManager::startUp(): Warning! Headless, frame_time %d and no replay: the loop runs "
                     "flat out and nothing will end this run but the game itself (setGameOver()).",
                     getFrameTime());
    }

    DisplayManager& display = DisplayManager::getInstance();
    WorldManager& world = WorldManager::getInstance();
    const Box screen(Vector(0, 0), static_cast<float>(display.getHorizontalChars()),
                     static_cast<float>(display.getVerticalChars()));
    world.setBoundary(screen);
    world.setView(screen);
    world.setViewSlack(Vector(1.0f / 3.0f, 1.0f / 3.0f));

    int seed = config.getRandomSeed();
    if (seed == 0) {
        seed = static_cast<int>(static_cast<uint32_t>(std::time(nullptr)));
    }
    if (seed != -1) {
        log.writeLog(10, "GameManager()::startUp(): srand() seed with %d", seed);
        std::srand(static_cast<unsigned int>(seed));
    }

    if (platform::timeBeginPeriod(1) == platform::TIMERR_NOCANDO) {
        log.writeLog(1, "GameManager()::startUp(): Warning!  timeBeginPeriod() cannot accept 1 msec.");
    }

    setGameOver(false);
    if (Manager::startUp() != 0) {
        return -1;
    }
    log.writeLog(1, "GameManager successfully started.");
    return 0;
}

// Starts the managers in their fixed order; the first failure stops the start-up.
int GameManager::startManagers() {
    LogManager& log = LogManager::getInstance();
    struct Start {
        Manager* p_manager;  // null: left out (networking off)
        const char* failed;
        const char* started;
        const char* name;
    };
    const Start starts[] = {
        {&DisplayManager::getInstance(), "GameManager::startUp(): Error! Starting display manager.",
         "Display manager started.", "display manager"},
        {&InputManager::getInstance(), "GameManager::startUp(): Error! Starting input manager.",
         "Input manager started.", "input manager"},
        {Config::getInstance().getNetworking() ? &NetworkManager::getInstance() : nullptr,
         "GameManager::startUp(): Error! Starting network manager.", "Network manager started.",
         "network manager"},
        {&ResourceManager::getInstance(), "GameManager::startUp(): Error! Starting resource manager.",
         "Resource manager started.", "resource manager"},
        {&WorldManager::getInstance(), "GameManager::startUp(): Error starting world manager.",
         "World manager started.", "world manager"},
        {&PathManager::getInstance(), "GameManager::startUp(): Error starting path manager.",
         "Path manager started.", "path manager"},
    };
    for (const Start& start : starts) {
        if (start.p_manager == nullptr) {
            continue;
        }
        if (start.p_manager->startUp() != 0) {
            log.writeLog("%s", start.failed);
            // The start banner is already written: say plainly that the engine never ran.
            log.writeLog("GameManager::startUp(): start-up failed: the %s did not start.", start.name);
            return -1;
        }
        log.writeLog(1, "%s", start.started);
    }
    return 0;
}

namespace {

// Waiting for a larger terminal stops the loop on purpose: that time is not the loop falling behind.
int pauseCount() {
#ifdef __EMSCRIPTEN__
    return 0;  // a page has no terminal to wait for
#else
    const TerminalSession* p_session = TerminalSession::current();
    return p_session != nullptr ? p_session->getPauseCount() : 0;
#endif
}

}  // namespace

void GameManager::run() {
    LogManager& log = LogManager::getInstance();
    Clock clock(m_now);
    log.writeLog(1, "GameManager::run(): starting game loop");
    LoopState& loop = LoopState::getInstance();
    loop.setGameOver(false);
    loop.setStepCount(0);
    int64_t adjust = 0;  // microseconds overslept (or, below 0, cut off the sleep) in the previous iteration
    int pauses = pauseCount();
    while (true) {
        clock.delta();
        const int step_count = loop.getStepCount();
        const int frame_time = loop.getFrameTime();
        iterate(clock, step_count, frame_time, adjust);
        adjust = pace(clock, step_count, frame_time, adjust, pauseCount() != pauses);
        pauses = pauseCount();
        loop.setStepCount(step_count + 1);
        // Buffered lines reach the file every iteration, so the log can be followed while the game runs.
        log.flush();
        if (loop.getGameOver()) {
            log.writeLog(1, "GameManager::run(): end of game loop");
            return;
        }
    }
}

// One iteration's work, in its fixed order; path searches get what is left of the frame.
void GameManager::iterate(const Clock& clock, int step_count, int frame_time, int64_t adjust) {
    const EventStep step(step_count);
    onEvent(&step);
    DisplayManager::getInstance().swapBuffers();
    InputManager::getInstance().getInput();
    WorldManager::getInstance().update();
    WorldManager::getInstance().draw();
    if (Config::getInstance().getNetworking()) {
        NetworkManager& network = NetworkManager::getInstance();
        // A new connection reaches the game as an accept event; -2 is a failure, not an empty queue.
        if (network.isServer() && network.accept() == -2) {
            LogManager::getInstance().writeLog(
                1, "GameManager::run(): Warning! No connection accepted this step.");
        }
        if (network.isConnected(-1)) {
            network.sendDelayed();
        }
    }
    const int64_t loop_time = clock.split();
    const float budget =
        static_cast<float>(static_cast<int64_t>(frame_time) * 1000 - loop_time - adjust) * 0.95f / 1000.0f;
    // Without a frame time no frame is being kept: searches get the default frame's share, so
    // they still end (in the same iteration, for the usual worlds) instead of starving.
    const int path_budget = frame_time > 0 ? static_cast<int>(budget) : UNTIMED_PATH_BUDGET_MS;
    PathManager::getInstance().cycle(path_budget);
}

// Waits out the rest of the frame; returns the adjust for the next one.
int64_t GameManager::pace(const Clock& clock, int step_count, int frame_time, int64_t adjust, bool paused) {
    const int64_t loop_time = clock.split();
    const int64_t sleep_time = static_cast<int64_t>(frame_time) * 1000 - loop_time - adjust;
    if (sleep_time > 0) {
        const int64_t before = clock.split();
        waitOut(static_cast<int>(sleep_time / 1000));
        const int64_t after = clock.split();
        // The sleep is in whole milliseconds: the fraction cut off is carried into the next sleep
        // (a negative adjust), else a timer as exact as Linux's runs the loop up to 1 ms fast.
        return std::max(after - before - sleep_time, -(sleep_time % 1000));
    }
    if (adjust <= 0 && frame_time > 0 && step_count > 0 && !paused) {
        LogManager::getInstance().writeLog("GameManager::run(): Can't keep up! frame_time %d ms, split %d ms",
                                           frame_time, static_cast<int>(loop_time / 1000));
    }
#ifdef __EMSCRIPTEN__
    waitOut(0);  // the page gets control back every iteration, late or not
#endif
    return 0;
}

// Sleeps on the desktop; in the browser the page runs until ms have passed and one of its frames is due.
void GameManager::waitOut(int ms) {
#ifdef __EMSCRIPTEN__
    platform::waitForPage(ms);
#else
    m_sleep(ms);
#endif
}

void GameManager::shutDown() {
    LogManager& log = LogManager::getInstance();
    setGameOver(true);
    if (platform::timeEndPeriod(1) == platform::TIMERR_NOCANDO) {
        log.writeLog(1, "GameManager()::shutDown(): Warning! timeEndPeriod() cannot accept 1 msec.");
    }
    struct Stop {
        Manager* p_manager;
        const char* message;
    };
    const Stop stops[] = {
        {&PathManager::getInstance(), "Path manager stopped"},
        {&WorldManager::getInstance(), "World manager stopped"},
        {&ResourceManager::getInstance(), "Resource manager stopped"},
        {Config::getInstance().getNetworking() ? &NetworkManager::getInstance() : nullptr,
         "Network manager stopped"},
        {&InputManager::getInstance(), "Input manager stopped"},
        {&DisplayManager::getInstance(), "Display manager stopped"},
    };
    for (const Stop& stop : stops) {
        if (stop.p_manager != nullptr && stop.p_manager->isStarted()) {
            stop.p_manager->shutDown();
            log.writeLog(1, "%s", stop.message);
        }
    }
    log.writeLog("%s", STARS);
    log.writeLog("** Game engine stopped **");
    if (log.isStarted()) {
        log.shutDown();
    }
    Manager::shutDown();
}

}  // namespace vl
