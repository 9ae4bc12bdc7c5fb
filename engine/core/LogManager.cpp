// SPDX-License-Identifier: MIT
#include <veltrane/core/LogManager.h>

#include <cstdlib>
#include <string>

#include <veltrane/core/Config.h>
#include <veltrane/core/LoopState.h>
#include <veltrane/core/Utility.h>
#include <veltrane/platform/Platform.h>

namespace vl {

namespace {

// The environment wins over the configuration, so any run can be traced without editing files.
int wantedLogLevel() {
    const char* p_env = std::getenv("VELTRANE_LOG_LEVEL");
    if (p_env != nullptr && *p_env != '\0') {
        return leadingInteger(p_env);
    }
    return Config::getInstance().getLogLevel();
}

}  // namespace

LogManager::LogManager()
    : m_do_flush(false), m_log_level(0), m_log_time_string(true), m_log_step_count(true), m_p_f(nullptr),
      m_echo(false), m_holding(false) {
    setType("LogManager");
}

LogManager::~LogManager() {
    if (m_p_f != nullptr) {
        std::fclose(m_p_f);
        m_p_f = nullptr;
    }
}

LogManager& LogManager::getInstance() {
    static LogManager instance;
    return instance;
}

int LogManager::startUp() {
    if (refuseIfStarted()) {
        return -1;
    }
    const char* p_env = std::getenv("VELTRANE_LOG");
    const std::string name = p_env != nullptr ? p_env : Config::getInstance().getLogfile();
    m_p_f = std::fopen(name.c_str(), "w");
    if (m_p_f == nullptr) {
        m_holding = false;
        m_held.clear();
        writeLog("LogManager::startup(): Warning! Unable to open file '%s'.", name.c_str());
        return -1;
    }
    writeHeld();
    m_log_level = wantedLogLevel();
    m_echo = platform::isTerminal(2);
    m_echoed.clear();
    if (Manager::startUp() != 0) {
        return -1;
    }
    writeLog(5, "LogManager::startUp(): successfully started.");
    return 0;
}

void LogManager::shutDown() {
    Manager::shutDown();
    writeLog(5, "LogManager::shutDown(): successfully stopped.");
    if (m_p_f != nullptr) {
        std::fclose(m_p_f);
        m_p_f = nullptr;
    }
    // Traces raised for the run stay in its file; standard error gets only the always-written lines.
    m_log_level = 0;
}

void LogManager::holdUntilOpen() {
    m_holding = true;
    m_held.clear();
}

void LogManager::writeHeld() {
    for (const std::string& line : m_held) {
        std::fputs(line.c_str(), m_p_f);
    }
    m_held.clear();
    m_holding = false;
}

void LogManager::setFlush(bool do_flush) {
    m_do_flush = do_flush;
    // Lines written so far would otherwise wait in the buffer for the next line, which may never come.
    if (m_do_flush && m_p_f != nullptr) {
        std::fflush(m_p_f);
    }
}

void LogManager::flush() const {
    if (m_p_f != nullptr) {
        std::fflush(m_p_f);
    }
}

int LogManager::getLogLevel() const {
    return m_log_level;
}

int LogManager::writeLog(int log_level, const char* fmt, ...) const {
    va_list args;
    va_start(args, fmt);
    const int result = writeLine(log_level, fmt, args);
    va_end(args);
    return result;
}

int LogManager::writeLog(const char* fmt, ...) const {
    va_list args;
    va_start(args, fmt);
    if (m_echo && m_p_f != nullptr) {
        va_list copy;
        va_copy(copy, args);
        echoToTerminal(fmt, copy);
        va_end(copy);
    }
    const int result = writeLine(m_log_level, fmt, args);
    va_end(args);
    return result;
}

int LogManager::writeLogAndStderr(const char* fmt, ...) const {
    va_list args;
    va_start(args, fmt);
    char message[1024];
    va_list copy;
    va_copy(copy, args);
    const bool formatted = std::vsnprintf(message, sizeof message, fmt, copy) >= 0;
    va_end(copy);
    // Without a file the line itself goes to standard error; a terminal that was shown it keeps one copy.
    if (formatted && m_p_f != nullptr && m_echoed.insert(message).second) {
        std::fprintf(stderr, "Veltrane: %s\n", message);
    }
    const int result = writeLine(m_log_level, fmt, args);
    va_end(args);
    return result;
}

void LogManager::echoToTerminal(const char* fmt, va_list args) const {
    char message[1024];
    if (std::vsnprintf(message, sizeof message, fmt, args) < 0) {
        return;
    }
    const std::string text = message;
    if (text.find("Error") == std::string::npos && text.find("Warning") == std::string::npos) {
        return;
    }
    // A message repeated every frame would bury the terminal.
    if (m_echoed.insert(text).second) {
        std::fprintf(stderr, "Veltrane: %s\n", message);
    }
}

void LogManager::hold(const char* fmt, va_list args) const {
    char prefix[64] = "";
    if (m_log_time_string) {
        std::snprintf(prefix, sizeof prefix, "%s ", getTimeString());
    }
    std::string line = prefix;
    if (m_log_step_count) {
        std::snprintf(prefix, sizeof prefix, "%4d ", LoopState::getInstance().getStepCount());
        line += prefix;
    }
    char message[1024];
    if (std::vsnprintf(message, sizeof message, fmt, args) >= 0) {
        m_held.push_back(line + message + "\n");
    }
}

int LogManager::writeLine(int log_level, const char* fmt, va_list args) const {
    if (log_level > m_log_level) {
        return 0;
    }
    FILE* p_out = m_p_f != nullptr ? m_p_f : stderr;
    if (m_p_f == nullptr && m_holding) {
        va_list copy;
        va_copy(copy, args);
        hold(fmt, copy);
        va_end(copy);
    }
    bool failed = false;
    if (m_log_time_string && std::fprintf(p_out, "%s ", getTimeString()) < 0) {
        failed = true;
    }
    if (m_log_step_count && std::fprintf(p_out, "%4d ", LoopState::getInstance().getStepCount()) < 0) {
        failed = true;
    }
    const int count = std::vfprintf(p_out, fmt, args);
    if (count < 0) {
        failed = true;
    }
    if (std::fputc('\n', p_out) == EOF) {
        failed = true;
    }
    if (m_do_flush) {
        std::fflush(p_out);
    }
    return failed ? -1 : count;
}

}  // namespace vl
