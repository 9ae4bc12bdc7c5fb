// SPDX-License-Identifier: MIT
#include <veltrane/graphics/TerminalSession.h>

#include <curses.h>
#include <term.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vl {

namespace {

const int FATAL_SIGNALS[] = {SIGHUP, SIGINT, SIGTERM, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
const size_t SIGNAL_COUNT = sizeof(FATAL_SIGNALS) / sizeof(FATAL_SIGNALS[0]);

// What the signal handlers need, kept where an async handler may read it without locks or allocation.
char g_reset[1024];
volatile size_t g_reset_length = 0;
char g_extra[128];
size_t g_extra_length = 0;
struct termios g_modes;
volatile bool g_have_modes = false;
struct sigaction g_previous[SIGNAL_COUNT];
struct sigaction g_previous_continue;
volatile sig_atomic_t g_continued = 0;  //!< resumed after a stop: the screen was repainted without us

SCREEN* g_p_screen = nullptr;
TerminalSession* g_p_current = nullptr;
int g_saved_stderr = -1;

void writeAll(const char* p_bytes, size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, p_bytes, length);
        if (written <= 0) {
            return;  // a hung-up terminal takes nothing more
        }
        p_bytes += written;
        length -= static_cast<size_t>(written);
    }
}

// Gives the terminal back with async-signal-safe calls only, then dies of the signal as if never caught.
void restoreAndDie(int signal_number) {
    writeAll(g_reset, g_reset_length);
    if (g_have_modes) {
        tcsetattr(STDIN_FILENO, TCSANOW, &g_modes);
    }
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void noteContinued(int) {
    g_continued = 1;
}

void installHandlers() {
    struct sigaction action {};
    action.sa_handler = restoreAndDie;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < SIGNAL_COUNT; i++) {
        sigaction(FATAL_SIGNALS[i], &action, &g_previous[i]);
    }
    action.sa_handler = noteContinued;
    action.sa_flags = SA_RESTART;
    sigaction(SIGCONT, &action, &g_previous_continue);
}

void removeHandlers() {
    for (size_t i = 0; i < SIGNAL_COUNT; i++) {
        sigaction(FATAL_SIGNALS[i], &g_previous[i], nullptr);
    }
    sigaction(SIGCONT, &g_previous_continue, nullptr);
}

void append(std::string& text, const char* p_capability) {
    if (p_capability != nullptr && p_capability != reinterpret_cast<char*>(-1)) {
        text += p_capability;
    }
}

bool entryExists(const char* p_name, bool* p_rgb) {
    int error = 0;
    if (setupterm(p_name, STDOUT_FILENO, &error) != OK) {
        return false;
    }
    if (p_rgb != nullptr) {
        *p_rgb =
            tigetflag(const_cast<char*>("RGB")) > 0 || tigetnum(const_cast<char*>("colors")) >= 0x1000000;
    }
    del_curterm(cur_term);
    return true;
}

// The terminal's own entry, or its direct-colour sibling when the terminal says it takes 24-bit colour
// but its entry does not.
std::string chooseEntry(const std::string& term) {
    bool rgb = false;
    if (!entryExists(term.c_str(), &rgb) || rgb) {
        return term;
    }
    const char* p_colorterm = std::getenv("COLORTERM");
    if (p_colorterm == nullptr ||
        (std::strcmp(p_colorterm, "truecolor") != 0 && std::strcmp(p_colorterm, "24bit") != 0)) {
        return term;
    }
    const std::string direct = term.substr(0, term.find('-')) + "-direct";
    return entryExists(direct.c_str(), nullptr) ? direct : term;
}

// Library complaints would land on the picture: they go nowhere while the terminal is drawn.
void silenceStderr() {
    if (!isatty(STDERR_FILENO)) {
        return;
    }
    const int null_fd = ::open("/dev/null", O_WRONLY);
    if (null_fd < 0) {
        return;
    }
    g_saved_stderr = dup(STDERR_FILENO);
    dup2(null_fd, STDERR_FILENO);
    ::close(null_fd);
}

void restoreStderr() {
    if (g_saved_stderr < 0) {
        return;
    }
    dup2(g_saved_stderr, STDERR_FILENO);
    ::close(g_saved_stderr);
    g_saved_stderr = -1;
}

}  // namespace

TerminalSession* TerminalSession::current() {
    return g_p_current;
}

TerminalSession::TerminalSession() : m_open(false), m_columns(0), m_rows(0), m_pauses(0) {}

