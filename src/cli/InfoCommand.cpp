#include "InfoCommand.h"

#include <cstdio>

#include "cli/Usage.h"
#include "base/File64.h"
#include "mpeg/StreamInfo.h"

namespace kt::cli {

int runInfo(const QStringList& files)
{
    if (files.isEmpty())
        return usageError(QStringLiteral("--info needs at least one file"));
    File64 file;
    for (const QString& path : files) {
        const StreamInfoTexts texts = GetMPEGInfo(file, path);
        const QString line = path + QLatin1Char('\t') + texts.videoSize + QLatin1Char('\t') + texts.frameRate
                             + QLatin1Char('\n');
        std::fputs(line.toLocal8Bit().constData(), stdout);
    }
    std::fflush(stdout);
    return kExitPacked;
}

} // namespace kt::cli
