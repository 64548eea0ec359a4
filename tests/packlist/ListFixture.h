#pragma once
// Small Pack Lists for the tests, described by row numbers: row k holds the path
// "/m/clipNN.mpg" and the cells "wNN" and "fNN", so where a row went and whether its
// cells went with it can both be read back.
#include <QString>
#include <QStringList>

#include "packlist/PackList.h"

namespace kt::test {

inline QString fixturePath(int k) { return QStringLiteral("/m/clip%1.mpg").arg(k, 2, 10, QLatin1Char('0')); }

inline PackList makeList(int n, const QList<int>& selected = {}, int current = 0)
{
    PackList list;
    for (int k = 1; k <= n; ++k) {
        const QString nn = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        list.append({fixturePath(k), QLatin1Char('w') + nn, QLatin1Char('f') + nn, selected.contains(k)});
    }
    list.setCurrentRow(current);
    return list;
}

// "3 1 2": the original row number in each place; "?" for a row whose cells no longer
// belong to its path.
inline QString order(const PackList& list)
{
    QStringList out;
    for (int i = 1; i <= list.count(); ++i) {
        const PackListRow& r = list.row(i);
        const QString nn = r.path.mid(7, 2);
        const bool intact = r.videoSize == QLatin1Char('w') + nn && r.frameRate == QLatin1Char('f') + nn;
        out << (intact ? QString::number(nn.toInt()) : QStringLiteral("?"));
    }
    return out.join(QLatin1Char(' '));
}

// Selected positions, e.g. {2, 4}; also checks the kept count against the flags.
inline QList<int> selectedRows(const PackList& list)
{
    QList<int> out;
    for (int i = 1; i <= list.count(); ++i)
        if (list.isSelected(i))
            out << i;
    if (out.size() != list.selectedCount())
        out << -1; // count out of step with the flags: never equal to an expected list
    return out;
}

} // namespace kt::test
