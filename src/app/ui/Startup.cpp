#include "Startup.h"

#include "app/StartupArguments.h"
#include "app/StartupValues.h"
#include "app/ui/Artwork.h"
#include "app/ui/MainWindow.h"
#include "app/ui/StartupForm.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "packlist/ui/AddFilesCommand.h"
#include "packlist/ui/PackListView.h"
#include "platform/FileHandOver.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/Program.h"
#include "platform/SystemProbe.h"
#include "platform/Translations.h"
#include "platform/ui/DesktopShell.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtMessageBoxPresenter.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace kt {
namespace {

struct Startup
{
    Q_DECLARE_TR_FUNCTIONS(kt::Startup)
};

void printError(const QString& line)
{
    std::fprintf(stderr, "klivatarn: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

QByteArray workingFolder()
{
    QByteArray folder(4096, '\0');
    while (!::getcwd(folder.data(), size_t(folder.size()))) {
        if (errno != ERANGE)
            return {};
        folder.resize(folder.size() * 2);
    }
    return folder.left(int(qstrlen(folder.constData())));
}

// What the toolkit says while it looks for a display, held back: a start without one ends
// with one line of ours instead of its lines and an abort. Made while the translations are
// in place: the application object that carries them is being made when the line is said.
struct DisplayProbe
{
    const QString cannotOpen = Startup::tr("cannot open a display: %1");
    const QString notSet = Startup::tr("DISPLAY and WAYLAND_DISPLAY are not set");
    const QString noPlugin = Startup::tr("no platform plugin could be started");

    struct Held
    {
        QtMsgType type;
        const char* category;
        QString text;
    };
    QList<Held> held;

    QString reason() const
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return notSet;
        for (const Held& h : held) {
            if (h.type != QtDebugMsg && h.category && qstrncmp(h.category, "qt.qpa", 6) == 0)
                return h.text.section(QLatin1Char('\n'), 0, 0).trimmed();
        }
        return noPlugin;
    }
};
DisplayProbe* g_displayProbe = nullptr; // only while the application object is being made

void holdToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        printError(g_displayProbe->cannotOpen.arg(g_displayProbe->reason()));
        std::_Exit(kExitFailure);
    }
    g_displayProbe->held.append({type, context.category, text});
}

