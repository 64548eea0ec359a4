#include "InfoCommand.h"

#include <cstdio>

#include "cli/Usage.h"

namespace kt::cli {

int runInfo(const QStringList& files)
{
    if (files.isEmpty())
        return usageError(QStringLiteral("--info needs at least one file"));
    return kExitPacked;
}

} // namespace kt::cli
