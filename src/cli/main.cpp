// klivatarn-pack: the command-line packer.
//   klivatarn-pack --info FILE...        the Pack List cells of each file
//   klivatarn-pack -o OUTPUT SOURCE...   join the sources into OUTPUT
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "cli/InfoCommand.h"
#include "cli/PackCommand.h"
#include "cli/Usage.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == QLatin1String("--info"))
        return kt::cli::runInfo(args.mid(1));
    if (!args.isEmpty() && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))) {
        std::fputs(qPrintable(kt::cli::usageText()), stdout);
        return 0;
    }
    return kt::cli::runPack(args);
}
