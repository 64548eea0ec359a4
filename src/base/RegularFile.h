#pragma once
// Reading the small files that sit beside the executable (icons, tips) without letting one of
// them hang or flood the program: a pipe, a device or a folder put in a file's place is
// refused at once, and no more than a bound is ever read.
#include <QByteArray>
#include <QString>
#include <optional>

namespace kt {

// A descriptor (read-only, close-on-exec) on the ordinary file at `path`, or -1 when it
// cannot be opened or is not an ordinary file. Never waits for a writer.
int openRegularFile(const QString& path);

struct FilePrefix
{
    QByteArray bytes;   // the first bytes of the file, at most the limit asked for
    bool whole = false; // the file ends within them
};

// The first `limit` bytes of the ordinary file at `path`; nothing when it cannot be opened,
// is not an ordinary file, or a read fails.
std::optional<FilePrefix> readRegularFilePrefix(const QString& path, qint64 limit);

} // namespace kt
