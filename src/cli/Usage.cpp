#include "Usage.h"

#include <cstdio>

namespace kt::cli {

QString usageText()
{
    return QStringLiteral("Usage: klivatarn-pack --info FILE...\n"
                          "       klivatarn-pack -o OUTPUT SOURCE...\n");
}

int usageError(const QString& message)
{
    std::fprintf(stderr, "klivatarn-pack: %s\n%s", qPrintable(message), qPrintable(usageText()));
    return kExitUsage;
}

} // namespace kt::cli
