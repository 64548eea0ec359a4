// The main window's Pack against `klivatarn-pack --rate normal` and `cat` on the same
// files, side by side in one run, on whatever display Qt is given (offscreen or an X
// server). See bench/README.md.
//
//     build/bin/bench_window_pack [--dir DIR] [--files N] [--mib M] [--rounds R]
//                                 [--rate slow|normal|fast|ufast] [--mpeg-check]
//                                 [--from-return] [--keep]
//
// The window's Pack is the real one: the real main window and progress window, with the
// Save dialog and the closing message answered by a script. It is timed from the command
// to its return, inside this process; cat and klivatarn-pack are timed from their start to
// their exit. Rounds are interleaved, each starting with the next contender.
//
// --from-return (an X server with xdotool) adds what a user waits for: the real Save
// dialog, the output's name in its box and Return pressed through the X server, timed
// from the key's arrival to the Pack's end (the dialog closing, the checks, the progress
// window, the join).
#include "../../tests/support/MpegFixtures.h"
#include "../../tests/support/ScriptedSeams.h"
#include "app/ui/MainWindow.h"
#include "base/TransferRate.h"
#include "packlist/ui/PackListView.h"
#include "platform/ui/QtFileDialogs.h"
#include "settings/Registry.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace kt;

namespace {

struct Options
{
    QString dir = QDir::tempPath() + QStringLiteral("/kt-bench-window-pack");
    int files = 3;
    qint64 mib = 300;
    int rounds = 5;
    QString rate = QStringLiteral("normal");
    bool mpegCheck = false;
    bool fromReturn = false;
    bool keep = false;
};

enum class Contender { Cat, Packer, Window, FromReturn };

const char* name(Contender c)
{
    switch (c) {
    case Contender::Cat:
        return "cat";
    case Contender::Packer:
        return "klivatarn-pack";
    case Contender::Window:
        return "window Pack";
    case Contender::FromReturn:
        return "from Return";
    }
    return "";
}

struct Sample
{
    double wall = 0;           // seconds
    double cpu = 0;            // user + system seconds
    std::vector<double> steps; // from Return: when each step was seen
};

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Microseconds of one pass of the event loop with nothing to do, the least each block of
// the window's join costs beyond its copy: the median of a few sets of many passes.
double idlePassMicroseconds()
{
    constexpr int kPasses = 10000;
    std::vector<double> sets;
    for (int set = 0; set < 5; ++set) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kPasses; ++i)
            QCoreApplication::processEvents();
        sets.push_back(double(timer.nsecsElapsed()) / 1e3 / kPasses);
    }
    std::sort(sets.begin(), sets.end());
    return sets[sets.size() / 2];
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Sources of pseudo-random bytes after an MPEG sequence header (so that the MPEG check
// finds them alike at once), made once and kept when they already have the size.
bool makeSources(const Options& o, QStringList& paths)
{
    if (!QDir().mkpath(o.dir))
        return false;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (int i = 0; i < o.files; ++i) {
        const QString path = QDir(o.dir).filePath(QStringLiteral("source%1.bin").arg(i + 1));
        paths << path;
        if (QFileInfo(path).size() == o.mib << 20)
            continue;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        QRandomGenerator random(quint32(i + 1));
        for (qint64 m = 0; m < o.mib; ++m) {
            random.fillRange(reinterpret_cast<quint32*>(chunk.data()), chunk.size() / 4);
            if (m == 0)
                chunk.replace(0, 8, test::sequenceHeaderBytes(352, 240, 4));
            if (file.write(chunk) != chunk.size())
                return false;
        }
    }
    return true;
}

QByteArray digest(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result() : QByteArray();
}

class Bench
{
public:
    Bench(const Options& o, const QStringList& sources) : m_options(o), m_sources(sources)
    {
        m_output = QDir(o.dir).filePath(QStringLiteral("packed.bin"));
        m_packer = QCoreApplication::applicationDirPath() + QStringLiteral("/klivatarn-pack");
    }

    bool setUpWindow();
    bool run(Contender c, Sample& sample);
    const QString& output() const { return m_output; }

private:
    bool runProcess(const QString& program, const QStringList& args, bool toOutput, Sample& sample);
    bool runWindow(Sample& sample);
    bool runFromReturn(Sample& sample);
    bool packed();

    const Options& m_options;
    QStringList m_sources;
    QString m_output;
    QString m_packer;
    test::ScriptedMessageBox m_messages;
    test::ScriptedFileDialogs m_dialogs;
    test::ScriptedShell m_shell;
    std::unique_ptr<MainWindow> m_window;
};

bool Bench::setUpWindow()
{
    m_window = std::make_unique<MainWindow>();
    m_window->load();
    m_window->show();
    const std::map<QString, const char*> rateItems{{QStringLiteral("slow"), "SlowSpeedChk"},
                                                   {QStringLiteral("normal"), "NormalSpeedChk"},
                                                   {QStringLiteral("fast"), "FastSpeedChk"},
                                                   {QStringLiteral("ufast"), "UltraSpeedChk"}};
    const auto rate = rateItems.find(m_options.rate);
    if (rate == rateItems.end())
        return false;
    // As a user sets them; the sources stay where they are.
    for (const auto& [item, on] :
         {std::pair{"MCheckMnu", m_options.mpegCheck}, {rate->second, true}, {"DelNoMnu", true}}) {
        QAction* action = m_window->action(QLatin1String(item));
        if (!action)
            return false;
        if (action->isChecked() != on)
            action->trigger();
        if (action->isChecked() != on)
            return false;
    }
    for (const QString& path : m_sources)
        m_window->packList().append({path, QString(), QString(), false});
    m_window->packListView()->syncFromList();
    m_window->RefreshPackListCommands();
    QCoreApplication::processEvents();
    return true;
}

// From fork to reap, with the CPU time the kernel accounted to the child: a QProcess
// (pipes, notifiers, its own waiting) added tens of milliseconds of its own to cat's time.
bool Bench::runProcess(const QString& program, const QStringList& args, bool toOutput, Sample& sample)
{
    const QByteArray path = QFile::encodeName(QStandardPaths::findExecutable(program));
    std::vector<QByteArray> bytes{path};
    for (const QString& a : args)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    const int out = toOutput ? ::open(QFile::encodeName(m_output).constData(),
                                      O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)
                             : null;
    if (path.isEmpty() || null < 0 || out < 0) {
        std::fprintf(stderr, "cannot run %s\n", qPrintable(program));
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(null, 0);
        ::dup2(out, 1);
        ::dup2(null, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    while (pid > 0 && ::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    sample.wall = double(timer.nsecsElapsed()) / 1e9;
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    sample.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    if (out != null)
        ::close(out);
    ::close(null);
    const bool ok = pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok)
        std::fprintf(stderr, "%s failed (status %d)\n", qPrintable(program), status);
    return ok;
}

bool Bench::runWindow(Sample& sample)
{
    m_dialogs.answerSave(m_output);
    m_messages.clear();
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer timer;
    timer.start();
    m_window->PackMnu_Click();
    sample.wall = double(timer.nsecsElapsed()) / 1e9;
    sample.cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    return packed();
}

bool Bench::packed()
{
    const bool ok =
        m_messages.texts().size() == 1 && m_messages.texts().first().contains("successfully packed");
    if (!ok)
        std::fprintf(stderr, "the window's Pack did not succeed: %s\n",
                     qPrintable(m_messages.texts().join(QStringLiteral(" | "))));
    return ok;
}

// What a user waits for after Return, in steps: seconds from the key to each.
enum Step { DialogHidden, ProgressShown, ProgressPainted, FirstFileDrawn, kSteps };
const char* const kStepNames[kSteps] = {"Save dialog hidden", "progress window shown",
                                        "progress window painted", "first file's name drawn"};

// Answers the real Save dialog as a user does: once it is the active window, the output's
// name goes into its box and xdotool presses Return; the key's arrival starts the clock,
// which then notes when each step is seen.
class ReturnKey : public QObject
{
public:
    explicit ReturnKey(const QString& output) : m_output(output) { qApp->installEventFilter(this); }
    ~ReturnKey() override { qApp->removeEventFilter(this); }

    QElapsedTimer pressed;
    double cpuAtPress = 0;
    double steps[kSteps] = {};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (pressed.isValid())
            noteStep(watched, event);
        auto* dialog = qobject_cast<QFileDialog*>(watched);
        if (dialog && event->type() == QEvent::WindowActivate && !m_typed) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (edit) {
                m_typed = true;
                edit->setText(m_output);
                edit->setFocus();
                QProcess::startDetached(QStringLiteral("xdotool"),
                                        {QStringLiteral("key"), QStringLiteral("Return")});
            }
        }
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return &&
            !pressed.isValid()) {
            pressed.start();
            cpuAtPress = cpuSeconds(RUSAGE_SELF);
        }
        return false;
    }

private:
    void noteStep(QObject* watched, QEvent* event)
    {
        auto note = [&](Step step) {
            if (steps[step] == 0)
                steps[step] = double(pressed.nsecsElapsed()) / 1e9;
        };
        const QString name = watched->objectName();
        if (event->type() == QEvent::Hide && qobject_cast<QFileDialog*>(watched))
            note(DialogHidden);
        else if (event->type() == QEvent::Show && name == QLatin1String("progressfrm"))
            note(ProgressShown);
        else if (event->type() == QEvent::Paint && name == QLatin1String("progressfrm"))
            note(ProgressPainted);
        else if (event->type() == QEvent::Paint && name == QLatin1String("Statusbar_lbl") &&
                 !static_cast<QLabel*>(watched)->text().isEmpty())
            note(FirstFileDrawn);
    }

    QString m_output;
    bool m_typed = false;
};

