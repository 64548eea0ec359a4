// Remove, Move Up/Down, the sorts, drop-to-reorder and drops of other data.
#include "../support/ScriptedSeams.h"
#include "ListFixture.h"
#include "packlist/AddFiles.h"
#include "packlist/PackListOps.h"

#include <QDir>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>
#include <QUrl>
#include <algorithm>

using namespace kt;
using namespace kt::test;

namespace {

// The reorder done literally: the upward counting with its shift c, count done and flag g,
// one adjacent exchange at a time, and its mirror downwards. Only for targets >= 1.
void literalDropReorder(PackList& list, int r)
{
    const int n = list.count();
    if (r > n)
        return;
    int c = 0, done = 0;
    bool g = false;
    auto step = [&](int d, auto exchangeAt) {
        const int e = (d >= c && g) ? d - done - c : 0;
        for (int j = 0; j <= d - 1 - done - e; ++j) {
            exchangeAt(j);
            if (!g)
                ++c;
        }
        ++done;
        g = true;
    };
    if (r <= LV_GetLastSelected(list)) {
        for (int i = 1; i <= n; ++i)
            if (list.isSelected(i))
                step(i - r, [&](int j) { list.exchange(i - j, i - j - 1); });
    } else {
        for (int i = n; i >= 1; --i)
            if (list.isSelected(i))
                step(r - i, [&](int j) { list.exchange(i + j, i + j + 1); });
    }
}

const StreamInfoSource noInfo = [](const QString&) { return StreamInfoTexts{}; };

// Every row selected and current, so a sort must clear both.
PackList listOfPaths(const QStringList& paths)
{
    PackList list;
    for (const QString& p : paths)
        list.append({p, QStringLiteral("size of ") + p, QStringLiteral("rate of ") + p, true});
    list.setCurrentRow(1);
    return list;
}

} // namespace

