#pragma once
// The validity and compatibility check run on each source before packing.
#include <QString>
#include <QStringList>

#include "base/File64.h"

namespace kt {

struct MpegFlags
{
    bool mpegCompatible = true;    // false once a file's parameters differ from the reference
    bool mpegValid = true;         // false once a file holds no sequence header
    bool ignoreMpegErrors = false; // true once the user chose to go on despite an MPEG error
};

// Thrown (as the overflow the pack command reports with its generic failure message)
// when a file holds no start code within the chunk limit.
struct MpegScanOverflow
{
    QString path;
};

// "'<path>' is not a valid MPEG file." CR LF CR LF "Proceed packing and ignore invalid Mpeg error?"
QString notMpegQuestion(const QString& path);

// Checks one file: a file without a sequence header asks the not-MPEG question
// ("'<path>' is not a valid MPEG file." ...); otherwise its parameter text is compared
// with referenceList's first entry (added when the list is empty).
// Throws MpegScanOverflow at the chunk limit.
void VerifyMpegFile(File64& file, const QString& path, QStringList& referenceList, MpegFlags& flags);

} // namespace kt
