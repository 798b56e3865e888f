#include "Terminal.h"

#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace tender::cli {

namespace {

termios typingMode{};
constexpr int interruptions[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

// An interruption while the echo is off gives the terminal back before the
// signal does what it would have done.
void restoreThenRaise(int signal)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &typingMode);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void setInterruptions(void (*handler)(int))
{
    for (int signal : interruptions)
        std::signal(signal, handler);
}

} // namespace

QString readSecret(const QString &prompt)
{
    const bool terminal = isatty(STDIN_FILENO);
    if (terminal) {
        std::fputs(prompt.toLocal8Bit().constData(), stderr);
        tcgetattr(STDIN_FILENO, &typingMode);
        setInterruptions(restoreThenRaise);
        termios quiet = typingMode;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &typingMode);
        setInterruptions(SIG_DFL);
        std::fputs("\n", stderr);
    }
    return QString::fromLocal8Bit(line.data(), qsizetype(line.size()));
}

} // namespace tender::cli
