#include "CommandLine.h"

#include <QCommandLineParser>

namespace kt::cli {

std::variant<CommandLine, UsageProblem> parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Clustered short options: "-oFILE" is -o with the value FILE, as getopt reads it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption output({"o", "output"}, QString(), "OUTPUT");
    const QCommandLineOption yes("yes");
    const QCommandLineOption no("no");
    const QCommandLineOption force("force");
    const QCommandLineOption rate("rate", QString(), "RATE", "fast");
    const QCommandLineOption noMpegCheck("no-mpeg-check");
    const QCommandLineOption trash("trash");
    const QCommandLineOption trashPrompt("trash-prompt");
    const QCommandLineOption info("info");
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version("version");
    parser.addOptions({output, yes, no, force, rate, noMpegCheck, trash, trashPrompt, info, help, version});

    if (!parser.parse(QStringList{QStringLiteral("klivatarn-pack")} + arguments))
        return UsageProblem{parser.errorText()};
    CommandLine line;
    if (parser.isSet(help)) {
        line.command = Command::Help;
        return line;
    }
    if (parser.isSet(version)) {
        line.command = Command::Version;
        return line;
    }
    line.files = parser.positionalArguments();
    const QList<QCommandLineOption> packOnly{output, yes, no, force, rate, noMpegCheck, trash, trashPrompt};
    if (parser.isSet(info)) {
        for (const QCommandLineOption& o : packOnly)
            if (parser.isSet(o))
                return UsageProblem{QStringLiteral("--info takes no other option than --")};
        if (line.files.isEmpty())
            return UsageProblem{QStringLiteral("--info needs at least one file")};
        line.command = Command::Info;
        return line;
    }

    if (!parser.isSet(output) || parser.value(output).trimmed().isEmpty())
        return UsageProblem{QStringLiteral("the output file is missing (-o OUTPUT)")};
    if (parser.isSet(yes) && parser.isSet(no))
        return UsageProblem{QStringLiteral("--yes and --no exclude each other")};
    if (parser.isSet(trash) && parser.isSet(trashPrompt))
        return UsageProblem{QStringLiteral("--trash and --trash-prompt exclude each other")};
    const std::optional<TransferRate> chosenRate = transferRateFromName(parser.value(rate));
    if (!chosenRate)
        return UsageProblem{
            QStringLiteral("unknown rate '%1' (slow, normal, fast, ufast)").arg(parser.value(rate))};

    line.output = parser.value(output).trimmed();
    line.answers = parser.isSet(yes)  ? AnswerPolicy::Yes
                   : parser.isSet(no) ? AnswerPolicy::No
                                      : AnswerPolicy::Ask;
    line.options.force = parser.isSet(force);
    line.options.mpegCheck = !parser.isSet(noMpegCheck);
    line.options.rate = *chosenRate;
    if (parser.isSet(trash))
        line.options.deleteAfter = DeleteAfterAction::NoPrompt;
    else if (parser.isSet(trashPrompt))
        line.options.deleteAfter = DeleteAfterAction::Prompt;
    return line;
}

} // namespace kt::cli
