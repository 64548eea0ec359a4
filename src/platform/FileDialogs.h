#pragma once
// The open and save dialog seam.
//
// Filters are given in the classic form "Description|*.a;*.b|Other|*.c" and turned
// into Qt's "Name (*.a *.b);;Other (*.c)" form by toQtFilter().
#include <QString>
#include <QStringList>

namespace kt {

struct FileDialogRequest
{
    QString title;
    QString filter;     // classic pipe form
    QString initialDir; // empty: the dialog's own choice
};

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Multi-selection open dialog: the chosen files as full paths in the dialog's
    // order, or an empty list when cancelled.
    virtual QStringList getOpenFileNames(const FileDialogRequest& request) = 0;
    // Save dialog with its own overwrite prompt: the chosen path, or empty when cancelled.
    virtual QString getSaveFileName(const FileDialogRequest& request) = 0;
};

void installFileDialogs(FileDialogs* dialogs); // not owned
// The installed dialogs; without one, a stand-in that cancels every dialog.
FileDialogs& fileDialogs();

// "Mpeg (*.mpg, *.mpeg)|*.mpg;*.mpeg|All Files (*.*)|*.*" ->
// "Mpeg (*.mpg *.mpeg);;All Files (*)"
QString toQtFilter(const QString& pipeFilter);

// The filter shared by the Add and Save dialogs.
QString mediaFileFilter();

// A name whose bytes are not UTF-8: it was shown with U+FFFD in their place, and as shown
// it names no file, so the file cannot be reached through it.
bool isUnreachableName(const QString& path);

// The ordinary files in `folder` whose names are not UTF-8 and match one of `patterns`,
// sorted, as shown (U+FFFD for the bytes). Qt's own listings leave such files out.
QStringList unreachableFilesIn(const QString& folder, const QStringList& patterns);

// "'a'" + separator + "'b'" for the first ten names, then "(and 3 more)".
QString quotedNames(const QStringList& names, const QString& separator);

} // namespace kt
