#include "StreamInfo.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace kt {

quint64 GetFileLen(const QString& path)
{
    if (path.isEmpty())
        return 0;
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    // Unreadable counts as missing.
    if (::access(native.constData(), R_OK) != 0)
        return 0;
    return quint64(st.st_size);
}

QString notAvailableText() { return QStringLiteral("not available"); }

} // namespace kt
