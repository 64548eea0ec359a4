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

} // namespace kt
