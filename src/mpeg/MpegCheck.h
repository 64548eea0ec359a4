#pragma once
// The validity and compatibility check run on each source before packing.
#include "base/File64.h"

#include <QString>
#include <QStringList>

namespace kt {

// What the check found about one file, with the user's answer where it asked one.
enum class MpegVerdict {
    Same,        // its parameters equal the reference (or, as the first file, became it)
    Differs,     // its parameters differ from the reference
    NotMpegGoOn, // no sequence header; the user chose to go on and ignore MPEG errors
    NotMpegStop, // no sequence header; the user declined to go on
    ScanLimit    // no start code within the scan's chunk limit: a failure, nothing asked
};

// "'<path>' is not a valid MPEG file." CR LF CR LF "Proceed packing and ignore invalid Mpeg error?"
QString notMpegQuestion(const QString& path);

// Checks one file. A file without a sequence header (also one that cannot be opened, after
// File64's open error) asks the not-MPEG question: Yes, No, stop icon, topmost. Otherwise
// its parameter text is compared with referenceList's first entry (added when the list is
// empty).
MpegVerdict VerifyMpegFile(File64& file, const QString& path, QStringList& referenceList);

} // namespace kt
