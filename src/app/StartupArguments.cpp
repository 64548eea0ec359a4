#include "StartupArguments.h"

#include "platform/Program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstring>
#include <getopt.h>
#include <sys/stat.h>
#include <vector>

namespace kt {
namespace {

struct Startup
{
    Q_DECLARE_TR_FUNCTIONS(kt::Startup)
};

const option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// Control characters would reach the terminal raw: show them as '?', as ls does.
QString shownName(const QByteArray& name)
{
    QString shown = QFile::decodeName(name);
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return shown;
}

QString usageError(const char* element, int unknown)
{
    if (std::strncmp(element, "--", 2) != 0)
        return Startup::tr("invalid option -- '%1'").arg(QChar(unknown));
    for (const option& o : kLongOptions) {
        if (o.name && o.val == unknown)
            return Startup::tr("option '--%1' doesn't allow an argument").arg(QLatin1String(o.name));
    }
    return Startup::tr("unrecognized option '%1'").arg(shownName(element));
}

// What to tell about a file name given as an argument that cannot be added (empty: none).
QString fileProblem(const QByteArray& absolute)
{
    struct stat st
    {
    };
    if (::stat(absolute.constData(), &st) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        return Startup::tr("a folder");
    if (QFile::encodeName(QFile::decodeName(absolute)) != absolute)
        return Startup::tr("the name is not valid UTF-8");
    return {};
}

} // namespace

StartupArguments parseStartupArguments(int argc, char* const argv[], const QByteArray& workingFolder)
{
    // getopt_long reorders what it reads: let it work on a copy.
    std::vector<char*> args(argv, argv + argc);
    args.push_back(nullptr);
    // An option that names an existing file ("-x.mpg") was most likely meant as a file.
    QByteArray fileLikeOption;
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0 && fileLikeOption.isEmpty(); ++i) {
        struct stat st
        {
        };
        if (argv[i][0] == '-' && argv[i][1] != '\0' && ::stat(argv[i], &st) == 0)
            fileLikeOption = argv[i];
    }

    StartupArguments result;
    opterr = 0; // the messages are ours, one line each
    optind = 0; // start afresh
    int c;
    while ((c = getopt_long(argc, args.data(), "h", kLongOptions, nullptr)) != -1) {
        if (c == 'h' && result.command == StartupArguments::Command::Run) {
            result.command = StartupArguments::Command::Help;
        } else if (c == 'V' && result.command == StartupArguments::Command::Run) {
            result.command = StartupArguments::Command::Version;
        } else if (c == '?') {
            result.command = StartupArguments::Command::UsageError;
            result.usageError = usageError(args[optind - 1], optopt);
            if (!fileLikeOption.isEmpty()) {
                const QString name = shownName(fileLikeOption);
                result.usageError +=
                    Startup::tr("; for the file '%1' write './%1' or put '--' before it").arg(name);
            }
            return result;
        }
    }
    for (int i = optind; i < argc; ++i) {
        const QByteArray name = args[i];
        QByteArray absolute = name.startsWith('/') ? name : workingFolder + '/' + name;
        if (const QString problem = fileProblem(absolute); !problem.isEmpty()) {
            result.skipped << Startup::tr("cannot add '%1': %2").arg(shownName(name), problem);
            continue;
        }
        // "." and doubled separators go; ".." stays, since a link before it may lead elsewhere.
        QString path = QFile::decodeName(absolute);
        if (!path.split(QLatin1Char('/')).contains(QStringLiteral("..")))
            path = QDir::cleanPath(path);
        result.files << path;
    }
    return result;
}

QString startupUsageText()
{
    return Startup::tr(
        "Usage: klivatarn [--] [FILE...]\n"
        "Joins MPEG-1 video and MP3 or MP2 files into one, in a window.\n"
        "\n"
        "Each FILE is added to the Pack List, in order, as File > Add adds it. When the window\n"
        "is open already, the files are handed to it and it comes to the front.\n"
        "\n"
        "  --           end of options: what follows are files, even '-x.mpg'\n"
        "  -h, --help   this text\n"
        "  --version    the program and its version\n"
        "\n"
        "Exit status: 0 the window was closed, or the files were handed to the open window\n"
        "(or, without files, the open window was reported); 1 no display, or a second start\n"
        "could not hand over every FILE; 2 usage error.\n");
}

QString startupVersionText()
{
    return QStringLiteral("klivatarn ") + versionText();
}

} // namespace kt
