#include "MpegCheck.h"

#include "mpeg/HeaderScan.h"
#include "mpeg/SequenceHeader.h"
#include "platform/MessageBox.h"

namespace kt {

QString notMpegQuestion(const QString& path)
{
    return QStringLiteral("'%1' is not a valid MPEG file.\r\n\r\nProceed packing and ignore invalid Mpeg error?")
        .arg(path);
}

void VerifyMpegFile(File64& file, const QString& path, QStringList& referenceList, MpegFlags& flags)
{
    const FileScan fs = scanFileForSequenceHeader(file, path);
    if (fs.scan.outcome == ScanOutcome::ChunkLimit)
        throw MpegScanOverflow{path};
    if (fs.scan.outcome == ScanOutcome::NotFound) {
        // Also an unopenable file: nothing could be read from it.
        if (MsgBox(notMpegQuestion(path), MB_YESNO | MB_ICONHAND | MB_TOPMOST) == IDYES)
            flags.ignoreMpegErrors = true;
        flags.mpegValid = false;
        return;
    }
    const QString parameters = parameterText(decodeSequenceHeader(fs.scan.header));
    if (referenceList.isEmpty())
        referenceList.append(parameters);
    else if (parameters != referenceList.first())
        flags.mpegCompatible = false;
}

} // namespace kt
