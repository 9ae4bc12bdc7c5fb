// SPDX-License-Identifier: MIT
// The operating-system services the engine uses, in one place: clock, sleep, timer resolution,
// TCP sockets, the text of system errors and where the running program is.
#ifndef VL_PLATFORM_H
#define VL_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace vl {
namespace platform {

const int TIMERR_NOCANDO = 97;  ///< a timer-resolution request that cannot be met

int64_t monotonicMicroseconds();          ///< never jumps back; millisecond resolution is enough
void sleepMilliseconds(int ms);           ///< resumes with the remaining time after a signal
int timeBeginPeriod(int ms);              ///< 0; Linux sleeps at sub-millisecond resolution already
int timeEndPeriod(int ms);                ///< 0
std::string errorText(int error_number);  ///< the system's text for an errno value
bool isTerminal(int fd);                  ///< the descriptor is a terminal (1: standard output)
std::string executablePath();             ///< the running program's absolute path, "" when unknown
/// Sends standard error to a temporary file, so a library's own complaints can be kept out of the
/// terminal; returns a token for endStderrCapture, or -1 (nothing changed) when it cannot.
[[nodiscard]] int beginStderrCapture();
std::string endStderrCapture(int token);  ///< restores standard error; the text written meanwhile

/// TCP sockets. Each returns -1 on failure and leaves the cause in lastError().
int lastError();                          ///< the error number of the last failed call
bool isWouldBlock(int error_number);      ///< nothing to do now on a non-blocking socket
bool isConnectionGone(int error_number);  ///< the peer or the descriptor is gone for good
/// A non-blocking listening socket with address reuse on address (dotted IPv4) and port (0 picks one).
[[nodiscard]] int socketListen(const std::string& address, int port, int backlog);
[[nodiscard]] int socketLocalPort(int sock);      ///< the port a socket is bound to, or -1
[[nodiscard]] int socketAccept(int listen_sock);  ///< a new non-blocking connected socket; never waits
[[nodiscard]] int socketConnect(const std::string& address, int port);  ///< a blocking client connection
[[nodiscard]] int socketSetNonBlocking(int sock);                       ///< 0 or -1
/// Sends without raising SIGPIPE at a vanished peer; the count of bytes taken, or -1.
[[nodiscard]] long socketSend(int sock, const void* p_data, size_t bytes);
[[nodiscard]] long socketReceive(int sock, void* p_buffer,
                                 size_t bytes);  ///< bytes read, 0 at the peer's end, -1
int socketClose(int sock);                       ///< 0 or -1; the descriptor is released either way

}  // namespace platform
}  // namespace vl

#endif