bool Bench::runFromReturn(Sample& sample)
{
    QtFileDialogs dialogs(m_window.get());
    installFileDialogs(&dialogs);
    m_messages.clear();
    bool ok = false;
    {
        ReturnKey key(m_output);
        // From the event loop, as a shortcut or the menu gives it.
        QEventLoop loop;
        QTimer::singleShot(0, m_window.get(), [&] {
            m_window->PackMnu_Click();
            loop.quit();
        });
        loop.exec();
        if (key.pressed.isValid()) {
            sample.wall = double(key.pressed.nsecsElapsed()) / 1e9;
            sample.steps.assign(std::begin(key.steps), std::end(key.steps));
            sample.cpu = cpuSeconds(RUSAGE_SELF) - key.cpuAtPress;
            ok = packed();
        } else {
            std::fprintf(stderr, "Return never reached the Save dialog (is xdotool installed?)\n");
        }
    }
    installFileDialogs(&m_dialogs);
    // What the event loop does after a command (the dialog going, say), before the next run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return ok;
}

bool Bench::run(Contender c, Sample& sample)
{
    QFile::remove(m_output);
    ::sync(); // no dirty pages of the previous run written back during this one
    switch (c) {
    case Contender::Cat:
        return runProcess(QStringLiteral("cat"), m_sources, true, sample);
    case Contender::Packer:
        return runProcess(m_packer,
                          QStringList{QStringLiteral("--no-mpeg-check"), QStringLiteral("--rate"),
                                      m_options.rate, QStringLiteral("-o"), m_output} +
                              m_sources,
                          false, sample);
    case Contender::Window:
        return runWindow(sample);
    case Contender::FromReturn:
        return runFromReturn(sample);
    }
    return false;
}

