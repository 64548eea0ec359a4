#include "SameFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace kt {
namespace {

FileIdentity identityOf(const struct stat& st)
{
    return {st.st_dev, st.st_ino, qint64(st.st_size), st.st_nlink, true, S_ISREG(st.st_mode)};
}

// A folder listing that holds exactly this name (not only a case-folded match).
bool listedExactly(const QDir& dir, const QString& name)
{
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        .contains(name);
}

} // namespace

FileIdentity identityOfPath(const QString& path)
{
    struct stat st = {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 ? identityOf(st)
                                                                                    : FileIdentity{};
}

FileIdentity identityOfHandle(int fd)
{
    struct stat st = {};
    return ::fstat(fd, &st) == 0 ? identityOf(st) : FileIdentity{};
}

bool isSameFile(const QString& a, const QString& b)
{
    if (a == b)
        return !a.isEmpty();
    const FileIdentity fa = identityOfPath(a), fb = identityOfPath(b);
    if (!fa.exists || !fb.exists)
        return false; // a name that does not exist cannot be an existing source
    if (fa.sameFile(fb))
        return true;

    // Case-folding file systems may hand out a different inode per spelling.
    const QFileInfo ia(a), ib(b);
    const QString na = ia.fileName(), nb = ib.fileName();
    if (na == nb || na.compare(nb, Qt::CaseInsensitive) != 0)
        return false;
    if (!identityOfPath(ia.absolutePath()).sameFile(identityOfPath(ib.absolutePath())))
        return false;
    const QDir dir(ia.absolutePath());
    return !listedExactly(dir, na) || !listedExactly(dir, nb);
}

} // namespace kt
