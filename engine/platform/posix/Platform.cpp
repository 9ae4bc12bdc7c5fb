// SPDX-License-Identifier: MIT
#include <veltrane/platform/Platform.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace vl {
namespace platform {

int64_t monotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void sleepMilliseconds(int ms) {
    if (ms <= 0) {
        return;
    }
    timespec request{};
    request.tv_sec = ms / 1000;
    request.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    timespec remaining{};
    while (nanosleep(&request, &remaining) != 0 && errno == EINTR) {
        request = remaining;
    }
}

int timeBeginPeriod(int) {
    return 0;
}

int timeEndPeriod(int) {
    return 0;
}

namespace {

// The GNU variant of strerror_r may return a static string instead of filling the buffer; the one of other
// C libraries (the browser build's) fills it and returns 0.
[[maybe_unused]] const char* errorTextOf(const char* p_text, const char*) {
    return p_text;
}

[[maybe_unused]] const char* errorTextOf(int result, const char* p_buffer) {
    return result == 0 ? p_buffer : nullptr;
}

}  // namespace

std::string errorText(int error_number) {
    char buffer[256];
    const char* p_text = errorTextOf(strerror_r(error_number, buffer, sizeof(buffer)), buffer);
    return p_text != nullptr ? p_text : "Unknown error";
}

bool isTerminal(int fd) {
    return isatty(fd) == 1;
}

// The kernel names the program's file, links resolved, so an install moved elsewhere still finds itself.
std::string executablePath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", &path[0], path.size());
        if (length < 0) {
            return "";
        }
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

namespace {

FILE* s_p_capture = nullptr;  // where standard error goes during a capture

}  // namespace

int beginStderrCapture() {
    if (s_p_capture != nullptr) {
        return -1;
    }
    std::fflush(stderr);
    s_p_capture = std::tmpfile();
    if (s_p_capture == nullptr) {
        return -1;
    }
    const int saved = dup(2);
    if (saved < 0 || dup2(fileno(s_p_capture), 2) < 0) {
        if (saved >= 0) {
            close(saved);
        }
        std::fclose(s_p_capture);
        s_p_capture = nullptr;
        return -1;
    }
    return saved;
}

std::string endStderrCapture(int token) {
    if (token < 0 || s_p_capture == nullptr) {
        return "";
    }
    std::fflush(stderr);
    dup2(token, 2);
    close(token);
    std::string text;
    std::rewind(s_p_capture);
    char buffer[512];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, s_p_capture)) > 0) {
        text.append(buffer, count);
    }
    std::fclose(s_p_capture);
    s_p_capture = nullptr;
    return text;
}

int lastError() {
    return errno;
}

bool isWouldBlock(int error_number) {
    return error_number == EAGAIN || error_number == EWOULDBLOCK;
}

bool isConnectionGone(int error_number) {
    return error_number == ENOTCONN || error_number == EBADF || error_number == EPIPE ||
           error_number == ECONNRESET || error_number == ECONNABORTED;
}

namespace {

bool toAddress(const std::string& address, int port, sockaddr_in& out) {
    if (port < 0 || port > 65535) {
        errno = EINVAL;
        return false;
    }
    std::memset(&out, 0, sizeof(out));
    out.sin_family = AF_INET;
    out.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &out.sin_addr) != 1) {
        errno = EINVAL;
        return false;
    }
    return true;
}

// Closes sock without letting close() overwrite the error that made us give up.
int failAndClose(int sock) {
    const int saved = errno;
    ::close(sock);
    errno = saved;
    return -1;
}

}  // namespace

int socketListen(const std::string& address, int port, int backlog) {
    sockaddr_in where{};
    if (!toAddress(address, port, where)) {
        return -1;
    }
    const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0) {
        return -1;
    }
    const int on = 1;
    if (::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) != 0) {
        return failAndClose(sock);
    }
    if (::bind(sock, reinterpret_cast<const sockaddr*>(&where), sizeof(where)) != 0) {
        return failAndClose(sock);
    }
    if (::listen(sock, backlog) != 0 || socketSetNonBlocking(sock) != 0) {
        return failAndClose(sock);
    }
    return sock;
}

int socketLocalPort(int sock) {
    sockaddr_in where{};
    socklen_t length = sizeof(where);
    if (::getsockname(sock, reinterpret_cast<sockaddr*>(&where), &length) != 0 ||
        where.sin_family != AF_INET) {
        return -1;
    }
    return ntohs(where.sin_port);
}

int socketAccept(int listen_sock) {
    return ::accept4(listen_sock, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

int socketConnect(const std::string& address, int port) {
    sockaddr_in where{};
    if (!toAddress(address, port, where)) {
        return -1;
    }
    const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0) {
        return -1;
    }
    int result = 0;
    do {
        result = ::connect(sock, reinterpret_cast<const sockaddr*>(&where), sizeof(where));
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        return failAndClose(sock);
    }
    return sock;
}

int socketSetNonBlocking(int sock) {
    const int flags = ::fcntl(sock, F_GETFL, 0);
    if (flags < 0 || ::fcntl(sock, F_SETFL, flags | O_NONBLOCK) != 0) {
        return -1;
    }
    return 0;
}

long socketSend(int sock, const void* p_data, size_t bytes) {
    ssize_t sent = 0;
    do {
        sent = ::send(sock, p_data, bytes, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return static_cast<long>(sent);
}

long socketReceive(int sock, void* p_buffer, size_t bytes) {
    ssize_t got = 0;
    do {
        got = ::recv(sock, p_buffer, bytes, 0);
    } while (got < 0 && errno == EINTR);
    return static_cast<long>(got);
}

// Linux releases the descriptor even when close() reports an error, so it is never retried.
int socketClose(int sock) {
    return ::close(sock);
}

}  // namespace platform
}  // namespace vl
