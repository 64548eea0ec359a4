#include "Trash.h"

#include <QFile>

#undef signals // GIO uses the word as a field name
#include <gio/gio.h>

namespace kt {

bool moveFileToTrash(const QString& path, QString* error)
{
    // Qt 6.4's QFile::moveToTrash misbehaves on missing folders and full disks; GIO does not.
    const QByteArray native = QFile::encodeName(path);
    GFile* file = g_file_new_for_path(native.constData());
    GError* gerror = nullptr;
    const gboolean ok = g_file_trash(file, nullptr, &gerror);
    if (!ok && error)
        *error = gerror ? QString::fromUtf8(gerror->message) : QStringLiteral("unknown error");
    if (gerror)
        g_error_free(gerror);
    g_object_unref(file);
    return ok;
}

} // namespace kt

namespace kt {

TrashResult moveFilesToTrash(const QStringList& paths)
{
    TrashResult result;
    for (const QString& path : paths) {
        QString reason;
        if (moveFileToTrash(path, &reason))
            result.trashed << path;
        else
            result.failed.push_back({path, reason});
    }
    return result;
}

} // namespace kt
