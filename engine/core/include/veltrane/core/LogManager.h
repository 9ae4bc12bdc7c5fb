// SPDX-License-Identifier: MIT
#ifndef VL_LOG_MANAGER_H
#define VL_LOG_MANAGER_H

#include <cstdarg>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include <veltrane/core/Manager.h>

namespace vl {

/// Writes the engine's and the game's diagnostic lines to one text file.
class LogManager : public Manager {
public:
    /// The one log of the program.
    static LogManager& getInstance();
    ~LogManager() override;

    /// Opens $VELTRANE_LOG or the configured log file, truncating it; the log level is
    /// $VELTRANE_LOG_LEVEL, else the configuration's log_level (0 by default).
    [[nodiscard]] int startUp() override;
    void shutDown() override;  ///< closes the file and returns to level 0; later lines go to standard error

    /// A printf-style line at a verbosity level; dropped (returns 0) above the log level.
    /// Returns the message's character count, or -1 if a write failed.
    int writeLog(int log_level, const char* fmt, ...) const __attribute__((format(printf, 3, 4)));
    /// A printf-style line that is always written. While standard error is a terminal, an error or
    /// warning written to the file is shown there too, once per distinct message.
    int writeLog(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
    /// An always-written line that also goes to standard error, terminal or not: for errors that
    /// stop the program.
    int writeLogAndStderr(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
    /// Lines written from now until startUp() opens the file go to standard error as before and are
    /// also written to the file once it is open, in order (diagnostics found before the log exists).
    void holdUntilOpen();

    /// Flush the file after every line (so a crash loses nothing).
    void setFlush(bool do_flush = true);
    /// Write out the buffered lines; the game loop calls it once per iteration.
    void flush() const;
    /// Lines above this level are not written.
    int getLogLevel() const;

private:
    LogManager();
    int writeLine(int log_level, const char* fmt, va_list args) const;
    void echoToTerminal(const char* fmt, va_list args) const;  ///< for an always-written line
    void hold(const char* fmt, va_list args) const;            ///< keeps a line for the file to come
    void writeHeld();                                          ///< into the file just opened

    bool m_do_flush;
    int m_log_level;
    bool m_log_time_string;
    bool m_log_step_count;
    FILE* m_p_f;
    bool m_echo;                              //!< standard error was a terminal at startUp
    mutable std::set<std::string> m_echoed;   //!< messages already shown on the terminal
    bool m_holding;                           //!< keeping lines for the file startUp() opens
    mutable std::vector<std::string> m_held;  //!< those lines, prefixes and line ends included
};

}  // namespace vl

#endif
