#pragma once
// The join's output file: made ready for writing, checked and finished.
//
// An existing output is deleted first (never one that another pack is writing: every pack
// holds an advisory lock on its output), then the file is opened, locked and cut to nothing,
// so no byte of an old file survives. Before success the path must still name the file
// written, at the full size, closed without error; before sources go to the trash the file
// and its folder are flushed to disk. Questions (Retry/Cancel) go through MsgBox; every
// other end is returned as a JoinStep for the join to show.
#include "base/File64.h"
#include "engine/JoinStep.h"

#include <QString>

namespace kt {

class OutputFile
{
public:
    // `firstSource` is what the too-many-files message names when the output cannot be opened.
    OutputFile(const QString& path, const QString& firstSource, File64& file);

    JoinStep prepare(); // delete an existing output, open, lock and cut
    File64::Handle handle() const { return m_handle; }

    JoinStep flush();                            // the data on disk (fsync)
    JoinStep checkWritten(quint64 expectedSize); // the path names the file written, at this size
    JoinStep close();                            // a late write error counts
    JoinStep flushFolder();                      // the folder entry on disk

private:
    JoinStep deleteExisting();
    JoinStep open();
    bool folderMissing() const;
    bool createFolder() const;

    QString m_path;
    QString m_firstSource;
    File64& m_file;
    File64::Handle m_handle = File64::kInvalidHandle;
};

} // namespace kt
