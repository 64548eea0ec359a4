#pragma once
// Lists written as "1 2* 3": the original row numbers in order, "*" on the selected ones. Row k
// holds "/m/clipNN.mpg" with the cells "wNN" and "fNN", so a row's cells can be seen to go with it.
#include "packlist/PackList.h"

#include <QStringList>

namespace kt::test {

inline PackList makeList(const QString& rows, int current = 0)
{
    PackList list;
    const QStringList tokens = rows.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int k = 1; k <= tokens.size(); ++k) {
        const QString nn = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        list.append({"/m/clip" + nn + ".mpg", 'w' + nn, 'f' + nn, tokens[k - 1].endsWith('*')});
    }
    list.setCurrentRow(current);
    return list;
}

// "?" where cells left their path, a note when the selected count is out of step with the flags.
inline QString state(const PackList& list)
{
    QStringList out;
    int selected = 0;
    for (const PackListRow& r : list.rows()) {
        const QString nn = r.path.mid(7, 2);
        const bool intact = r.videoSize == QLatin1Char('w') + nn && r.frameRate == QLatin1Char('f') + nn;
        out << (intact ? QString::number(nn.toInt()) : QStringLiteral("?")) + (r.selected ? "*" : "");
        selected += r.selected;
    }
    return out.join(QLatin1Char(' ')) + (selected == list.selectedCount() ? "" : " (count out of step)");
}

} // namespace kt::test
