#include "SameFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace kt {
namespace {

bool statPath(const QString& path, struct stat& st)
{
    if (path.isEmpty())
        return false;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

bool sameInode(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A folder listing that holds exactly this name (not only a case-folded match).
bool listedExactly(const QDir& dir, const QString& name)
{
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        .contains(name);
}

} // namespace

bool isSameFile(const QString& a, const QString& b)
{
    if (a == b)
        return !a.isEmpty();
    struct stat sa
    {
    }, sb{};
    if (!statPath(a, sa) || !statPath(b, sb))
        return false; // a name that does not exist cannot be an existing source
    if (sameInode(sa, sb))
        return true;

    // Case-folding file systems may hand out a different inode per spelling.
    const QFileInfo ia(a), ib(b);
    const QString na = ia.fileName(), nb = ib.fileName();
    if (na == nb || na.compare(nb, Qt::CaseInsensitive) != 0)
        return false;
    struct stat pa
    {
    }, pb{};
    if (!statPath(ia.absolutePath(), pa) || !statPath(ib.absolutePath(), pb) || !sameInode(pa, pb))
        return false;
    const QDir dir(ia.absolutePath());
    return !listedExactly(dir, na) || !listedExactly(dir, nb);
}

} // namespace kt
