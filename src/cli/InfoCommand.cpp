#include "InfoCommand.h"

#include "base/File64.h"
#include "base/TextUtils.h"
#include "cli/Terminal.h"
#include "cli/Usage.h"
#include "mpeg/HeaderScan.h"
#include "mpeg/SequenceHeader.h"
#include "mpeg/StreamDetails.h"
#include "mpeg/StreamInfo.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <cstdio>
#include <cstring>

namespace kt::cli {
namespace {

struct Packer
{
    Q_DECLARE_TR_FUNCTIONS(kt::cli::Packer)
};

void printCannotOpen(const QString& path, int error)
{
    printLine(
        Packer::tr("cannot open %1: %2").arg(quotedName(path), QString::fromLocal8Bit(std::strerror(error))));
}

int runJson(const QStringList& files)
{
    bool allDescribed = true;
    QJsonArray array;
    for (const QString& path : files) {
        const StreamDetails details = describeStream(path);
        if (details.openError != 0) {
            allDescribed = false;
            printCannotOpen(path, details.openError);
        }
        array.append(streamDetailsJson(details));
    }
    const QByteArray text = QJsonDocument(array).toJson(QJsonDocument::Indented);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
    return allDescribed ? kExitPacked : kExitFailed;
}

} // namespace

int runInfo(const QStringList& files, InfoFormat format)
{
    if (format == InfoFormat::Json)
        return runJson(files);
    File64 file;
    bool allDescribed = true;
    for (const QString& path : files) {
        StreamInfoTexts texts{notAvailableText(), notAvailableText()};
        const FileScan fs = scanFileForSequenceHeader(file, path);
        if (!fs.opened()) {
            allDescribed = false;
            printCannotOpen(path, fs.open.error);
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
