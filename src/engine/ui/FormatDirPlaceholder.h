#pragma once
// Stand-in for the shared FormatDir until the text utilities are in: keeps the start of
// the path, then ".../" and the file name, within the width.
#include <QDir>
#include <QString>
#include <functional>

namespace kt {

inline void FormatDir(const QString& path, QString& output, int maxWidthTwips,
                      const std::function<int(const QString&)>& measureTwips)
{
    if (measureTwips(path) <= maxWidthTwips) {
        output = path;
        return;
    }
    const QString suffix =
        QStringLiteral("...") + QDir::separator() + path.mid(path.lastIndexOf(QDir::separator()) + 1);
    QString prefix = path;
    const int budget = maxWidthTwips - measureTwips(suffix) - 350;
    while (!prefix.isEmpty() && measureTwips(prefix) > budget)
        prefix.chop(1);
    output = prefix + suffix;
}

} // namespace kt
