// Times every Pack List operation on a list of 32,767 rows (the most the list is made
// for) and prints one line per case: the median of several runs in milliseconds.
//
//   build/bin/bench_packlist [repeats]
#include "packlist/AddFiles.h"
#include "packlist/PackListOps.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace kt;

namespace {

constexpr int kRows = 32767;

QStringList makePaths(const QString& order)
{
    QStringList paths;
    paths.reserve(kRows);
    for (int k = 0; k < kRows; ++k)
        paths << QStringLiteral("/home/user/Videos/holiday/clip_%1.mpg").arg(k, 5, 10, QLatin1Char('0'));
    if (order == QLatin1String("random")) {
        QRandomGenerator rng(7);
        std::shuffle(paths.begin(), paths.end(), rng);
    } else if (order == QLatin1String("reversed")) {
        std::reverse(paths.begin(), paths.end());
    } else if (order == QLatin1String("equal")) {
        paths.fill(paths.first());
    }
    return paths;
}

// select(k) for the 1-based row k.
PackList makeList(const QStringList& paths, const std::function<bool(int)>& select, int current)
{
    PackList list;
    for (int k = 1; k <= int(paths.size()); ++k)
        list.append({paths[k - 1], QStringLiteral("352 x 240"), QStringLiteral("29.97"), select(k)});
    list.setCurrentRow(current);
    return list;
}

// Runs `op` on a fresh list from `setup` each time; only `op` is timed.
void run(const char* name, int repeats, const std::function<PackList()>& setup,
         const std::function<void(PackList&)>& op)
{
    QVector<double> ms;
    for (int r = 0; r < repeats; ++r) {
        PackList list = setup();
        QElapsedTimer t;
        t.start();
        op(list);
        ms << t.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s %9.2f ms\n", name, ms[ms.size() / 2]);
}

struct Silent final : MessageBoxPresenter
{
    int present(const QString&, int, const QString&) override { return IDOK; }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int repeats = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    Silent silent;
    installMessageBoxPresenter(&silent);
    std::printf("Pack List operations, %d rows, median of %d runs\n", kRows, repeats);

    const QStringList inOrder = makePaths(QStringLiteral("sorted"));
    const QStringList shuffled = makePaths(QStringLiteral("random"));
    auto none = [](int) { return false; };
    auto all = [](int) { return true; };
    auto everyOther = [](int k) { return k % 2 == 0; };
    auto lastHalf = [](int k) { return k > kRows / 2; };

    run(
        "Remove, all rows selected", repeats, [&] { return makeList(inOrder, all, 1); }, RemoveSelected);
    run(
        "Remove, every other row selected", repeats, [&] { return makeList(inOrder, everyOther, 2); },
        RemoveSelected);
    run(
        "Move Up, every other row selected", repeats, [&] { return makeList(inOrder, everyOther, 2); },
        [](PackList& l) { MoveUp(l); });
    run(
        "Move Down, every other row selected", repeats, [&] { return makeList(inOrder, everyOther, 2); },
        [](PackList& l) { MoveDown(l); });
    run(
        "Move Up, lower half selected as one block", repeats,
        [&] { return makeList(inOrder, lastHalf, kRows); }, [](PackList& l) { MoveUp(l); });
    for (const char* order : {"random", "sorted", "reversed", "equal"}) {
        const QStringList paths = makePaths(QString::fromLatin1(order));
        const QByteArray asc = QByteArray("Sort ascending, paths ") + order;
        const QByteArray desc = QByteArray("Sort descending, paths ") + order;
        run(
            asc.constData(), repeats, [&] { return makeList(paths, none, 0); },
            [](PackList& l) { SortAscending(l); });
        run(
            desc.constData(), repeats, [&] { return makeList(paths, none, 0); },
            [](PackList& l) { SortDescending(l); });
    }
    run(
        "Select all", repeats, [&] { return makeList(shuffled, none, 0); }, SelectAll);
    run(
        "Deselect all", repeats, [&] { return makeList(shuffled, all, 0); }, DeselectAll);
    run(
        "Invert selection", repeats, [&] { return makeList(shuffled, everyOther, 0); }, InvertSelection);
    run(
        "LV_GetLastSelected, only row 1 selected", repeats,
        [&] {
            return makeList(
                shuffled, [](int k) { return k == 1; }, 0);
        },
        [](PackList& l) { (void)LV_GetLastSelected(l); });
    run(
        "Drop reorder, every other row onto row 1", repeats, [&] { return makeList(inOrder, everyOther, 0); },
        [](PackList& l) { DropReorder(l, 1); });
    run(
        "Drop reorder, upper half onto the last row", repeats,
        [&] {
            return makeList(
                inOrder, [](int k) { return k <= kRows / 2; }, 0);
        },
        [](PackList& l) { DropReorder(l, kRows); });

    // Adding: real files (stat per name), stream info stubbed so only the list's part counts.
    QTemporaryDir dir;
    QStringList files;
    files.reserve(kRows);
    for (int k = 0; k < kRows; ++k) {
        files << dir.filePath(QStringLiteral("f%1.mpg").arg(k));
        QFile f(files.last());
        if (!f.open(QIODevice::WriteOnly))
            return 1;
    }
    const StreamInfoSource info = [](const QString&) {
        return StreamInfoTexts{QStringLiteral("352 x 240"), QStringLiteral("25")};
    };
    run(
        "Add from the dialog's list (files exist)", repeats, [] { return PackList(); },
        [&](PackList& l) { AppendFiles(l, files, info); });
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    run(
        "Add from a drop of file URLs", repeats, [] { return PackList(); },
        [&](PackList& l) { PackListDrop().drop(l, data, info); });
    return 0;
}
