#include "CommandLine.h"

#include "base/TextUtils.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
#include <getopt.h>
#include <vector>

namespace kt::cli {
namespace {

struct Packer
{
    Q_DECLARE_TR_FUNCTIONS(kt::cli::Packer)
};

// What getopt_long returns for the options without a short form.
enum LongOnly : int {
    kRate = 256,
    kYes,
    kNo,
    kForce,
    kNoMpegCheck,
    kTrash,
    kTrashPrompt,
    kSeamless,
    kInfo,
    kJson,
    kVersion,
};

constexpr option kOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"rate", required_argument, nullptr, kRate},
    {"yes", no_argument, nullptr, kYes},
    {"no", no_argument, nullptr, kNo},
    {"force", no_argument, nullptr, kForce},
    {"no-mpeg-check", no_argument, nullptr, kNoMpegCheck},
    {"trash", no_argument, nullptr, kTrash},
    {"trash-prompt", no_argument, nullptr, kTrashPrompt},
    {"seamless", no_argument, nullptr, kSeamless},
    {"info", no_argument, nullptr, kInfo},
    {"null", no_argument, nullptr, 'z'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {"json", no_argument, nullptr, kJson},
    {nullptr, 0, nullptr, 0},
};
// '+': getopt_long stops at each file, which is collected here, so that an error always
// concerns the element it was reading (GNU's reordering would move them). ':': no messages
// of its own, and ':' for a missing value.
constexpr char kShortOptions[] = "+:o:zh";

QString longName(int value)
{
    for (const option& o : kOptions)
        if (o.name && o.val == value)
            return QStringLiteral("--") + QLatin1String(o.name);
    return {};
}

// The problem getopt_long returned '?' or ':' for, worded as GNU's getopt words it.
QString optionProblem(int returned, const QString& element)
{
    const bool isLong = element.startsWith(QLatin1String("--"));
    if (returned == ':')
        return isLong ? Packer::tr("option %1 requires an argument").arg(quotedName(longName(optopt)))
                      : Packer::tr("option requires an argument -- %1")
                            .arg(quotedName(QString(QLatin1Char(char(optopt)))));
    if (!isLong)
        return Packer::tr("invalid option -- %1").arg(quotedName(QString(QLatin1Char(char(optopt)))));
    if (optopt != 0)
        return Packer::tr("option %1 doesn't allow an argument").arg(quotedName(longName(optopt)));
    const QString typed = element.mid(2).section(QLatin1Char('='), 0, 0);
    QStringList candidates;
    for (const option& o : kOptions)
        if (o.name && QLatin1String(o.name).startsWith(typed))
            candidates << quotedName(longName(o.val));
    if (candidates.size() > 1)
        return Packer::tr("option %1 is ambiguous; possibilities: %2")
            .arg(quotedName(element), candidates.join(QLatin1Char(' ')));
    return Packer::tr("unrecognized option %1").arg(quotedName(element));
}

// A file whose name starts with '-' is read as options: say how to name it.
QString withFileHint(const QString& problem, const QString& element)
{
    const bool looksLikeFile = element.contains(QLatin1Char('.')) || element.contains(QLatin1Char('/')) ||
                               QFileInfo(element).exists();
    if (!looksLikeFile)
        return problem;
    return problem + Packer::tr("; for the file %1, put '--' before it or write %2")
                         .arg(quotedName(element), quotedName(QStringLiteral("./") + element));
}

} // namespace

