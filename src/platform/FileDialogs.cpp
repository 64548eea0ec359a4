#include "FileDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <dirent.h>
#include <sys/stat.h>

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

bool isUnreachableName(const QString& path)
{
    return path.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(path);
}

QStringList unreachableFilesIn(const QString& folder, const QStringList& patterns)
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString shown = utf8(QByteArrayView(entry->d_name));
        struct stat st;
        if (utf8.hasError() && entry->d_name[0] != '.' &&
            ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode) &&
            (patterns.isEmpty() || QDir::match(patterns, shown)))
            names << shown;
    }
    ::closedir(dir);
    names.sort();
    return names;
}

QString quotedNames(const QStringList& names, const QString& separator)
{
    constexpr int kShown = 10;
    QString text = QLatin1Char('\'') +
                   names.mid(0, kShown).join(QLatin1Char('\'') + separator + QLatin1Char('\'')) +
                   QLatin1Char('\'');
    if (names.size() > kShown)
        text += separator +
                QCoreApplication::translate("kt::FileDialogs", "(and %1 more)").arg(names.size() - kShown);
    return text;
}

} // namespace kt
