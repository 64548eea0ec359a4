#include "Terminal.h"

#include "cli/Usage.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace kt::cli {
namespace {

volatile std::sig_atomic_t g_cancel = 0;
struct sigaction g_previous
{
};
bool g_installed = false;
bool g_lineShowing = false;

void onInterrupt(int)
{
    g_cancel = 1;
}

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}
bool stdinIsTerminal()
{
    return ::isatty(STDIN_FILENO) == 1;
}

// One line from stdin; empty when there is none (end of input, Ctrl-C).
QString readAnswer()
{
    char buffer[64];
    if (!std::fgets(buffer, sizeof buffer, stdin)) {
        std::clearerr(stdin);
        return {};
    }
    return QString::fromLocal8Bit(buffer).trimmed().toLower();
}

} // namespace

void printLine(const QString& text)
{
    if (g_lineShowing) {
        std::fputs("\r\033[K", stderr);
        g_lineShowing = false;
    }
    QString shown = messagePrefix() + text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
    std::fflush(stderr);
}

void drawProgressLine(const QString& text)
{
    if (!stderrIsTerminal())
        return;
    std::fprintf(stderr, "\r\033[K%s", text.toLocal8Bit().constData());
    std::fflush(stderr);
    g_lineShowing = true;
}

void endProgressLine()
{
    if (g_lineShowing) {
        std::fputs("\n", stderr);
        std::fflush(stderr);
        g_lineShowing = false;
    }
}

TerminalPrompt::TerminalPrompt(AnswerPolicy policy) : m_policy(policy)
{
    installMessageBoxPresenter(this);
}
TerminalPrompt::~TerminalPrompt()
{
    installMessageBoxPresenter(nullptr);
}

int TerminalPrompt::present(const QString& text, int style, const QString&)
{
    const int buttons = msgButtons(style);
    if (buttons == MB_OK) {
        printLine(text);
        return IDOK;
    }
    const bool yesNo = buttons == MB_YESNO;
    if (yesNo && m_policy != AnswerPolicy::Ask) {
        const bool yes = m_policy == AnswerPolicy::Yes;
        printLine(text + (yes ? QStringLiteral(" [--yes: yes]") : QStringLiteral(" [--no: no]")));
        return yes ? IDYES : IDNO;
    }
    const int safe = msgSafeAnswer(style);
    if (m_policy == AnswerPolicy::No || !stdinIsTerminal() || g_cancel) {
        printLine(text +
                  (yesNo ? QStringLiteral(" [no answer: no]") : QStringLiteral(" [no answer: cancel]")));
        return safe;
    }
    printLine(text);
    std::fputs(yesNo ? "[y/N] " : "[r]etry/[C]ancel ", stderr);
    std::fflush(stderr);
    const QString answer = readAnswer();
    if (yesNo)
        return answer == QLatin1String("y") || answer == QLatin1String("yes") ? IDYES : IDNO;
    if (buttons == MB_RETRYCANCEL)
        return answer == QLatin1String("r") || answer == QLatin1String("retry") ? IDRETRY : IDCANCEL;
    return safe;
}

void installCancelHandler()
{
    struct sigaction action
    {
    };
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a question waiting for input ends with no answer
    g_installed = ::sigaction(SIGINT, &action, &g_previous) == 0;
}

void removeCancelHandler()
{
    if (g_installed)
        ::sigaction(SIGINT, &g_previous, nullptr);
    g_installed = false;
}

bool cancelPressed()
{
    return g_cancel != 0;
}

} // namespace kt::cli