namespace {

// What the command line named, before the combinations are checked.
struct Given
{
    QSet<int> options;
    QString output;
    QString rate = QStringLiteral("fast");
    QStringList files;
    std::optional<Command> early; // --help or --version: the rest is not looked at
};

std::variant<Given, UsageProblem> scanArguments(const QStringList& arguments)
{
    // getopt_long reads C strings and keeps pointers into them: the bytes live here.
    QByteArrayList bytes{QByteArrayLiteral("klivatarn-pack")};
    for (const QString& a : arguments)
        bytes << a.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const int argc = int(bytes.size());

    Given given;
    opterr = 0;
    optind = 0; // glibc starts a fresh scan
    for (;;) {
        const int at = std::max(optind, 1); // the element getopt_long reads now
        const int c = getopt_long(argc, argv.data(), kShortOptions, kOptions, nullptr);
        if (c == -1 && optind == at && at < argc) { // a file among the options
            given.files << QString::fromLocal8Bit(argv[optind++]);
            continue;
        }
        if (c == -1) // the end, or "--" before the remaining files
            break;
        given.options.insert(c);
        switch (c) {
        case 'h':
            given.early = Command::Help;
            return given;
        case kVersion:
            given.early = Command::Version;
            return given;
        case 'o':
            given.output = QString::fromLocal8Bit(optarg);
            break;
        case kRate:
            // "--rate -o FILE" lacks the rate; "--rate=-o" names one.
            if (optarg == argv[at + 1] && optarg[0] == '-')
                return UsageProblem{
                    Packer::tr("option %1 requires an argument").arg(quotedName(longName(kRate)))};
            given.rate = QString::fromLocal8Bit(optarg);
            break;
        case '?':
        case ':': {
            const QString element = QString::fromLocal8Bit(argv[at]);
            return UsageProblem{withFileHint(optionProblem(c, element), element)};
        }
        default:
            break;
        }
    }
    for (int i = optind; i < argc; ++i)
        given.files << QString::fromLocal8Bit(argv[i]);
    return given;
}

std::variant<CommandLine, UsageProblem> infoCommand(const Given& given)
{
    const QSet<int>& o = given.options;
    if (!QSet<int>(o).subtract({kInfo, 'z', kJson}).isEmpty())
        return UsageProblem{Packer::tr("--info takes no other option than -z, --json and --")};
    if (o.contains('z') && o.contains(kJson))
        return UsageProblem{Packer::tr("-z (--null) and --json exclude each other")};
    if (given.files.isEmpty())
        return UsageProblem{Packer::tr("--info needs at least one file")};
    CommandLine line;
    line.command = Command::Info;
    line.files = given.files;
    line.infoFormat = o.contains('z')     ? InfoFormat::NulRows
                      : o.contains(kJson) ? InfoFormat::Json
                                          : InfoFormat::Lines;
    return line;
}

std::variant<CommandLine, UsageProblem> packCommand(const Given& given)
{
    const QSet<int>& o = given.options;
    if (o.contains('z'))
        return UsageProblem{Packer::tr("-z (--null) goes with --info only")};
    if (o.contains(kJson))
        return UsageProblem{Packer::tr("--json goes with --info only")};
    if (given.output.trimmed().isEmpty())
        return UsageProblem{Packer::tr("the output file is missing (-o OUTPUT)")};
    if (o.contains(kYes) && o.contains(kNo))
        return UsageProblem{Packer::tr("--yes and --no exclude each other")};
    if (o.contains(kTrash) && o.contains(kTrashPrompt))
        return UsageProblem{Packer::tr("--trash and --trash-prompt exclude each other")};
    const std::optional<TransferRate> chosenRate = transferRateFromName(given.rate);
    if (!chosenRate)
        return UsageProblem{
            Packer::tr("unknown rate %1 (slow, normal, fast, ufast)").arg(quotedName(given.rate))};

    CommandLine line;
    line.files = given.files;
    line.output = given.output.trimmed();
    line.answers = o.contains(kYes)  ? AnswerPolicy::Yes
                   : o.contains(kNo) ? AnswerPolicy::No
                                     : AnswerPolicy::Ask;
    line.options.force = o.contains(kForce);
    line.options.mpegCheck = !o.contains(kNoMpegCheck);
    line.options.seamless = o.contains(kSeamless);
    line.options.rate = *chosenRate;
    if (o.contains(kTrash))
        line.options.deleteAfter = DeleteAfterAction::NoPrompt;
    else if (o.contains(kTrashPrompt))
        line.options.deleteAfter = DeleteAfterAction::Prompt;
    return line;
}

} // namespace

std::variant<CommandLine, UsageProblem> parseCommandLine(const QStringList& arguments)
{
    const auto scanned = scanArguments(arguments);
    if (const auto* problem = std::get_if<UsageProblem>(&scanned))
        return *problem;
    const Given& given = std::get<Given>(scanned);
    if (given.early) {
        CommandLine line;
        line.command = *given.early;
        return line;
    }
    return given.options.contains(kInfo) ? infoCommand(given) : packCommand(given);
}

} // namespace kt::cli
