#include "PackCommand.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "cli/CliPackHost.h"
#include "cli/Terminal.h"
#include "cli/Usage.h"
#include "engine/DoPack.h"
#include "base/File64.h"

namespace kt::cli {
namespace {

std::optional<TransferRate> parseRate(const QString& text) { return transferRateFromName(text); }

// The Pack List holds full paths; the command line may give relative ones.
QString fullPath(const QString& path) { return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath(); }

} // namespace

int runPack(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption output({"o", "output"}, "The file to write.", "OUTPUT");
    const QCommandLineOption yes("yes", "Answer Yes to every Yes/No question.");
    const QCommandLineOption no("no", "Answer No to every question.");
    const QCommandLineOption force("force", "Replace an existing OUTPUT without asking.");
    const QCommandLineOption rate("rate", "Block size: slow, normal, fast (default) or ufast.", "RATE", "fast");
    const QCommandLineOption noMpegCheck("no-mpeg-check", "Skip the MPEG validity and compatibility check.");
    const QCommandLineOption trash("trash", "Move the sources to the trash after a successful pack.");
    const QCommandLineOption trashPrompt("trash-prompt", "Ask once, then move the sources to the trash.");
    parser.addOptions({output, yes, no, force, rate, noMpegCheck, trash, trashPrompt});
    parser.addPositionalArgument("SOURCE", "The files to join, in order.", "SOURCE...");

    if (!parser.parse(QStringList{QStringLiteral("klivatarn-pack")} + arguments))
        return usageError(parser.errorText());
    if (!parser.isSet(output) || parser.value(output).trimmed().isEmpty())
        return usageError(QStringLiteral("the output file is missing (-o OUTPUT)"));
    if (parser.isSet(yes) && parser.isSet(no))
        return usageError(QStringLiteral("--yes and --no exclude each other"));
    if (parser.isSet(trash) && parser.isSet(trashPrompt))
        return usageError(QStringLiteral("--trash and --trash-prompt exclude each other"));
    const std::optional<TransferRate> chosenRate = parseRate(parser.value(rate));
    if (!chosenRate)
        return usageError(QStringLiteral("unknown rate '%1' (slow, normal, fast, ufast)").arg(parser.value(rate)));

    // A name whose bytes are not UTF-8 cannot be reached again through a QString.
    for (const QString& name : parser.positionalArguments() + QStringList{parser.value(output)}) {
        if (name.contains(QChar::ReplacementCharacter)) {
            printLine(QStringLiteral("'%1' cannot be packed: its name is not valid UTF-8.").arg(name));
            return kExitFailed;
        }
    }

    PackOptions options;
    options.output = fullPath(parser.value(output).trimmed());
    for (const QString& source : parser.positionalArguments())
        options.sources << fullPath(source);
    options.force = parser.isSet(force);
    options.mpegCheck = !parser.isSet(noMpegCheck);
    options.rate = *chosenRate;
    if (parser.isSet(trash))
        options.deleteAfter = DeleteAfterAction::NoPrompt;
    else if (parser.isSet(trashPrompt))
        options.deleteAfter = DeleteAfterAction::Prompt;

    TerminalPrompt prompt(parser.isSet(yes)  ? AnswerPolicy::Yes
                          : parser.isSet(no) ? AnswerPolicy::No
                                             : AnswerPolicy::Ask);
    CliPackHost host(options);
    File64 file;
    switch (DoPack(host, file)) {
    case PackOutcome::Packed:
        return kExitPacked;
    case PackOutcome::Cancelled:
        return kExitCancelled;
    case PackOutcome::Stopped:
    case PackOutcome::Failed:
        break;
    }
    return kExitFailed;
}

} // namespace kt::cli
