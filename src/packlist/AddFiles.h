#pragma once
// Adding files to the Pack List: the Add dialog's result, dropped file lists, and the
// pending reorder that a drop of anything else leaves behind.
//
// Every accepted file becomes one new row at the end, its two information cells taken
// from the stream-info source when the row is added. Folders are skipped; nothing else
// is turned away (duplicates and non-MPEG files are added too). The one message: a name
// whose bytes are not UTF-8 cannot be reached, and the user is told which were skipped.
#include "mpeg/StreamInfo.h"
#include "packlist/PackList.h"

#include <QString>
#include <QStringList>
#include <functional>

class QMimeData;

namespace kt {

class File64;

// The two information cells of a path.
using StreamInfoSource = std::function<StreamInfoTexts(const QString& path)>;

// GetMPEGInfo through `file` (which must outlive the source).
StreamInfoSource mpegInfoSource(File64& file);

struct AppendedFiles
{
    int added = 0;
    QStringList unreachable; // names not valid UTF-8, as shown (U+FFFD for their bytes)
};

// Appends the paths in order, skipping folders, names that do not exist (a file gone
// between choosing and adding) and names that cannot be reached; says nothing.
AppendedFiles appendPaths(PackList& list, const QStringList& paths, const StreamInfoSource& info);

// "2 files were not added: ..." naming each (the first ten), with what to do about it.
QString unreachableNamesText(const QStringList& names);
// Shows that text (exclamation icon) when there are names; nothing otherwise.
void tellUnreachableNames(const QStringList& names);

// appendPaths, then tellUnreachableNames. Returns the number of rows added.
int AppendFiles(PackList& list, const QStringList& paths, const StreamInfoSource& info);

// The Add dialog's texts.
QString addFilesDialogTitle(); // "Add Files... (multiple selection possible)"

// Asks for files with the open dialog (fileDialogs(): the title above, mediaFileFilter(),
// no initial folder) and appends the chosen ones. Cancel adds nothing. Returns the
// number of rows added.
int ShowAddFilesDialog(PackList& list, const StreamInfoSource& info);

// Local file names carried by dropped data, in the drop's order; empty when the data
// carries no file list.
QStringList droppedFileNames(const QMimeData& data);

// A drop on the list. A file list is appended and settles the drop; any other data adds
// nothing and leaves a reorder pending, which the next pointer movement over the list
// completes (the dragged rows land on the row under the pointer).
class PackListDrop
{
public:
    // What was added (nothing for data that is not a file list); says nothing, so that
    // the window can tell of unreachable names once the drop is over.
    AppendedFiles drop(PackList& list, const QMimeData& data, const StreamInfoSource& info);

    bool itemDropPending() const { return m_pending; }
    int dropPointerY() const { return m_pointerY; }

    // The pointer moved over the list, at y twips within it; textHeight is the height of
    // "Xyz" in the window's font and topIndex the 0-based first visible row. Completes a
    // pending reorder; returns true when rows moved.
    bool pointerMoved(PackList& list, int yTwips, int textHeightTwips, int topIndex);

    // A pending reorder completed at a row already known (the view's row under a drop).
    bool completeAt(PackList& list, int targetRow);

private:
    bool m_pending = false;
    int m_pointerY = 0;
};

} // namespace kt
