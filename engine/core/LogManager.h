// SPDX-License-Identifier: MIT
// Writes the engine's and the game's diagnostic lines to one text file.
#ifndef VL_LOG_MANAGER_H
#define VL_LOG_MANAGER_H

#include <cstdarg>
#include <cstdio>

#include <veltrane/core/Manager.h>

namespace vl {

class LogManager : public Manager {
public:
    /// The one log of the program.
    static LogManager& getInstance();
    ~LogManager() override;

    int startUp() override;    // opens $VELTRANE_LOG or the configured log file, truncating it
    void shutDown() override;  // closes the file; later lines go to standard error

    // A printf-style line at a verbosity level; dropped (returns 0) above the log level.
    // Returns the message's character count, or -1 if a write failed.
    int writeLog(int log_level, const char* fmt, ...) const __attribute__((format(printf, 3, 4)));
    // A printf-style line that is always written.
    int writeLog(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));

    /// Flush the file after every line (so a crash loses nothing).
    void setFlush(bool do_flush = true);
    /// Lines above this level are not written.
    int getLogLevel() const;

private:
    LogManager();
    int writeLine(int log_level, const char* fmt, va_list args) const;

    bool m_do_flush;
    int m_log_level;
    bool m_log_time_string;
    bool m_log_step_count;
    FILE* m_p_f;
};

}  // namespace vl

#endif
