#include "FileDialogs.h"

#include <QCoreApplication>

namespace kt {
namespace {
class CancellingDialogs final : public FileDialogs
{
public:
    QStringList getOpenFileNames(const FileDialogRequest&) override { return {}; }
    QString getSaveFileName(const FileDialogRequest&) override { return {}; }
};
FileDialogs* g_dialogs = nullptr;
} // namespace

void installFileDialogs(FileDialogs* dialogs)
{
    g_dialogs = dialogs;
}

FileDialogs& fileDialogs()
{
    static CancellingDialogs cancelling;
    return g_dialogs ? *g_dialogs : cancelling;
}

QString toQtFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*"); // "*.*" would hide files without an extension here
        }
        // Qt shows the patterns in parentheses after the name: the description's own
        // "(*.mpg, *.mpeg)" would stand there twice.
        QString name = parts[i].trimmed();
        const qsizetype paren = name.lastIndexOf(QLatin1String(" ("));
        if (paren > 0 && name.endsWith(QLatin1Char(')')))
            name.truncate(paren);
        filters << QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

QString mediaFileFilter()
{
    // Only the names are the user's; the patterns stay as they are.
    return QStringLiteral("Mpeg (*.mpg, *.mpeg, *.mpe, *.m1v, *.mv2)|*.mpg;*.mpeg;*.mpe;*.m1v;*.mv2|"
                          "Mp3 (*.mp3, *.mp2)|*.mp3;*.mp2|%1 (*.*)|*.*")
        .arg(QCoreApplication::translate("kt::FileDialogs", "All Files"));
}

} // namespace kt
