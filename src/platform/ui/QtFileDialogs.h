#pragma once
// The window's open and save dialogs: QFileDialog.
#include "platform/FileDialogs.h"

#include <QFileDialog>
#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace kt {

// Each dialog belongs to a window: modal to it and placed over it. The owner is the one
// set here, or else the window the user is working in (the active modal dialog, the active
// window, or the program's main window).
class QtFileDialogs final : public FileDialogs
{
public:
    explicit QtFileDialogs(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }
    QStringList getOpenFileNames(const FileDialogRequest& request) override;
    QString getSaveFileName(const FileDialogRequest& request) override;

private:
    QWidget* owner() const;

    QPointer<QWidget> m_owner;
};

// The names in the dialog's file-name box: one name as typed, or several each in double
// quotes ("a.mpg" "b.mp3"), as the dialog writes a multiple selection. A name may
// itself contain `"`: items are told apart by the `" "` between them.
QStringList typedFileNames(const QString& text);

// The multi-selection open dialog. Qt's own dialog takes the typed names only when
// nothing is selected in its list, so a typed name that the filter hides is lost as soon
// as another one is shown; and it splits names at every `"`. Here the file-name box is
// read as typed: every name that names a file is chosen, whatever the filter shows, a
// pattern filters the list (as in every file dialog), and a name that names nothing keeps
// the dialog open with a message saying which. Files whose names are not UTF-8 cannot be
// listed: a note under the list says how many the folder holds and names them. A name
// typed with U+FFFD in it is chosen as typed: the one who adds it says it cannot be reached.
class AddFilesDialog : public QFileDialog
{
    Q_OBJECT
public:
    AddFilesDialog(QWidget* owner, const FileDialogRequest& request);

    // The chosen files as full paths, in the order typed; valid once accepted.
    QStringList chosenFiles() const { return m_chosen; }
    QLineEdit* fileNameEdit() const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepOpenButtonUsable();
    // Shows the files that match the typed patterns, in the folder the text names.
    void filterBy(const QString& typed);
    // The note on the files of the folder shown that the list leaves out.
    void noteUnlistedFiles();

    QStringList m_chosen;
    QLabel* m_note = nullptr;
};

} // namespace kt
