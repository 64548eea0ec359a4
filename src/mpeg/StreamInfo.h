#pragma once
// Describing a file without changing it: its length and its stream-info texts.
#include <QString>

#include "engine/File64.h"

namespace kt {

// Exact length in bytes; 0 when the file is missing, unreadable or not a regular file.
// No limit on the path length.
quint64 GetFileLen(const QString& path);

struct StreamInfoTexts
{
    QString videoSize; // "352 x 240" or "not available"
    QString frameRate; // "29.97" (locale separator) or "not available"
};

QString notAvailableText();

// The two Pack List cells of a file, from its first sequence header. Opens the file
// through `file` ("READ_ONLY") and closes it again.
StreamInfoTexts GetMPEGInfo(File64& file, const QString& path);

} // namespace kt
