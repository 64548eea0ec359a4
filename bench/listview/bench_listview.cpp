// The Pack List view at 32,767 rows: showing appended rows, re-reading the list after
// an operation, mirroring selections of several shapes both ways, and painting.
//
//     QT_QPA_PLATFORM=offscreen build/bin/bench_listview [repeats]
//
// Prints the median of `repeats` runs (default 5) in milliseconds per step.
#include "packlist/PackList.h"
#include "packlist/ui/PackListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kt;

namespace {

constexpr int kRows = 32767;

PackListRow row(int i)
{
    return {QStringLiteral("/srv/media/archive/2024/clip%1.mpg").arg(i, 5, 10, QLatin1Char('0')),
            QStringLiteral("352 x 240"), QStringLiteral("29.97"), false};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// setUp builds the state (untimed), step is timed.
void measure(const char* name, int repeats, const std::function<void(PackList&, PackListView&)>& setUp,
             const std::function<void(PackList&, PackListView&)>& step)
{
    std::vector<double> ms;
    for (int r = 0; r < repeats; ++r) {
        PackList list;
        PackListView view(list);
        view.resize(800, 600);
        view.show();
        setUp(list, view);
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        step(list, view);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("%-44s %10.2f ms\n", name, median(ms));
}

void fillList(PackList& list)
{
    for (int i = 1; i <= kRows; ++i)
        list.append(row(i));
}

void fillBoth(PackList& list, PackListView& view)
{
    fillList(list);
    view.rowsAppended(1);
}

void pattern(PackList& list, int every)
{
    for (int i = 1; i <= list.count(); ++i)
        list.setSelected(i, i % every == 0);
    list.setCurrentRow(list.count());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    std::printf("%d rows, median of %d runs\n", kRows, repeats);

    measure(
        "append 32,767 rows and show them", repeats, [](PackList& l, PackListView&) { fillList(l); },
        [](PackList&, PackListView& v) { v.rowsAppended(1); });
    measure("re-read the whole list (after a sort)", repeats, fillBoth,
            [](PackList&, PackListView& v) { v.syncFromList(); });
    measure(
        "show: all rows selected", repeats,
        [](PackList& l, PackListView& v) {
            fillBoth(l, v);
            pattern(l, 1);
        },
        [](PackList&, PackListView& v) { v.syncSelectionFromList(); });
    measure(
        "show: every 2nd row selected (16,383 runs)", repeats,
        [](PackList& l, PackListView& v) {
            fillBoth(l, v);
            pattern(l, 2);
        },
        [](PackList&, PackListView& v) { v.syncSelectionFromList(); });
    measure(
        "show: every 2nd row after every 3rd", repeats,
        [](PackList& l, PackListView& v) {
            fillBoth(l, v);
            pattern(l, 3);
            v.syncSelectionFromList();
            pattern(l, 2);
        },
        [](PackList&, PackListView& v) { v.syncSelectionFromList(); });
    measure(
        "show: nothing selected after every 2nd", repeats,
        [](PackList& l, PackListView& v) {
            fillBoth(l, v);
            pattern(l, 2);
            v.syncSelectionFromList();
            l.setAllSelected(false);
        },
        [](PackList&, PackListView& v) { v.syncSelectionFromList(); });
    measure("user selects all in the view", repeats, fillBoth,
            [](PackList&, PackListView& v) { v.selectAll(); });
    measure(
        "user clears 16,384 scattered rows in the view", repeats,
        [](PackList& l, PackListView& v) {
            fillBoth(l, v);
            pattern(l, 2);
            v.syncSelectionFromList();
        },
        [](PackList&, PackListView& v) { v.clearSelection(); });
    measure(
        "user ctrl-clicks a row among 16,384 scattered", repeats,
        [](PackList& l, PackListView& v) {
            fillBoth(l, v);
            pattern(l, 2);
            v.syncSelectionFromList();
        },
        [](PackList&, PackListView& v) {
            v.selectionModel()->select(v.model()->index(100, 0),
                                       QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        });
    measure(
        "paint the visible rows (16,384 scattered selected)", repeats,
        [](PackList& l, PackListView& v) {
            fillBoth(l, v);
            pattern(l, 2);
            v.syncSelectionFromList();
        },
        [](PackList&, PackListView& v) { (void)v.grab(); });
    measure("fit columns to cells and header", repeats, fillBoth,
            [](PackList&, PackListView& v) { v.columnAutoAll(); });
    return 0;
}
