#include "Terminal.h"

#include "base/TextUtils.h"
#include "cli/Usage.h"
#include "engine/PackTexts.h"

#include <QCoreApplication>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace kt::cli {
namespace {

struct Packer
{
    Q_DECLARE_TR_FUNCTIONS(kt::cli::Packer)
};

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

// One line from stdin; none at the end of input or on Ctrl-C.
std::optional<QString> readAnswer()
{
    char buffer[64];
    if (!std::fgets(buffer, sizeof buffer, stdin)) {
        std::clearerr(stdin);
        return std::nullopt;
    }
    return QString::fromLocal8Bit(buffer).trimmed().toLower();
}

// Only line breaks reach the terminal raw: a control character that a system's message
// brought in (a name inside an error text) is shown escaped.
QString terminalSafe(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = escapeControls(line);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void printLine(const QString& text)
{
    if (g_lineShowing) {
        std::fputs("\r\033[K", stderr);
        g_lineShowing = false;
    }
    std::fprintf(stderr, "%s\n", terminalSafe(messagePrefix() + text).toLocal8Bit().constData());
    std::fflush(stderr);
}

void drawProgressLine(const QString& text)
{
    if (!stderrIsTerminal())
        return;
    std::fprintf(stderr, "\r\033[K%s", terminalSafe(text).toLocal8Bit().constData());
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
        // Nobody chose to abort when nobody could answer: runPack says what happened.
        if (m_unanswered.isEmpty() || text != texts::packingAborted())
            printLine(text);
        return IDOK;
    }
    const bool yesNo = buttons == MB_YESNO;
    const int safe = msgSafeAnswer(style);
    const QString safeWord = yesNo ? Packer::tr("no") : Packer::tr("cancel");
    if (yesNo && m_policy == AnswerPolicy::Yes) {
        printLine(text + QStringLiteral(" [--yes: %1]").arg(Packer::tr("yes")));
        return IDYES;
    }
    if (m_policy == AnswerPolicy::No) {
        printLine(text + QStringLiteral(" [--no: %1]").arg(safeWord));
        return safe;
    }
    if (g_cancel) {
        printLine(text + QStringLiteral(" [Ctrl-C: %1]").arg(safeWord));
        return safe;
    }
    if (!stdinIsTerminal()) {
        printLine(text + QStringLiteral(" [%1]").arg(Packer::tr("no answer: %1").arg(safeWord)));
        noAnswerTo(text);
        return safe;
    }
    printLine(text);
    std::fputs(qPrintable(yesNo ? Packer::tr("[y/N] ") : Packer::tr("[r]etry/[C]ancel ")), stderr);
    std::fflush(stderr);
    const std::optional<QString> answer = readAnswer();
    if (!answer) {
        std::fputs("\n", stderr);
        if (!g_cancel)
            noAnswerTo(text);
        return safe;
    }
    // The English answers count in every language.
    const auto said = [&answer](const QStringList& words) { return words.contains(*answer); };
    if (yesNo)
        return said({QStringLiteral("y"), QStringLiteral("yes"), Packer::tr("y", "short for yes"),
                     Packer::tr("yes")})
                   ? IDYES
                   : IDNO;
    if (buttons == MB_RETRYCANCEL)
        return said({QStringLiteral("r"), QStringLiteral("retry"), Packer::tr("r", "short for retry"),
                     Packer::tr("retry")})
                   ? IDRETRY
                   : IDCANCEL;
    return safe;
}

void TerminalPrompt::noAnswerTo(const QString& question)
{
    if (m_unanswered.isEmpty())
        m_unanswered = question.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
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
