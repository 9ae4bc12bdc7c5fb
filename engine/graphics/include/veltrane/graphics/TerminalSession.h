// SPDX-License-Identifier: MIT
#ifndef VL_TERMINAL_SESSION_H
#define VL_TERMINAL_SESSION_H

#include <string>

namespace vl {

/// The terminal the program runs in, taken over for full-screen drawing and key reading, and always given
/// back: on close, and from the handlers of hang-up, interrupt, termination and crash signals.
class TerminalSession {
public:
    /// The open session, or null; the display opens it, the input reads keys from it.
    [[nodiscard]] static TerminalSession* current();

    TerminalSession();
    ~TerminalSession();  ///< closes
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    /// Takes over the terminal: 0, or -1 with why in reason (no terminal, TERM unset or dumb, no entry in
    /// the terminal database).
    [[nodiscard]] int open(std::string& reason);
    void close();         ///< the terminal back in the modes it was found in
    bool isOpen() const;  ///< taken over and not yet given back

    /// Re-reads the terminal's size; true when it changed since the last call, or the program was stopped
    /// and continued (the screen was repainted meanwhile).
    bool refreshSize();
    int getColumns() const;  ///< the terminal's width in cells, as last read
    int getRows() const;     ///< the terminal's height in cells, as last read

    /// Bytes sent straight to the open terminal (a protocol request the database has no capability for).
    void writeRaw(const std::string& bytes) const;
    /// Bytes the terminal also needs on the way out (undoing such a request), before the usual reset.
    void setExtraReset(const std::string& bytes);

    /// The game waited for a larger terminal: keys typed meanwhile are dropped and the lost time is no lag.
    void notePause();
    int getPauseCount() const;  ///< pauses so far, to compare with a count seen before

private:
    void buildReset();

    bool m_open;
    int m_columns;
    int m_rows;
    int m_pauses;
};

}  // namespace vl

#endif
