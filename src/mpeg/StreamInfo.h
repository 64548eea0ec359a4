#pragma once
// Describing a file without changing it: its length and its stream-info texts.
#include "base/File64.h"

#include <QString>

namespace kt {

// Exact length in bytes; 0 when the file is missing, unreadable or not a regular file.
// No path-length limit of its own (only the system's, 4,096 bytes on Linux).
quint64 GetFileLen(const QString& path);

struct StreamInfoTexts
{
    QString videoSize; // "352 x 240" or "not available"
    QString frameRate; // "29.97" (locale separator) or "not available"
};

// The cell text of a file without a sequence header: "not available".
QString notAvailableText();

// The two Pack List cells of a file, from its first sequence header; "not available"
// when it has none within the chunk limit or cannot be opened (the scan then shows the open
// error). Opens the file through `file`, read only and without creating a missing one,
// and closes it again. The hourglass around the call is the caller's.
StreamInfoTexts GetMPEGInfo(File64& file, const QString& path);

} // namespace kt
