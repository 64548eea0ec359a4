#include "QtFileDialogs.h"

#include "platform/MessageBox.h"
#include "platform/Program.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace kt {

QStringList typedFileNames(const QString& typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {};
    const QLatin1Char quote('"');
    if (text.size() < 2 || !text.startsWith(quote) || !text.endsWith(quote))
        return {text};
    // "a" "b" "c": strip the outer quotes, then cut at each closing quote that blanks and
    // an opening quote follow.
    static const QRegularExpression between(QStringLiteral("\"\\s+\""));
    QStringList names = text.mid(1, text.size() - 2).split(between);
    names.removeAll(QString());
    return names;
}

AddFilesDialog::AddFilesDialog(QWidget* owner, const FileDialogRequest& request)
    : QFileDialog(owner, request.title, request.initialDir)
{
    setObjectName(QStringLiteral("AddFilesDialog"));
    // Qt's own dialog, so that the file-name box is read by accept() below (a native
    // dialog would answer by itself).
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = toQtFilter(request.filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    setNameFilters(filters);
    if (!filters.isEmpty())
        selectNameFilter(filters.first());
    if (QLineEdit* edit = fileNameEdit()) {
        edit->installEventFilter(this);
        // Qt greys Open when a typed name is not in its filtered list; here that name
        // still counts, so Open stays usable whenever something is typed.
        connect(edit, &QLineEdit::textChanged, this, &AddFilesDialog::keepOpenButtonUsable,
                Qt::QueuedConnection);
    }
    if (auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
        if (QPushButton* open = box->button(QDialogButtonBox::Open))
            open->installEventFilter(this);
}

QLineEdit* AddFilesDialog::fileNameEdit() const
{
    return findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

void AddFilesDialog::keepOpenButtonUsable()
{
    const QLineEdit* edit = fileNameEdit();
    auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* open = box ? box->button(QDialogButtonBox::Open) : nullptr;
    if (edit && open && !open->isEnabled() && !edit->text().trimmed().isEmpty())
        open->setEnabled(true);
}

bool AddFilesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && watched != fileNameEdit())
        QMetaObject::invokeMethod(this, &AddFilesDialog::keepOpenButtonUsable, Qt::QueuedConnection);
    if (watched == fileNameEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept(); // whatever Qt thinks of the names, they are judged here
            return true;
        }
    }
    return QFileDialog::eventFilter(watched, event);
}

void AddFilesDialog::accept()
{
    const QLineEdit* edit = fileNameEdit();
    const QStringList names = typedFileNames(edit ? edit->text() : QString());
    const QDir folder = directory();
    auto resolve = [&folder](const QString& name) { return QDir::cleanPath(folder.absoluteFilePath(name)); };

    // A folder name alone, "..", or nothing typed: Qt's own handling (it opens the folder).
    if (names.isEmpty() || (names.size() == 1 && QFileInfo(resolve(names.first())).isDir())) {
        QFileDialog::accept();
        return;
    }
    // The whole text may be one name that merely looks like a quoted list.
    QStringList candidates = names;
    if (names.size() > 1 && edit && QFileInfo(resolve(edit->text().trimmed())).isFile())
        candidates = {edit->text().trimmed()};

    QStringList files;
    QStringList missing;
    for (const QString& name : std::as_const(candidates)) {
        const QFileInfo info(resolve(name));
        if (!info.exists())
            missing << name;
        else if (!info.isDir()) // folders among several names are skipped
            files << info.absoluteFilePath();
    }
    if (!missing.isEmpty()) {
        const QString names = QLatin1Char('\'') + missing.join(QStringLiteral("', '")) + QLatin1Char('\'');
        MsgBox(names + (missing.size() == 1 ? QStringLiteral(" was") : QStringLiteral(" were")) +
                   QStringLiteral(" not found in '") + QDir::toNativeSeparators(folder.absolutePath()) +
                   QStringLiteral("'. Check the names; nothing has been added yet."),
               MB_ICONEXCLAMATION, programTitle());
        return; // the dialog stays open to correct the names
    }
    m_chosen = files;
    QDialog::accept();
}

QStringList QtFileDialogs::getOpenFileNames(const FileDialogRequest& request)
{
    AddFilesDialog dialog(m_owner, request);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosenFiles();
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest& request)
{
    const QString filter = toQtFilter(request.filter);
    // As QFileDialog::getSaveFileName: it asks before replacing an existing file and adds no
    // extension. But the dialog goes only once control is back in the event loop: going, it
    // stores its folder history in a settings file written to disk with a sync, which took
    // tens of milliseconds, and the user would wait for it before the work that follows.
    auto* dialog = new QFileDialog(m_owner, request.title, request.initialDir, filter);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->selectNameFilter(filter.section(QStringLiteral(";;"), 0, 0));
    const QString chosen = dialog->exec() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
    dialog->deleteLater();
    return chosen;
}

} // namespace kt
