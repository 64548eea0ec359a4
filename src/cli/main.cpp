// klivatarn-pack: the command-line packer.
//   klivatarn-pack --info FILE...        the Pack List cells of each file
//   klivatarn-pack -o OUTPUT SOURCE...   join the sources into OUTPUT
#include "cli/CommandLine.h"
#include "cli/InfoCommand.h"
#include "cli/PackCommand.h"
#include "cli/Usage.h"
#include "platform/Translations.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[])
{
    using namespace kt::cli;
    QCoreApplication app(argc, argv);
    kt::installTranslations(app);
    const auto parsed = parseCommandLine(app.arguments().mid(1));
    if (const auto* problem = std::get_if<UsageProblem>(&parsed))
        return usageError(problem->text);
    const CommandLine& line = std::get<CommandLine>(parsed);
    switch (line.command) {
    case Command::Help:
        std::fputs(qPrintable(usageText()), stdout);
        return kExitPacked;
    case Command::Version:
        std::fputs(qPrintable(versionLine() + QLatin1Char('\n')), stdout);
        return kExitPacked;
    case Command::Info:
        return runInfo(line.files, line.infoFormat);
    case Command::Pack:
        break;
    }
    return runPack(line);
}
