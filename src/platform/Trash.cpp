#include "Trash.h"

#include "platform/GioCalls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#undef signals // GIO uses the word as a field name
#include <gio/gio.h>

namespace kt {
namespace {

struct TrashedEntry
{
    QByteArray file;   // where the file now is
    QByteArray info;   // its .trashinfo record
    QByteArray topdir; // the volume's top folder for a volume trash (relative Path= lines), else empty
};

// The trash folders a file of this path can have gone to: the user's own, then the two
// folders at the top of its volume.
QVector<TrashedEntry> trashFolders(const QString& path)
{
    QVector<TrashedEntry> folders;
    folders.push_back({QByteArray(g_get_user_data_dir()) + "/Trash", {}, {}});
    const QByteArray top = QFile::encodeName(QStorageInfo(QFileInfo(path).absolutePath()).rootPath());
    if (!top.isEmpty()) {
        const QByteArray uid = QByteArray::number(::getuid());
        const QByteArray root = top == "/" ? QByteArray() : top;
        folders.push_back({root + "/.Trash/" + uid, {}, top});
        folders.push_back({root + "/.Trash-" + uid, {}, top});
    }
    return folders;
}

// The names GIO gives a file in the trash, in the order it tries them: the name itself, then
// with a number before the first dot ("clip.2.mpg").
QByteArray trashName(const QByteArray& base, int id)
{
    if (id == 1)
        return base;
    const qsizetype dot = base.indexOf('.');
    const QByteArray number = "." + QByteArray::number(id);
    return dot < 0 ? base + number : base.left(dot) + number + base.mid(dot);
}

bool sameInode(const QByteArray& path, const struct stat& before)
{
    struct stat st = {};
    return ::lstat(path.constData(), &st) == 0 && st.st_dev == before.st_dev && st.st_ino == before.st_ino;
}

// Finds the moved file by its device and inode (a rename keeps both): first among the names
// the trash gives it, then anywhere in the trash folders.
TrashedEntry findTrashed(const QString& path, const struct stat& before)
{
    const QByteArray base = QFile::encodeName(QFileInfo(path).fileName());
    const QVector<TrashedEntry> folders = trashFolders(path);
    for (const TrashedEntry& folder : folders) {
        for (int id = 1; id < 100000; ++id) {
            const QByteArray name = trashName(base, id);
            const QByteArray candidate = folder.file + "/files/" + name;
            const QByteArray info = folder.file + "/info/" + name + ".trashinfo";
            if (sameInode(candidate, before))
                return {candidate, info, folder.topdir};
            if (!QFileInfo::exists(QFile::decodeName(candidate)) &&
                !QFileInfo::exists(QFile::decodeName(info)))
                break; // the first free name: the trash would have taken this one
        }
    }
    for (const TrashedEntry& folder : folders) {
        const QByteArray files = folder.file + "/files";
        const QStringList names =
            QDir(QFile::decodeName(files))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : names) {
            const QByteArray native = QFile::encodeName(name);
            if (sameInode(files + "/" + native, before))
                return {files + "/" + native, folder.file + "/info/" + native + ".trashinfo", folder.topdir};
        }
    }
    return {};
}

// Whether the record's Path= line names the original place of the file.
bool recordNames(const TrashedEntry& entry, const QByteArray& original)
{
    QFile record(QFile::decodeName(entry.info));
    if (!record.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = record.read(1 << 20).split('\n');
    for (const QByteArray& line : lines) {
        if (!line.startsWith("Path="))
            continue;
        QByteArray named = QByteArray::fromPercentEncoding(line.mid(5).trimmed());
        if (!named.startsWith('/'))
            named = (entry.topdir == "/" ? QByteArray() : entry.topdir) + "/" + named;
        return QDir::cleanPath(QFile::decodeName(named)) == QDir::cleanPath(QFile::decodeName(original));
    }
    return false;
}

} // namespace

bool moveFileToTrash(const QString& path, TrashFailure* failure)
{
    TrashFailure ignored;
    TrashFailure& f = failure ? *failure : ignored;
    f = {path, {}, {}};
    // Qt 6.4's QFile::moveToTrash misbehaves on missing folders and full disks; GIO does not,
    // except that on a full disk it can leave the trash record empty: the record is read back.
    const QByteArray native = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    struct stat before = {};
    const bool known = ::lstat(native.constData(), &before) == 0;
    const GioCalls* calls = gioCalls();
    if (!calls) {
        f.reason = QStringLiteral("GIO (libgio-2.0.so.0) cannot be loaded");
        return false;
    }
    GFile* file = calls->newForPath(native.constData());
    GError* gerror = nullptr;
    const gboolean ok = calls->trash(file, nullptr, &gerror);
    if (!ok)
        f.reason = gerror ? QString::fromUtf8(gerror->message) : QStringLiteral("unknown error");
    if (gerror)
        g_error_free(gerror);
    calls->unref(file);
    if (!ok || !known)
        return ok;

    const TrashedEntry entry = findTrashed(path, before);
    if (entry.file.isEmpty()) {
        f.reason = QStringLiteral("no trash record could be found for it");
        f.inTrashAs = QFile::decodeName(g_get_user_data_dir()) + QStringLiteral("/Trash");
        return false;
    }
    if (recordNames(entry, native))
        return true;
    f.reason = QStringLiteral("its trash record could not be written");
    // Not restorable from the trash: back where it was, never over a file that took its place.
    if (::renameat2(AT_FDCWD, entry.file.constData(), AT_FDCWD, native.constData(), RENAME_NOREPLACE) != 0) {
        f.inTrashAs = QFile::decodeName(entry.file);
        return false;
    }
    ::unlink(entry.info.constData());
    return false;
}

TrashResult moveFilesToTrash(const QStringList& paths)
{
    TrashResult result;
    for (const QString& path : paths) {
        TrashFailure failure;
        if (moveFileToTrash(path, &failure))
            result.trashed << path;
        else
            result.failed.push_back(failure);
    }
    return result;
}

} // namespace kt