TerminalSession::~TerminalSession() {
    close();
}

int TerminalSession::open(std::string& reason) {
    if (m_open) {
        return 0;
    }
    if (!isatty(STDOUT_FILENO) || !isatty(STDIN_FILENO)) {
        reason = "standard input and output must be a terminal";
        return -1;
    }
    const char* p_term = std::getenv("TERM");
    if (p_term == nullptr || p_term[0] == '\0' || std::strcmp(p_term, "dumb") == 0) {
        reason = "TERM is unset or 'dumb': the terminal cannot place characters";
        return -1;
    }
    const std::string entry = chooseEntry(p_term);
    if (!entryExists(entry.c_str(), nullptr)) {
        reason = "the terminal database has no entry for TERM '" + entry + "'";
        return -1;
    }
    g_have_modes = tcgetattr(STDIN_FILENO, &g_modes) == 0;
    installHandlers();
    g_p_screen = newterm(entry.c_str(), stdout, stdin);
    if (g_p_screen == nullptr) {
        removeHandlers();
        reason = "the terminal cannot be set up for TERM '" + entry + "'";
        return -1;
    }
    cbreak();  // interrupt keys still raise their signals, whose handlers give the terminal back
    noecho();
    nonl();
    intrflush(stdscr, FALSE);
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    typeahead(-1);  // else an update stops to look for typed keys, writing what it has so far each time
    set_escdelay(25);
    curs_set(0);
    if (has_colors()) {
        start_color();
    }
    mouseinterval(0);
    mousemask(ALL_MOUSE_EVENTS | REPORT_MOUSE_POSITION, nullptr);
    silenceStderr();
    m_open = true;
    g_p_current = this;
    buildReset();
    refreshSize();
    refresh();  // clears the screen and switches on the keypad and mouse reports
    return 0;
}

void TerminalSession::buildReset() {
    std::string reset(g_extra, g_extra_length);
    const char* p_mouse = tigetstr(const_cast<char*>("XM"));
    if (p_mouse != nullptr && p_mouse != reinterpret_cast<char*>(-1)) {
        append(reset, tiparm(p_mouse, 0));
    } else if (key_mouse != nullptr) {
        reset += "\033[?1000l";  // the library's own default when the entry names no mouse switch
    }
    append(reset, exit_attribute_mode);
    append(reset, cursor_normal);
    append(reset, keypad_local);
    append(reset, exit_ca_mode);
    g_reset_length = 0;
    std::memcpy(g_reset, reset.data(), std::min(reset.size(), sizeof(g_reset)));
    g_reset_length = std::min(reset.size(), sizeof(g_reset));
}

void TerminalSession::close() {
    if (!m_open) {
        return;
    }
    writeAll(g_extra, g_extra_length);
    g_extra_length = 0;
    endwin();
    delscreen(g_p_screen);
    g_p_screen = nullptr;
    restoreStderr();
    if (g_have_modes) {
        tcsetattr(STDIN_FILENO, TCSANOW, &g_modes);
    }
    removeHandlers();
    g_reset_length = 0;
    g_have_modes = false;
    g_p_current = nullptr;
    m_open = false;
}

bool TerminalSession::isOpen() const {
    return m_open;
}

bool TerminalSession::refreshSize() {
    const bool continued = g_continued != 0;
    g_continued = 0;
    struct winsize size {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        return continued;
    }
    if (size.ws_col == m_columns && size.ws_row == m_rows) {
        return continued;
    }
    m_columns = size.ws_col;
    m_rows = size.ws_row;
    resize_term(m_rows, m_columns);
    refresh();  // the library's own picture is blank again, so reading keys never repaints over ours
    return true;
}

int TerminalSession::getColumns() const {
    return m_columns;
}

int TerminalSession::getRows() const {
    return m_rows;
}

void TerminalSession::writeRaw(const std::string& bytes) const {
    if (m_open) {
        writeAll(bytes.data(), bytes.size());
    }
}

void TerminalSession::setExtraReset(const std::string& bytes) {
    g_extra_length = std::min(bytes.size(), sizeof(g_extra));
    std::memcpy(g_extra, bytes.data(), g_extra_length);
    if (m_open) {
        buildReset();
    }
}

void TerminalSession::notePause() {
    m_pauses++;
}

int TerminalSession::getPauseCount() const {
    return m_pauses;
}

}  // namespace vl
