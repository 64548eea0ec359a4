#include "Trash.h"

#include "platform/GioCalls.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#undef signals // GIO uses the word as a field name
#include <gio/gio.h>

namespace kt {
namespace {

struct Trash
{
    Q_DECLARE_TR_FUNCTIONS(kt::Trash)
};

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

// Whether the file at `native` (links followed) is the file packed, at the size packed.
bool isPacked(const QByteArray& native, const FileStamp& packed)
{
    struct stat st = {};
    return packed.size < 0 || (::stat(native.constData(), &st) == 0 && quint64(st.st_dev) == packed.device &&
                               quint64(st.st_ino) == packed.inode && qint64(st.st_size) == packed.size);
}

// The names the trash gives the next file of this name, one per trash folder: after a move
// that went wrong, what appeared under one of them is what was moved.
QVector<TrashedEntry> nextEntries(const QString& path)
{
    QVector<TrashedEntry> entries;
    const QByteArray base = QFile::encodeName(QFileInfo(path).fileName());
    for (const TrashedEntry& folder : trashFolders(path)) {
        for (int id = 1; id < 100000; ++id) {
            const QByteArray name = trashName(base, id);
            const TrashedEntry entry{folder.file + "/files/" + name,
                                     folder.file + "/info/" + name + ".trashinfo", folder.topdir};
            if (!QFileInfo::exists(QFile::decodeName(entry.file)) &&
                !QFileInfo::exists(QFile::decodeName(entry.info))) {
                entries.push_back(entry);
                break;
            }
        }
    }
    return entries;
}

QByteArray folderOf(const QByteArray& path)
{
    return path.left(path.lastIndexOf('/'));
}

bool syncPath(const QByteArray& path, int flags)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL; // EINVAL: nothing to flush there
    ::close(fd);
    return ok;
}

// GIO writes the record without flushing it: after a power cut it can be all NUL bytes, and
// nobody could tell where the file came from.
bool saveToDisk(const TrashedEntry& entry)
{
    return syncPath(entry.info, 0) && syncPath(folderOf(entry.info), O_DIRECTORY) &&
           syncPath(folderOf(entry.file), O_DIRECTORY);
}

// Back where it was, never over a file that took its place; the record goes with it. Returns
// where the file stays when it could not be put back, else an empty text.
QString putBack(const TrashedEntry& entry, const QByteArray& native)
{
    if (::renameat2(AT_FDCWD, entry.file.constData(), AT_FDCWD, native.constData(), RENAME_NOREPLACE) != 0)
        return QFile::decodeName(entry.file);
    ::unlink(entry.info.constData());
    return {};
}

} // namespace

std::optional<TrashFailure> moveFileToTrash(const TrashItem& item)
{
    const QString& path = item.path;
    const auto failure = [&](const QString& reason, const QString& inTrashAs = {}) {
        return std::optional<TrashFailure>({path, reason, inTrashAs});
    };
    // Qt 6.4's QFile::moveToTrash misbehaves on missing folders and full disks; GIO does not,
    // except that on a full disk it can leave the trash record empty: the record is read back.
    const QByteArray native = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    struct stat before = {};
    if (::lstat(native.constData(), &before) != 0)
        return failure(QString::fromLocal8Bit(std::strerror(errno)));
    if (!isPacked(native, item.packed))
        return failure(Trash::tr("it is no longer the file that was packed"));
    const QVector<TrashedEntry> next = nextEntries(path);
    const GioCalls* calls = gioCalls();
    if (!calls)
        return failure(Trash::tr("GIO (libgio-2.0.so.0) cannot be loaded"));
    GFile* file = calls->newForPath(native.constData());
    GError* gerror = nullptr;
    const gboolean ok = calls->trash(file, nullptr, &gerror);
    const QString gioReason = gerror ? QString::fromUtf8(gerror->message) : Trash::tr("unknown error");
    if (gerror)
        g_error_free(gerror);
    calls->unref(file);
    if (!ok)
        return failure(gioReason);

    const TrashedEntry entry = findTrashed(path, before);
    if (entry.file.isEmpty()) {
        // Another file took the path between the check and the move, and went instead.
        for (const TrashedEntry& moved : next) {
            if (QFileInfo::exists(QFile::decodeName(moved.file)) && recordNames(moved, native))
                return failure(Trash::tr("another file took its place as it was being moved to the "
                                         "trash; that file was put back"),
                               putBack(moved, native));
        }
        return failure(Trash::tr("no trash record could be found for it"),
                       QFile::decodeName(g_get_user_data_dir()) + QStringLiteral("/Trash"));
    }
    QString reason;
    if (!S_ISLNK(before.st_mode) && !isPacked(entry.file, item.packed))
        reason = Trash::tr("it changed as it was being moved to the trash; it was put back");
    else if (!recordNames(entry, native))
        reason = Trash::tr("its trash record could not be written");
    else if (!saveToDisk(entry))
        reason = Trash::tr("its trash record could not be saved to disk");
    else
        return std::nullopt;
    // Not restorable from the trash, or not the file packed: back where it was.
    return failure(reason, putBack(entry, native));
}

TrashResult moveFilesToTrash(const QVector<TrashItem>& files)
{
    // What an end for want of memory needs is made before the first file moves.
    TrashResult result;
    result.trashed.reserve(files.size());
    result.failed.reserve(files.size());
    QVector<QByteArray> natives;
    natives.reserve(files.size());
    for (const TrashItem& file : files)
        natives << QFile::encodeName(QFileInfo(file.path).absoluteFilePath());
    const QString noMemory = Trash::tr("there was not enough memory to go on");
    const QString trash = QFile::decodeName(g_get_user_data_dir()) + QStringLiteral("/Trash");
    for (qsizetype i = 0; i < files.size(); ++i) {
        try {
            if (const std::optional<TrashFailure> failure = moveFileToTrash(files[i]))
                result.failed.push_back(*failure);
            else
                result.trashed << files[i].path;
        } catch (const std::bad_alloc&) {
            // Not one file more: this one (in the trash if it is gone from its place) and the rest.
            struct stat st = {};
            const bool gone = ::lstat(natives[i].constData(), &st) != 0;
            result.failed.push_back({files[i].path, noMemory, gone ? trash : QString()});
            for (qsizetype j = i + 1; j < files.size(); ++j)
                result.failed.push_back({files[j].path, noMemory, {}});
            break;
        }
    }
    return result;
}

} // namespace kt
