#include "StreamInfo.h"

#include "mpeg/HeaderScan.h"
#include "mpeg/SequenceHeader.h"
#include "platform/MessageBox.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {

quint64 GetFileLen(const QString& path)
{
    if (path.isEmpty())
        return 0;
    struct stat st
    {
    };
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    // Unreadable counts as missing.
    if (::access(native.constData(), R_OK) != 0)
        return 0;
    return quint64(st.st_size);
}

QString notAvailableText()
{
    return QStringLiteral("not available");
}

StreamInfoTexts GetMPEGInfo(File64& file, const QString& path)
{
    StreamInfoTexts texts{notAvailableText(), notAvailableText()};
    const FileScan fs = scanFileForSequenceHeader(file, path);
    if (!fs.opened())
        MsgBox(File64::openErrorText(fs.open), File64::kOpenErrorStyle);
    // No header, an unopenable file and the chunk limit all leave "not available".
    if (fs.scan.outcome != ScanOutcome::Found)
        return texts;
    const SequenceHeader header = decodeSequenceHeader(fs.scan.header);
    texts.videoSize = videoSizeText(header);
    texts.frameRate = frameRateText(header.frameRateCode);
    return texts;
}

} // namespace kt
