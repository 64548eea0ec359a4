#include "Usage.h"

#include "platform/Program.h"

#include <cstdio>

namespace kt::cli {

QString usageText()
{
    return QStringLiteral(
        "Usage: klivatarn-pack --info FILE...\n"
        "       klivatarn-pack -o OUTPUT [options] [--] SOURCE...\n"
        "\n"
        "Joins the SOURCE files, in order, byte for byte into OUTPUT after the checks of the\n"
        "pack command. Messages and questions go to stderr.\n"
        "\n"
        "  -o, --output OUTPUT  the file to write (also -oOUTPUT, --output=OUTPUT)\n"
        "  --force              replace an existing OUTPUT without asking\n"
        "  --yes / --no         answer every Yes/No question (else asked on a terminal;\n"
        "                       a question without an answer takes No or Cancel)\n"
        "  --rate RATE          slow, normal, fast (default) or ufast (also --rate=RATE)\n"
        "  --no-mpeg-check      skip the MPEG validity and compatibility check\n"
        "  --trash              move the sources to the trash after a successful pack\n"
        "  --trash-prompt       the same after one question\n"
        "  --                   end of options: what follows are files, even '-x.mpg'\n"
        "  --info               describe each FILE: path, video size, frame rate (TABs)\n"
        "  -h, --help           this text\n"
        "  --version            the program and its version\n"
        "\n"
        "Ctrl-C while packing cancels and leaves the part written so far.\n"
        "Exit status: 0 packed (or every file described), 1 refused or failed,\n"
        "2 usage error, 130 cancelled.\n");
}

QString versionLine()
{
    return QStringLiteral("klivatarn-pack ") + kt::versionText();
}

int usageError(const QString& message)
{
    const QString text =
        messagePrefix() + message + QStringLiteral("\nTry 'klivatarn-pack --help' for more information.\n");
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    return kExitUsage;
}

} // namespace kt::cli
