#include "QtFileDialogs.h"

#include "platform/MessageBox.h"
#include "platform/Program.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>

namespace kt {

namespace {

// A name whose last part holds a wildcard, in a folder that exists, naming no file itself
// (a file may be called "a*b.mpg"): a pattern to show files by, as every file dialog takes it.
bool isFilePattern(const QFileInfo& named)
{
    static const QRegularExpression wildcard(QStringLiteral("[*?[]"));
    return named.fileName().contains(wildcard) && !named.exists() && QFileInfo(named.path()).isDir();
}

} // namespace

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
    // Modal to the window it belongs to, not to every window of the program.
    if (owner)
        setWindowModality(Qt::WindowModal);
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

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("unlistedFilesNote"));
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_note->hide();
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_note, grid->rowCount(), 0, 1, grid->columnCount());
    // Once Qt has applied a new folder or filter.
    if (auto* model = findChild<QFileSystemModel*>())
        connect(model, &QFileSystemModel::rootPathChanged, this, &AddFilesDialog::noteUnlistedFiles,
                Qt::QueuedConnection);
    connect(this, &QFileDialog::filterSelected, this, &AddFilesDialog::noteUnlistedFiles,
            Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, &AddFilesDialog::noteUnlistedFiles, Qt::QueuedConnection);
}

void AddFilesDialog::noteUnlistedFiles()
{
    const auto* model = findChild<QFileSystemModel*>();
    const QStringList names = unreachableFilesIn(
        directory().absolutePath(), model ? model->nameFilters() : QStringList{QStringLiteral("*")});
    if (names.isEmpty()) {
        m_note->hide();
        return;
    }
    const QString list = quotedNames(names, QStringLiteral(", "));
    m_note->setText(names.size() == 1 ? tr("1 file here is not shown: its name is not valid UTF-8, so this "
                                           "program cannot open it: %1. Rename it to add it.")
                                            .arg(list)
                                      : tr("%1 files here are not shown: their names are not valid UTF-8, so "
                                           "this program cannot open them: %2. Rename them to add them.")
                                            .arg(QString::number(names.size()), list));
    m_note->show();
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
    if (names.size() == 1 && isFilePattern(QFileInfo(resolve(names.first())))) {
        filterBy(resolve(names.first()));
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
        if (isUnreachableName(info.absoluteFilePath()))
            files << info.absoluteFilePath(); // shown as the list shows it; the adding says why not
        else if (!info.exists())
            missing << name;
        else if (!info.isDir()) // folders among several names are skipped
            files << info.absoluteFilePath();
    }
    if (!missing.isEmpty()) {
        const QString names = QLatin1Char('\'') + missing.join(QStringLiteral("', '")) + QLatin1Char('\'');
        const QString folderName = QDir::toNativeSeparators(folder.absolutePath());
        MsgBox((missing.size() == 1
                    ? tr("%1 was not found in '%2'. Check the names; nothing has been added yet.")
                    : tr("%1 were not found in '%2'. Check the names; nothing has been added yet."))
                   .arg(names, folderName),
               MB_ICONEXCLAMATION, programTitle());
        return; // the dialog stays open to correct the names
    }
    m_chosen = files;
    QDialog::accept();
}

void AddFilesDialog::filterBy(const QString& pattern)
{
    const QFileInfo named(pattern);
    if (QDir(named.path()) != directory())
        setDirectory(named.path());
    QStringList patterns = named.fileName().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns)
        p = p.trimmed();
    // The list's own filter: the filter box keeps its choice, which takes over again when
    // another one is picked.
    if (auto* model = findChild<QFileSystemModel*>())
        model->setNameFilters(patterns);
    noteUnlistedFiles();
    if (QLineEdit* edit = fileNameEdit()) {
        edit->setText(named.fileName());
        edit->selectAll(); // the next name typed replaces the pattern
    }
}

QWidget* QtFileDialogs::owner() const
{
    if (m_owner)
        return m_owner;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w->isVisible() && qobject_cast<QMainWindow*>(w))
            return w;
    return nullptr;
}

QStringList QtFileDialogs::getOpenFileNames(const FileDialogRequest& request)
{
    AddFilesDialog dialog(owner(), request);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosenFiles();
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest& request)
{
    QWidget* parent = owner();
    const QString filter = toQtFilter(request.filter);
    // QFileDialog asks before replacing an existing file; no extension is added. The dialog
    // goes only once control is back in the event loop: going, it stores its folder history
    // in a settings file written with a sync, which took tens of milliseconds, and the user
    // would wait for it before the work that follows.
    auto* dialog = new QFileDialog(parent, request.title, request.initialDir, filter);
    dialog->setObjectName(QStringLiteral("SaveFileDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->selectNameFilter(filter.section(QStringLiteral(";;"), 0, 0));
    if (parent)
        dialog->setWindowModality(Qt::WindowModal);
    const QString chosen = dialog->exec() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
    dialog->deleteLater();
    return chosen;
}

} // namespace kt