bool parse(const QStringList& args, Options& o)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--keep"))
            o.keep = true;
        else if (a == QLatin1String("--dir") && hasValue)
            o.dir = args[++i];
        else if (a == QLatin1String("--files") && hasValue)
            o.files = args[++i].toInt();
        else if (a == QLatin1String("--mib") && hasValue)
            o.mib = args[++i].toLongLong();
        else if (a == QLatin1String("--rounds") && hasValue)
            o.rounds = args[++i].toInt();
        else if (a == QLatin1String("--rate") && hasValue)
            o.rate = args[++i];
        else if (a == QLatin1String("--mpeg-check"))
            o.mpegCheck = true;
        else if (a == QLatin1String("--from-return"))
            o.fromReturn = true;
        else
            return false;
    }
    return o.files > 0 && o.mib > 0 && o.rounds > 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Options options;
    if (!parse(app.arguments(), options)) {
        std::fprintf(stderr, "usage: bench_window_pack [--dir DIR] [--files N] [--mib M] [--rounds R] "
                             "[--rate slow|normal|fast|ufast] [--mpeg-check] [--from-return] [--keep]\n");
        return 2;
    }
    // Settings of our own (no Tip of the Day, the user's choices untouched).
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    WriteRegString(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("ShowTod"), QStringLiteral("0"));

    QStringList sources;
    if (!makeSources(options, sources)) {
        std::fprintf(stderr, "cannot write the sources under %s\n", qPrintable(options.dir));
        return 1;
    }
    for (const QString& path : sources) // into the page cache, for every contender alike
        digest(path);

    Bench bench(options, sources);
    if (!bench.setUpWindow()) {
        std::fprintf(stderr, "cannot set up the main window\n");
        return 1;
    }
    std::vector<Contender> order{Contender::Cat, Contender::Packer, Contender::Window};
    if (options.fromReturn)
        order.push_back(Contender::FromReturn);
    std::map<Contender, std::vector<Sample>> samples;
    std::map<Contender, QByteArray> outputs;
    for (int round = 0; round < options.rounds; ++round) {
        for (size_t i = 0; i < order.size(); ++i) {
            const Contender c = order[(i + size_t(round)) % order.size()];
            Sample s;
            if (!bench.run(c, s))
                return 1;
            samples[c].push_back(s);
            if (round == 0)
                outputs[c] = digest(bench.output());
        }
    }
    const double passUs = idlePassMicroseconds();
    QFile::remove(bench.output());
    if (!options.keep)
        QDir(options.dir).removeRecursively();

    QFile loadFile(QStringLiteral("/proc/loadavg"));
    const QByteArray load =
        loadFile.open(QIODevice::ReadOnly) ? loadFile.readAll().split(' ').mid(0, 3).join(' ') : "?";
    std::printf("%d x %lld MiB, rate %s, %d rounds, platform %s, load %s\n", options.files, options.mib,
                qPrintable(options.rate), options.rounds, qPrintable(QGuiApplication::platformName()),
                load.constData());
    const QByteArray& expected = outputs[Contender::Cat];
    const bool same = !expected.isEmpty() && std::all_of(order.begin(), order.end(),
                                                         [&](Contender c) { return outputs[c] == expected; });
    std::printf("outputs of klivatarn-pack and the window %s cat's\n", same ? "identical to" : "DIFFER from");
    // Ratios are taken round by round (each round has one run of each), then the median.
    std::printf("%-16s %9s %9s %9s %9s %9s\n", "contender", "wall (s)", "cpu (s)", "wall/cat", "cpu/cat",
                "wall/pack");
    for (Contender c : order) {
        std::vector<double> wall, cpu, wallRatio, cpuRatio, packerRatio;
        for (int r = 0; r < options.rounds; ++r) {
            const Sample& s = samples[c][size_t(r)];
            const Sample& base = samples[Contender::Cat][size_t(r)];
            wall.push_back(s.wall);
            cpu.push_back(s.cpu);
            wallRatio.push_back(s.wall / base.wall);
            cpuRatio.push_back(base.cpu > 0 ? s.cpu / base.cpu : 0);
            packerRatio.push_back(s.wall / samples[Contender::Packer][size_t(r)].wall);
        }
        std::printf("%-16s %9.3f %9.3f %9.2f %9.2f %9.2f\n", name(c), median(wall), median(cpu),
                    median(wallRatio), median(cpuRatio), median(packerRatio));
    }
    if (options.fromReturn) {
        std::printf("from Return, median seconds to each step:");
        for (int step = 0; step < kSteps; ++step) {
            std::vector<double> at;
            for (const Sample& s : samples[Contender::FromReturn])
                at.push_back(s.steps.at(size_t(step)));
            std::printf("%s %s %.3f", step ? "," : "", kStepNames[step], median(at));
        }
        std::printf("\n");
    }
    const std::optional<TransferRate> rate = transferRateFromName(options.rate);
    const double blockSize = rate ? blockSizeFor(*rate).blockSize : 0;
    const double blocks = blockSize > 0 ? double(options.files) * double(options.mib << 20) / blockSize : 0;
    std::vector<double> catWall;
    for (const Sample& s : samples[Contender::Cat])
        catWall.push_back(s.wall);
    // The join lets events through once a frame (and at each file's start and end), no
    // longer once per block.
    const double frames = median(catWall) * 60 + 2.0 * options.files;
    std::printf("idle event pass %.2f us; once per block (%.0f blocks) %.1f ms = %.2f x cat's wall; "
                "once a frame (%.0f in cat's time) %.2f ms\n",
                passUs, blocks, passUs * blocks / 1e3, passUs * blocks / 1e6 / median(catWall), frames,
                passUs * frames / 1e3);
    return same ? 0 : 1;
}
