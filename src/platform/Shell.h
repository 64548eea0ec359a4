#pragma once
// The shell seam: open a file or an address with the program the desktop associates
// with it, and move files to the trash.
#include <QString>
#include <QStringList>
#include <QVector>

namespace kt {

enum class ShellOpenResult { Opened, NotFound, Failed };

struct TrashFailure
{
    QString path;
    QString reason;
    QString inTrashAs; // empty: the file stayed where it was; else moved there, with no usable record
};

// The file a path named when it was packed: only that very file, at that size, may go to the
// trash under the path. A size of -1 asks for no check.
struct FileStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
};

struct TrashItem
{
    QString path;
    FileStamp packed;
};

struct TrashResult
{
    QStringList trashed;
    QVector<TrashFailure> failed; // these files stay where they are (but see inTrashAs)
    bool ok() const { return failed.isEmpty(); }
};

class Shell
{
public:
    virtual ~Shell() = default;
    // A local path or an URL ("https:", "mailto:"). NotFound when a local file does not exist.
    virtual ShellOpenResult open(const QString& pathOrUrl) = 0;
    // Moves each file to the trash, if it is still the file packed; never deletes permanently.
    virtual TrashResult moveToTrash(const QVector<TrashItem>& files) = 0;
};

// What the user is told when no program could open a file or address.
QString noProgramToOpenText(const QString& pathOrUrl);

void installShell(Shell* shell); // not owned
// The installed shell; without one, a shell that opens nothing and trashes with GIO.
Shell& shell();

} // namespace kt
