// The list commands as the window runs them, on a shown Pack List view of 32,767 rows:
// the operation plus bringing the view up to date (rows, selection, current row).
// Prints the median of several runs in milliseconds.
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_packlist_view [repeats]
#include "packlist/ui/PackListCommands.h"
#include "packlist/ui/PackListModel.h"
#include "packlist/ui/PackListView.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace kt;

namespace {

constexpr int kRows = 32767;

void fill(PackListView& view, const std::function<bool(int)>& select, int current)
{
    PackList& list = view.list();
    list.clear();
    for (int k = 1; k <= kRows; ++k)
        list.append(
            {QStringLiteral("/home/user/Videos/clip_%1.mpg").arg((k * 7919) % kRows, 5, 10, QLatin1Char('0')),
             QStringLiteral("352 x 240"), QStringLiteral("29.97"), select(k)});
    list.setCurrentRow(current);
    view.syncFromList();
}

void run(PackListView& view, const char* name, int repeats, const std::function<bool(int)>& select,
         int current, const std::function<void()>& op)
{
    QVector<double> ms;
    for (int r = 0; r < repeats; ++r) {
        fill(view, select, current);
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        op();
        QCoreApplication::processEvents(); // the repaint and relayout it caused
        ms << t.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-50s %9.2f ms\n", name, ms[ms.size() / 2]);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? qMax(1, atoi(argv[1])) : 3;
    PackList list;
    PackListView view(list);
    view.resize(600, 400);
    view.show();
    std::printf("Pack List view, %d rows, median of %d runs (operation + view update)\n", kRows, repeats);
    auto none = [](int) { return false; };
    auto all = [](int) { return true; };
    auto everyOther = [](int k) { return k % 2 == 0; };
    const RefreshCommands refresh = [] {};

    run(view, "Show a full list (syncFromList)", repeats, none, 0, [&] { view.syncFromList(); });
    run(view, "Remove, every other row selected", repeats, everyOther, 2,
        [&] { RemoveCommand(view, refresh); });
    run(view, "Remove, all rows", repeats, all, 1, [&] { RemoveCommand(view, refresh); });
    run(view, "Move Up, every other row selected", repeats, everyOther, 2, [&] { MoveUpCommand(view); });
    run(view, "Move Down, every other row selected", repeats, everyOther, 2, [&] { MoveDownCommand(view); });
    run(view, "Sort ascending", repeats, none, 0, [&] { SortAscendingCommand(view); });
    run(view, "Sort descending, all selected", repeats, all, 0,
        [&] { SortDescendingCommand(view, refresh); });
    run(view, "Select all", repeats, none, 0, [&] { SelectAllCommand(view, refresh); });
    run(view, "Invert selection, every other row", repeats, everyOther, 0,
        [&] { InvertSelectionCommand(view, refresh); });
    run(view, "Deselect all", repeats, all, 0, [&] { DeselectAllCommand(view, refresh); });
    return 0;
}
