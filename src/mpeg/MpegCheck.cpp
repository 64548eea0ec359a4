#include "MpegCheck.h"

#include "base/TextUtils.h"
#include "mpeg/HeaderScan.h"
#include "mpeg/SequenceHeader.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>

namespace kt {

QString notMpegQuestion(const QString& path)
{
    return QCoreApplication::translate(
               "kt::MpegCheck",
               "%1 is not a valid MPEG file.\r\n\r\nProceed packing and ignore invalid Mpeg error?")
        .arg(quotedName(path));
}

MpegVerdict VerifyMpegFile(File64& file, const QString& path, QStringList& referenceList)
{
    const FileScan fs = scanFileForSequenceHeader(file, path);
    if (!fs.opened())
        MsgBox(File64::openErrorText(fs.open), File64::kOpenErrorStyle);
    switch (fs.scan.outcome) {
    case ScanOutcome::ChunkLimit:
        return MpegVerdict::ScanLimit;
    case ScanOutcome::NotFound:
        // Also an unopenable file: nothing could be read from it.
        return MsgBox(notMpegQuestion(path), MB_YESNO | MB_ICONHAND | MB_TOPMOST) == IDYES
                   ? MpegVerdict::NotMpegGoOn
                   : MpegVerdict::NotMpegStop;
    case ScanOutcome::Found:
        break;
    }
    const QString parameters = parameterText(decodeSequenceHeader(fs.scan.header));
    if (referenceList.isEmpty())
        referenceList.append(parameters);
    return parameters == referenceList.first() ? MpegVerdict::Same : MpegVerdict::Differs;
}

} // namespace kt
