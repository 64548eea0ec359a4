#include "InfoCommand.h"

#include "base/File64.h"
#include "base/TextUtils.h"
#include "cli/Terminal.h"
#include "cli/Usage.h"
#include "mpeg/HeaderScan.h"
#include "mpeg/SequenceHeader.h"
#include "mpeg/StreamInfo.h"

#include <QCoreApplication>
#include <QLocale>
#include <cstdio>
#include <cstring>

namespace kt::cli {
namespace {

struct Packer
{
    Q_DECLARE_TR_FUNCTIONS(kt::cli::Packer)
};

} // namespace

int runInfo(const QStringList& files, InfoFormat format)
{
    File64 file;
    bool allDescribed = true;
    for (const QString& path : files) {
        StreamInfoTexts texts{notAvailableText(), notAvailableText()};
        const FileScan fs = scanFileForSequenceHeader(file, path);
        if (!fs.opened()) {
            allDescribed = false;
            printLine(Packer::tr("cannot open %1: %2")
                          .arg(quotedName(path), QString::fromLocal8Bit(std::strerror(fs.open.error))));
        }
        if (fs.scan.outcome == ScanOutcome::Found) {
            const SequenceHeader header = decodeSequenceHeader(fs.scan.header);
            texts.videoSize = videoSizeText(header);
            // Scripts read this column: always a '.' as the decimal point.
            texts.frameRate = frameRateText(header.frameRateCode, QLocale::c());
        }
        const bool nul = format == InfoFormat::NulRows;
        const QByteArray row = ((nul ? path : escapeControls(path, true)) + QLatin1Char('\t') +
                                texts.videoSize + QLatin1Char('\t') + texts.frameRate)
                                   .toLocal8Bit();
        std::fwrite(row.constData(), 1, size_t(row.size()), stdout);
        std::fputc(nul ? '\0' : '\n', stdout);
    }
    std::fflush(stdout);
    return allDescribed ? kExitPacked : kExitFailed;
}

} // namespace kt::cli
