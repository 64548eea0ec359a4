#pragma once
// Lists written as "1 2* 3": the original row numbers in order, "*" on the selected ones. Row k
// holds paths[k - 1] (or "/m/clipNN.mpg") with the cells "wNN" and "fNN", so a row's cells can be
// seen to go with it.
#include "packlist/PackList.h"

#include <QStringList>

namespace kt::test {

inline QString pathOf(int k, const QStringList& paths)
{
    return paths.value(k - 1, QStringLiteral("/m/clip%1.mpg").arg(k, 2, 10, QLatin1Char('0')));
}

inline PackList makeList(const QString& rows, int current = 0, const QStringList& paths = {})
{
    PackList list;
    const QStringList tokens = rows.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int k = 1; k <= tokens.size(); ++k)
        list.append({pathOf(k, paths), QStringLiteral("w%1").arg(k), QStringLiteral("f%1").arg(k),
                     tokens[k - 1].endsWith('*')});
    list.setCurrentRow(current);
    return list;
}

// "?" where cells left their path, a note when the selected count is out of step with the flags.
inline QString state(const PackList& list, const QStringList& paths = {})
{
    QStringList out;
    int selected = 0;
    for (const PackListRow& r : list.rows()) {
        const int k = r.videoSize.mid(1).toInt();
        const bool intact = r.frameRate == QStringLiteral("f%1").arg(k) && r.path == pathOf(k, paths);
        out << (intact ? QString::number(k) : QStringLiteral("?")) + (r.selected ? "*" : "");
        selected += r.selected;
    }
    return out.join(QLatin1Char(' ')) + (selected == list.selectedCount() ? "" : " (count out of step)");
}

} // namespace kt::test