class TestPackListOps : public QObject
{
    Q_OBJECT
private slots:
    void remove_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("rows 2 and 3") << "1 2* 3* 4 5"
                                      << "1 4* 5";
        QTest::newRow("last two") << "1 2 3* 4*"
                                  << "1 2*";
        QTest::newRow("scattered") << "1* 2 3* 4 5* 6"
                                   << "2 4 6*";
        QTest::newRow("all") << "1* 2* 3*"
                             << "";
        QTest::newRow("nothing selected") << "1 2 3"
                                          << "1 2 3";
    }
    void remove()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        ScriptedMessageBox box;
        PackList list = makeList(before, 1);

        QCOMPARE(RemoveSelected(list), before.contains('*'));
        QCOMPARE(state(list), after);
        if (before.contains('*')) // the focus mark goes with the selection
            QCOMPARE(list.currentRow(), list.selectedCount() ? LV_GetLastSelected(list) : 0);
        QVERIFY(box.asked().isEmpty());
    }

    void move_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("after");
        QTest::newRow("up 2,3 current 3") << true << "1 2* 3* 4 5" << 3 << "2* 3* 1 4 5";
        QTest::newRow("up 1,3 current 1") << true << "1* 2 3* 4 5" << 1 << "1* 2 3* 4 5";
        QTest::newRow("up 1,3 current 3") << true << "1* 2 3* 4 5" << 3 << "1* 3* 2 4 5";
        QTest::newRow("up without current row") << true << "1 2 3* 4 5" << 0 << "1 2 3* 4 5";
        QTest::newRow("up, current not selected") << true << "1 2 3 4* 5" << 2 << "1 2 4* 3 5";
        QTest::newRow("up empty") << true << "" << 0 << "";
        QTest::newRow("down 3,4 current 3") << false << "1 2 3* 4* 5" << 3 << "1 2 5 3* 4*";
        QTest::newRow("down last row current") << false << "1 2* 3 4 5" << 5 << "1 2* 3 4 5";
        QTest::newRow("down nothing selected") << false << "1 2 3" << 1 << "1 2 3";
    }
    void move()
    {
        QFETCH(bool, up);
        QFETCH(QString, before);
        QFETCH(int, current);
        QFETCH(QString, after);
        ScriptedMessageBox box;
        PackList list = makeList(before, current);

        QCOMPARE(up ? MoveUp(list) : MoveDown(list), after != before);
        QCOMPARE(state(list), after);
        QCOMPARE(list.currentRow(), current);
        QCOMPARE(box.texts(), before.contains('*') ? QStringList{} : QStringList{"Nothing to swap."});
        if (!box.asked().isEmpty())
            QCOMPARE(box.asked()[0].style, 48);
    }

    void sort_data()
    {
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("sorted");
        const QStringList abc{"C:\\b.mpg", "C:\\A.mpg", "C:\\a.mpg"};
        QTest::newRow("upper case first")
            << true << abc << QStringList{"C:\\A.mpg", "C:\\a.mpg", "C:\\b.mpg"};
        QTest::newRow("descending") << false << abc << QStringList{"C:\\b.mpg", "C:\\a.mpg", "C:\\A.mpg"};
        // Code units, not code points: U+10000 is the surrogate pair D800 DC00, below U+FFFF.
        const QString astral = QString::fromUcs4(U"/\U00010000");
        const QString bmpTop = QString::fromUcs4(U"/\uFFFF");
        const QString eAcute = QString::fromUcs4(U"/\u00E9");
        QTest::newRow("utf-16 order")
            << true << QStringList{bmpTop, astral, eAcute, "/z"} << QStringList{"/z", eAcute, astral, bmpTop};
        QTest::newRow("empty list") << false << QStringList{} << QStringList{};
    }
    void sort()
    {
        QFETCH(bool, ascending);
        QFETCH(QStringList, paths);
        QFETCH(QStringList, sorted);
        ScriptedMessageBox box;
        PackList list = listOfPaths(paths);

        QCOMPARE(ascending ? SortAscending(list) : SortDescending(list), !paths.isEmpty());
        QCOMPARE(list.paths(), sorted);
        for (const PackListRow& r : list.rows())
            QCOMPARE(r.videoSize + r.frameRate, "size of " + r.path + "rate of " + r.path);
        QCOMPARE(list.selectedCount(), 0);
        QCOMPARE(box.texts(), paths.isEmpty() ? QStringList{"Nothing to sort."} : QStringList{});
        if (!paths.isEmpty())
            QCOMPARE(list.currentRow(), 0);
    }

    void quickSortPivotRounding_data()
    {
        // Equal keys with numbered cells show the pivots taken: middles rounded half to even
        // ((1 + 4) / 2 = 2, (3 + 4) / 2 = 4). Halves rounded up give 2 0 4 3 1 and 2 5 4 3 0 1.
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("cellOrder");
        QTest::newRow("ascending") << true << "bcacb"
                                   << "2 4 0 1 3";
        QTest::newRow("descending") << false << "aabaab"
                                    << "2 5 4 0 1 3";
    }
    void quickSortPivotRounding()
    {
        QFETCH(bool, ascending);
        QFETCH(QString, keys);
        QFETCH(QString, cellOrder);
        QStringList paths, sizes, rates;
        for (int k = 0; k < keys.size(); ++k)
            paths << QString(keys[k]), sizes << QString::number(k), rates << QStringLiteral("r%1").arg(k);
        const int high = int(paths.size()) - 1;
        ascending ? QuickSortAscending(paths, sizes, rates, 0, high)
                  : QuickSortDescending(paths, sizes, rates, 0, high);
        QCOMPARE(sizes.join(QLatin1Char(' ')), cellOrder);
        for (int k = 0; k < sizes.size(); ++k)
            QCOMPARE(paths[k] + rates[k], keys[sizes[k].toInt()] + QLatin1Char('r') + sizes[k]);
    }

    void randomSortsMatchStdSort()
    {
        QRandomGenerator rng(20261205);
        for (int round = 0; round < 600; ++round) {
            QStringList paths;
            const int alphabet = rng.bounded(2, 6); // few letters: many duplicates and prefixes
            for (int k = rng.bounded(1, 80); k > 0; --k) {
                paths << QStringLiteral("/d/");
                for (int len = rng.bounded(0, 4); len > 0; --len)
                    paths.last() += QChar(u'A' + rng.bounded(alphabet) * 16); // A, Q, a, q, ...
            }
            QStringList expected = paths;
            std::sort(expected.begin(), expected.end()); // ASCII here: no question of code units
            PackList up = listOfPaths(paths), down = listOfPaths(paths);
            SortAscending(up);
            SortDescending(down);
            QCOMPARE(up.paths(), expected);
            std::reverse(expected.begin(), expected.end());
            QCOMPARE(down.paths(), expected);
        }
    }

    void dropTargetRow_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("row");
        QTest::newRow("second row") << 500 << 195 << 0 << 2;
        QTest::newRow("scrolled") << 1000 << 195 << 10 << 14;
        // Truncation toward zero, not flooring: -45 / 195 is 0, -330 / 195 is -1.
        QTest::newRow("top edge") << 0 << 195 << 0 << 0;
        QTest::newRow("above the list") << -300 << 195 << 3 << 2;
    }
    void dropTargetRow()
    {
        QFETCH(int, y);
        QFETCH(int, h);
        QFETCH(int, top);
        QFETCH(int, row);
        QCOMPARE(kt::dropTargetRow(y, h, top), row);
    }

    void dropReorder_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("after");
        QTest::newRow("5,7 onto 2") << "1 2 3 4 5* 6 7*" << 2 << "1 5* 2 7* 3 4 6";
        QTest::newRow("2,4 onto 7") << "1 2* 3 4* 5 6 7" << 7 << "1 3 5 6 2* 7 4*";
        QTest::newRow("block 3-4 onto 1") << "1 2 3* 4* 5" << 1 << "3* 4* 1 2 5";
        QTest::newRow("inside the span") << "1 2* 3 4 5* 6 7" << 3 << "1 2* 3 4 5* 6 7";
        QTest::newRow("on the first selected") << "1 2* 3 4 5* 6 7" << 2 << "1 2* 3 4 5* 6 7";
        QTest::newRow("below the last row") << "1 2* 3 4 5* 6 7" << 8 << "1 2* 3 4 5* 6 7";
        QTest::newRow("over the header: as row 1") << "1 2 3 4 5* 6 7*" << 0 << "5* 1 7* 2 3 4 6";
        QTest::newRow("nothing selected") << "1 2 3 4" << 1 << "1 2 3 4";
    }
    void dropReorder()
    {
        QFETCH(QString, before);
        QFETCH(int, target);
        QFETCH(QString, after);
        PackList list = makeList(before, 3);

        QCOMPARE(DropReorder(list, target), after != before);
        QCOMPARE(state(list), after);
        QCOMPARE(list.currentRow(), 3);
    }

    void dropReorderMatchesAdjacentExchanges()
    {
        QRandomGenerator rng(42);
        for (int round = 0; round < 5000; ++round) {
            const int n = round < 4800 ? rng.bounded(1, 25) : rng.bounded(25, 300);
            const int density = rng.bounded(100);
            QString rows;
            for (int k = 1; k <= n; ++k)
                rows += QString::number(k) + (rng.bounded(100) < density ? "* " : " ");
            const int target = rng.bounded(1, n + 2);
            PackList fast = makeList(rows), literal = makeList(rows);
            DropReorder(fast, target);
            literalDropReorder(literal, target);
            if (state(fast) != state(literal))
                QFAIL(qPrintable(QStringLiteral("%1 onto %2: %3 against %4")
                                     .arg(rows)
                                     .arg(target)
                                     .arg(state(fast), state(literal))));
        }
    }

    void dropOfOtherData_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("pending");
        QTest::newRow("web address") << QUrl("https://example.org/clip.mpg") << true;
        QTest::newRow("only a folder") << QUrl::fromLocalFile(QDir::tempPath()) << false;
    }
    void dropOfOtherData() // adds nothing; a folder is a file list all the same, the rest awaits the pointer
    {
        QFETCH(QUrl, url);
        QFETCH(bool, pending);
        PackList list = makeList("1 2* 3");
        PackListDrop drop;
        QMimeData data;
        data.setUrls({url});
        QCOMPARE(drop.drop(list, data, noInfo), 0);
        QCOMPARE(state(list), QStringLiteral("1 2* 3"));
        QCOMPARE(drop.itemDropPending(), pending);
    }

    void pendingReorderFollowsThePointer()
    {
        PackList list = makeList("1 2 3 4 5* 6 7*");
        PackListDrop drop;
        QMimeData text;
        text.setText(QStringLiteral("words"));
        drop.drop(list, text, noInfo);
        QVERIFY(drop.pointerMoved(list, 500, 195, 0)); // row 2
        QVERIFY(!drop.itemDropPending());
        QCOMPARE(state(list), QStringLiteral("1 5* 2 7* 3 4 6"));

        drop.drop(list, text, noInfo);
        QVERIFY(!drop.pointerMoved(list, 5000, 195, 0)); // row 21 of 7: the reorder is dropped
        QVERIFY(!drop.itemDropPending());
        QCOMPARE(state(list), QStringLiteral("1 5* 2 7* 3 4 6"));
    }
};

QTEST_GUILESS_MAIN(TestPackListOps)
#include "tst_packlistops.moc"