// The application object. Without a display the process ends here, after the one line.
// `argc` and `argv` must outlive it.
std::unique_ptr<QApplication> openDisplay(int& argc, char** argv, DisplayProbe& probe)
{
    g_displayProbe = &probe;
    const QtMessageHandler previous = qInstallMessageHandler(holdToolkitMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    g_displayProbe = nullptr;
    for (const DisplayProbe::Held& h : probe.held)
        qt_message_output(h.type, QMessageLogContext(nullptr, 0, nullptr, h.category), h.text);
    return app;
}

// Files for the window from a later start: added once no pack runs and no dialog is open
// (the rows must not change under them), then the window comes to the front.
class HandOverInbox
{
public:
    HandOverInbox(MainWindow& window, const ProgramSeams& seams) : m_window(window), m_seams(seams)
    {
        m_retry.setSingleShot(true);
        m_retry.setInterval(250);
        QObject::connect(&m_retry, &QTimer::timeout, [this] { deliver(); });
    }
    void receive(const QStringList& paths)
    {
        m_pending += paths;
        deliver();
    }
    void add(const QStringList& paths)
    {
        PackListView& view = *m_window.packListView();
        AddNamedFilesCommand(view, paths, mpegInfoSource(m_window.file64()),
                             [this] { m_window.RefreshPackListCommands(); });
    }

private:
    void deliver()
    {
        if (m_pending.isEmpty())
            return;
        if (m_window.isBusy() || QApplication::activeModalWidget()) {
            m_retry.start();
            return;
        }
        add(std::exchange(m_pending, {}));
        m_window.setWindowState((m_window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        m_window.raise();
        m_window.activateWindow();
        if (m_seams.filesAdded)
            m_seams.filesAdded(m_window);
    }

    MainWindow& m_window;
    const ProgramSeams& m_seams;
    QStringList m_pending;
    QTimer m_retry;
};

// Help, the version and usage errors need no window: their exit status, or none to go on.
// Names refused on the way are said here too.
std::optional<int> answerWithoutWindow(const StartupArguments& args)
{
    switch (args.command) {
    case StartupArguments::Command::Help:
        std::fputs(startupUsageText().toLocal8Bit().constData(), stdout);
        return kExitOk;
    case StartupArguments::Command::Version:
        std::fputs((startupVersionText() + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        return kExitOk;
    case StartupArguments::Command::UsageError:
        printError(args.usageError);
        return kExitUsage;
    case StartupArguments::Command::Run:
        break;
    }
    for (const QString& line : args.skipped)
        printError(line);
    return std::nullopt;
}

// Takes the lock, or hands the named files to the copy that holds it: the exit status when
// the hand-over settled the start, none when this copy goes on (`state` says with what).
std::optional<int> handOver(InstanceLock& lock, InstanceLock::State& state, const StartupArguments& args,
                            const QString& socket, int waitMs)
{
    const bool namedFiles = !args.files.isEmpty() || !args.skipped.isEmpty();
    const QDeadlineTimer deadline(waitMs);
    while ((state = lock.tryAcquire()) == InstanceLock::State::HeldByOther && namedFiles) {
        if (args.files.isEmpty())
            return kExitFailure; // each name was refused above
        // A copy that has just taken the lock listens a moment later: ask again until then.
        const HandOverResult sent = sendFiles(socket, args.files, int(deadline.remainingTime()));
        if (sent.status == HandOverResult::Delivered)
            return args.skipped.isEmpty() ? kExitOk : kExitFailure;
        if (sent.status == HandOverResult::Failed || deadline.hasExpired()) {
            printError(Startup::tr("the open window did not take the files: %1").arg(sent.problem));
            return kExitFailure;
        }
        QThread::msleep(100);
    }
    return std::nullopt;
}

} // namespace

int displayDpi()
{
    // Qt 6 keeps 96 logical DPI and scales by the device pixel ratio (QT_FONT_DPI=120
    // gives 96 x 1.25); a platform may also report a higher logical DPI. Both count.
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX() * screen->devicePixelRatio()) : 96;
}

QString alreadyRunningText()
{
    return Startup::tr("This program is already running!");
}

void SetWindowIcons(QWidget* window, const QString& resourceName, bool alsoTopOwner)
{
    // One icon group exists, "AAA": the application icon, set on the application at start.
    if (!window || resourceName != QLatin1String("AAA"))
        return;
    const QIcon icon = QApplication::windowIcon();
    if (alsoTopOwner) {
        QWidget* top = window;
        while (top->parentWidget())
            top = top->parentWidget()->window();
        top->setWindowIcon(icon);
    }
    window->setWindowIcon(icon);
}

int programMain(int argc, char* argv[], const ProgramSeams& seams)
{
    // The toolkit sees the program name only: the arguments are ours.
    int toolkitArgc = argc > 0 ? 1 : 0;
    char* toolkitArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    // Until a display is open, an application object without one carries the translations:
    // help, usage errors and a hand-over speak the user's language without a display too.
    auto early = std::make_unique<QCoreApplication>(toolkitArgc, toolkitArgv);
    installTranslations(*early);
    const StartupArguments args = parseStartupArguments(argc, argv, workingFolder());
    if (const std::optional<int> answered = answerWithoutWindow(args))
        return *answered;

    // Before anything is read or written: is another copy running? Then it gets the files.
    const RuntimeFolder folder =
        seams.runtimeFolder.isEmpty() ? privateRuntimeFolder() : checkedPrivateFolder(seams.runtimeFolder);
    const QString socket = handOverSocketPath(folder.path);
    InstanceLock lock(folder.path);
    InstanceLock::State state;
    if (const std::optional<int> handedOver = handOver(lock, state, args, socket, seams.handOverWaitMs))
        return *handedOver;
    DisplayProbe displayProbe;
    early.reset();
    const std::unique_ptr<QApplication> app = openDisplay(toolkitArgc, toolkitArgv, displayProbe);
    installTranslations(*app);
    if (state == InstanceLock::State::Unavailable) // said once there is a display: one line without
        printError(Startup::tr("running without the single-instance guard: %1")
                       .arg(folder.problem.isEmpty() ? Startup::tr("no lock at '%1'").arg(lock.path())
                                                     : folder.problem));
    QtMessageBoxPresenter messageBoxes;
    QtFileDialogs dialogs;
    DesktopShell desktop;
    installMessageBoxPresenter(seams.messageBoxes ? seams.messageBoxes : &messageBoxes);
    installFileDialogs(&dialogs);
    installShell(&desktop);
    const SystemProbe probe(SystemProbe::runningSystemFacts(displayDpi()));
    installSystemProbe(&probe);
    // Every window of the program takes this icon.
    app->setWindowIcon(programIcon());

    if (state == InstanceLock::State::HeldByOther) {
        MsgBox(alreadyRunningText(), MB_ICONEXCLAMATION, programTitle());
        return kExitOk;
    }
    return Main(*app, args.files, state == InstanceLock::State::Held ? socket : QString(), seams);
}

int Main(QApplication& app, const QStringList& files, const QString& handOverSocket,
         const ProgramSeams& seams)
{
    StartupForm startupForm;
    SetWindowIcons(&startupForm, QStringLiteral("AAA"), true);

    // Files from later starts wait in the socket's queue until the window is up.
    HandOverServer server;
    if (!handOverSocket.isEmpty()) {
        if (const QString problem = server.listen(handOverSocket); !problem.isEmpty())
            printError(Startup::tr("files from later starts cannot be received: %1").arg(problem));
    }

    setStartupValues(detectStartupValues(QCoreApplication::applicationDirPath()));

    MainWindow window;
    SetWindowIcons(&window, QStringLiteral("AAA"), true);
    window.load();
    window.show();
    QObject::connect(&window, &MainWindow::unloaded, &app, [&] {
        startupForm.close();
        QCoreApplication::quit(); // other windows close with the process
    });

    // A second widening of the first column, now the window is on screen.
    window.PackListSetMaxWidth();

    HandOverInbox inbox(window, seams);
    QObject::connect(&server, &HandOverServer::filesReceived, &window,
                     [&](const QStringList& paths) { inbox.receive(paths); });
    if (!files.isEmpty()) {
        inbox.add(files);
        if (seams.filesAdded)
            seams.filesAdded(window);
    }

    prepareAboutPictures(startupValues().programDir, startupForm.palette().color(QPalette::Window));
    return app.exec();
}

} // namespace kt
