#include "Usage.h"

#include <cstdio>

namespace kt::cli {

QString usageText()
{
    return QStringLiteral(
        "Usage: klivatarn-pack --info FILE...\n"
        "       klivatarn-pack -o OUTPUT [options] SOURCE...\n"
        "\n"
        "Joins the SOURCE files, in order, byte for byte into OUTPUT after the checks of the\n"
        "pack command. Messages and questions go to stderr.\n"
        "\n"
        "  -o, --output OUTPUT  the file to write\n"
        "  --force              replace an existing OUTPUT without asking\n"
        "  --yes / --no         answer every Yes/No question (else asked on a terminal;\n"
        "                       a question without an answer takes No or Cancel)\n"
        "  --rate RATE          slow, normal, fast (default) or ufast\n"
        "  --no-mpeg-check      skip the MPEG validity and compatibility check\n"
        "  --trash              move the sources to the trash after a successful pack\n"
        "  --trash-prompt       the same after one question\n"
        "\n"
        "Ctrl-C while packing cancels and leaves the part written so far.\n"
        "Exit status: 0 packed, 1 refused or failed, 2 usage error, 130 cancelled.\n");
}

int usageError(const QString& message)
{
    std::fprintf(stderr, "klivatarn-pack: %s\n%s", qPrintable(message), qPrintable(usageText()));
    return kExitUsage;
}

} // namespace kt::cli
