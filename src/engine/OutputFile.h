#pragma once
// The join's output file: made ready for writing, checked and finished.
//
// An existing output is deleted first (never one that another pack is writing: every pack
// holds an advisory lock on its output, PackLock.h), then the file is created anew, refusing
// any name that exists by then, a symbolic link included, so nothing planted at the path after
// the checks is ever followed or cut: a name taken again goes back through the deletion, a few
// times. Anything but a regular file at the path (a device, a pipe, a socket, a file of the
// kernel), also behind a link, is never deleted or replaced. Before success the path must still
// name the file written, at the full size, closed without error; before sources go to the
// trash the file and its folder are flushed to disk. Questions (Retry/Cancel) go through
// MsgBox; every other end is returned as a JoinStep for the join to show.
#include "base/File64.h"
#include "engine/JoinStep.h"

#include <QString>
#include <QStringList>

namespace kt {

// The refusal when the output path is, or leads to, anything but a regular file or nothing
// (a folder itself excepted: the open asks about it); empty otherwise.
QString outputNotRegular(const QString& outputPath);

class OutputFile
{
public:
    // `sources` are never truncated, whatever the path turns out to name; the first is what
    // the too-many-files message names when the output cannot be opened.
    OutputFile(const QString& path, const QStringList& sources, File64& file);

    JoinStep prepare(); // delete an existing output, create, lock
    File64::Handle handle() const { return m_handle; }

    JoinStep flush();                            // the data on disk (fsync)
    JoinStep checkWritten(quint64 expectedSize); // the path names the file written, at this size
    JoinStep flushFolder();                      // the folder entry on disk; while open
    JoinStep close();                            // a late write error counts

private:
    JoinStep deleteExisting();
    JoinStep open(bool& nameTaken);
    JoinStep opened();
    bool folderMissing() const;
    bool createFolder() const;

    QString m_path;
    QStringList m_sources;
    File64& m_file;
    File64::Handle m_handle = File64::kInvalidHandle;
};

} // namespace kt
