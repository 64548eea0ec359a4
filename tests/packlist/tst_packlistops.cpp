// Remove, Move Up/Down, the sorts, the selection commands and drop-to-reorder.
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <string_view>

#include "ListFixture.h"
#include "packlist/PackListOps.h"
#include "../support/ScriptedSeams.h"

using namespace kt;
using namespace kt::test;

namespace {

// The reorder done literally: the upward counting with its shift C, count D and flag G,
// one adjacent exchange at a time, and its mirror downwards. Only for targets >= 1.
void literalDropReorder(PackList& list, int r)
{
    const int n = list.count();
    if (r > n)
        return;
    const int last = LV_GetLastSelected(list);
    int c = 0, doneCount = 0;
    bool g = false;
    auto step = [&](int i, int d, auto exchangeAt) {
        const int e = (d >= c && g) ? d - doneCount - c : 0;
        for (int j = 0; j <= d - 1 - doneCount - e; ++j) {
            exchangeAt(j);
            if (!g)
                ++c;
        }
        ++doneCount;
        g = true;
        Q_UNUSED(i);
    };
    if (r <= last) {
        for (int i = 1; i <= n; ++i)
            if (list.isSelected(i))
                step(i, i - r, [&](int j) { list.exchange(i - j, i - j - 1); });
    } else {
        for (int i = n; i >= 1; --i)
            if (list.isSelected(i))
                step(i, r - i, [&](int j) { list.exchange(i + j, i + j + 1); });
    }
}

QList<int> randomSelection(QRandomGenerator& rng, int n)
{
    QList<int> sel;
    const int density = rng.bounded(1, 100);
    for (int k = 1; k <= n; ++k)
        if (rng.bounded(100) < density)
            sel << k;
    if (sel.isEmpty())
        sel << rng.bounded(1, n + 1);
    return sel;
}

PackList listOfPaths(const QStringList& paths)
{
    PackList list;
    for (const QString& p : paths)
        list.append({p, QStringLiteral("size of ") + p, QStringLiteral("rate of ") + p, true});
    list.setCurrentRow(1);
    return list;
}

bool binaryLess(const QString& a, const QString& b)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(a.utf16()), size_t(a.size()))
        < std::u16string_view(reinterpret_cast<const char16_t*>(b.utf16()), size_t(b.size()));
}

} // namespace

class TestPackListOps : public QObject
{
    Q_OBJECT
private slots:
    void remove_data();
    void remove();
    void move_data();
    void move();
    void sort_data();
    void sort();
    void sortOfEmptyList();
    void quickSortPivotRounding_data();
    void quickSortPivotRounding();
    void randomSortsAreOrderedPermutations();
    void selectionCommands();
    void lastSelected_data();
    void lastSelected();
    void dropTargetRow_data();
    void dropTargetRow();
    void dropReorder_data();
    void dropReorder();
    void dropReorderMatchesAdjacentExchanges();
};

void TestPackListOps::remove_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QList<int>>("selectedAfter");

    QTest::newRow("rows 2 and 3 of 5") << 5 << QList<int>{2, 3} << "1 4 5" << QList<int>{2};
    QTest::newRow("last two of 4") << 4 << QList<int>{3, 4} << "1 2" << QList<int>{2};
    QTest::newRow("all of 3") << 3 << QList<int>{1, 2, 3} << "" << QList<int>{};
    QTest::newRow("scattered 1, 3, 5 of 6") << 6 << QList<int>{1, 3, 5} << "2 4 6" << QList<int>{3};
    QTest::newRow("first and last of 3") << 3 << QList<int>{1, 3} << "2" << QList<int>{1};
    QTest::newRow("only row") << 1 << QList<int>{1} << "" << QList<int>{};
    QTest::newRow("row 1 of 4") << 4 << QList<int>{1} << "2 3 4" << QList<int>{1};
    QTest::newRow("nothing selected") << 3 << QList<int>{} << "1 2 3" << QList<int>{};
    QTest::newRow("empty list") << 0 << QList<int>{} << "" << QList<int>{};
}

void TestPackListOps::remove()
{
    QFETCH(int, n);
    QFETCH(QList<int>, selected);
    QFETCH(QString, after);
    QFETCH(QList<int>, selectedAfter);
    ScriptedMessageBox box;
    PackList list = makeList(n, selected, selected.value(0));

    const bool removed = RemoveSelected(list);

    QCOMPARE(removed, !selected.isEmpty());
    QCOMPARE(order(list), after);
    QCOMPARE(selectedRows(list), selectedAfter);
    if (removed) // the row that takes the selection takes the focus mark too
        QCOMPARE(list.currentRow(), selectedAfter.value(0));
    QVERIFY(box.asked().isEmpty());
}

void TestPackListOps::move_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QList<int>>("selectedAfter");
    QTest::addColumn<bool>("nothingToSwap");

    QTest::newRow("up 2,3 current 3") << true << 5 << QList<int>{2, 3} << 3 << "2 3 1 4 5" << QList<int>{1, 2} << false;
    QTest::newRow("up 1,3 current 1") << true << 5 << QList<int>{1, 3} << 1 << "1 2 3 4 5" << QList<int>{1, 3} << false;
    QTest::newRow("up 1,3 current 3") << true << 5 << QList<int>{1, 3} << 3 << "1 3 2 4 5" << QList<int>{1, 2} << false;
    QTest::newRow("up 2,4,5 current 5") << true << 5 << QList<int>{2, 4, 5} << 5 << "2 1 4 5 3" << QList<int>{1, 3, 4} << false;
    QTest::newRow("up without current row") << true << 5 << QList<int>{3} << 0 << "1 2 3 4 5" << QList<int>{3} << false;
    QTest::newRow("up, current not selected") << true << 5 << QList<int>{4} << 2 << "1 2 4 3 5" << QList<int>{3} << false;
    QTest::newRow("up nothing selected") << true << 3 << QList<int>{} << 2 << "1 2 3" << QList<int>{} << true;
    QTest::newRow("up empty") << true << 0 << QList<int>{} << 0 << "" << QList<int>{} << true;
    QTest::newRow("down 3,4 current 3") << false << 5 << QList<int>{3, 4} << 3 << "1 2 5 3 4" << QList<int>{4, 5} << false;
    QTest::newRow("down 2,5 current 2") << false << 5 << QList<int>{2, 5} << 2 << "1 3 2 4 5" << QList<int>{3, 5} << false;
    QTest::newRow("down last row current") << false << 5 << QList<int>{2} << 5 << "1 2 3 4 5" << QList<int>{2} << false;
    QTest::newRow("down nothing selected") << false << 3 << QList<int>{} << 1 << "1 2 3" << QList<int>{} << true;
    QTest::newRow("down empty") << false << 0 << QList<int>{} << 0 << "" << QList<int>{} << true;
}

void TestPackListOps::move()
{
    QFETCH(bool, up);
    QFETCH(int, n);
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(QString, after);
    QFETCH(QList<int>, selectedAfter);
    QFETCH(bool, nothingToSwap);
    ScriptedMessageBox box;
    PackList list = makeList(n, selected, current);

    up ? MoveUp(list) : MoveDown(list);

    QCOMPARE(order(list), after);
    QCOMPARE(selectedRows(list), selectedAfter);
    QCOMPARE(list.currentRow(), current);
    if (nothingToSwap) {
        QCOMPARE(box.asked().size(), 1);
        QCOMPARE(box.asked()[0].text, QStringLiteral("Nothing to swap."));
        QCOMPARE(box.asked()[0].style, 48);
        QCOMPARE(box.asked()[0].title, QStringLiteral("Vantu Kliva TARN"));
    } else {
        QVERIFY(box.asked().isEmpty());
    }
}

void TestPackListOps::sort_data()
{
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("sorted");

    const QStringList abc{QStringLiteral("C:\\b.mpg"), QStringLiteral("C:\\A.mpg"), QStringLiteral("C:\\a.mpg")};
    QTest::newRow("upper case first") << true << abc
                                      << QStringList{"C:\\A.mpg", "C:\\a.mpg", "C:\\b.mpg"};
    QTest::newRow("descending reverses") << false << abc
                                         << QStringList{"C:\\b.mpg", "C:\\a.mpg", "C:\\A.mpg"};
    QTest::newRow("prefix first") << true << QStringList{"/v/ab", "/v/a", "/v/a.b"}
                                  << QStringList{"/v/a", "/v/a.b", "/v/ab"};
    QTest::newRow("duplicates kept") << true << QStringList{"/z", "/a", "/z", "/a"}
                                     << QStringList{"/a", "/a", "/z", "/z"};
    QTest::newRow("one row") << false << QStringList{"/only"} << QStringList{"/only"};
    // Code units, not code points: U+10000 is the surrogate pair D800 DC00, below U+FFFF.
    const QString astral = QString::fromUcs4(U"/\U00010000");
    const QString bmpTop = QString::fromUcs4(U"/\uFFFF");
    const QString eAcute = QString::fromUcs4(U"/\u00E9");
    QTest::newRow("utf-16 order") << true << QStringList{bmpTop, astral, eAcute, "/z"}
                                  << QStringList{"/z", eAcute, astral, bmpTop};
}

void TestPackListOps::sort()
{
    QFETCH(bool, ascending);
    QFETCH(QStringList, paths);
    QFETCH(QStringList, sorted);
    ScriptedMessageBox box;
    PackList list = listOfPaths(paths);

    QVERIFY(ascending ? SortAscending(list) : SortDescending(list));

    QCOMPARE(list.paths(), sorted);
    for (int i = 1; i <= list.count(); ++i) {
        QCOMPARE(list.row(i).videoSize, QStringLiteral("size of ") + list.path(i));
        QCOMPARE(list.row(i).frameRate, QStringLiteral("rate of ") + list.path(i));
    }
    QCOMPARE(list.selectedCount(), 0);
    QCOMPARE(selectedRows(list), QList<int>{});
    QCOMPARE(list.currentRow(), 0);
    QVERIFY(box.asked().isEmpty());
}

void TestPackListOps::sortOfEmptyList()
{
    ScriptedMessageBox box;
    PackList list;
    QVERIFY(!SortAscending(list));
    QVERIFY(!SortDescending(list));
    QCOMPARE(box.texts(), QStringList({"Nothing to sort.", "Nothing to sort."}));
    QCOMPARE(box.asked()[0].style, 48);
}

void TestPackListOps::quickSortPivotRounding_data()
{
    // Equal keys with different cells show which pivots were taken: these orders come
    // from middles rounded half to even ((1 + 4) / 2 = 2, (3 + 4) / 2 = 4); rounding
    // halves up gives 2 0 4 3 1 and 2 5 4 3 0 1.
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("cellOrder");
    QTest::newRow("ascending") << true << "bcacb" << "2 4 0 1 3";
    QTest::newRow("descending") << false << "aabaab" << "2 5 4 0 1 3";
}

void TestPackListOps::quickSortPivotRounding()
{
    QFETCH(bool, ascending);
    QFETCH(QString, keys);
    QFETCH(QString, cellOrder);
    QStringList paths, sizes, rates;
    for (int k = 0; k < keys.size(); ++k) {
        paths << QString(keys[k]);
        sizes << QString::number(k);
        rates << QStringLiteral("r%1").arg(k);
    }
    const int high = int(paths.size()) - 1;
    ascending ? QuickSortAscending(paths, sizes, rates, 0, high)
              : QuickSortDescending(paths, sizes, rates, 0, high);
    QCOMPARE(sizes.join(QLatin1Char(' ')), cellOrder);
    for (int k = 0; k < sizes.size(); ++k) {
        QCOMPARE(paths[k], QString(keys[sizes[k].toInt()]));
        QCOMPARE(rates[k], QLatin1Char('r') + sizes[k]);
    }
}

void TestPackListOps::randomSortsAreOrderedPermutations()
{
    QRandomGenerator rng(20261205);
    for (int round = 0; round < 600; ++round) {
        const int n = rng.bounded(1, 80);
        QStringList paths;
        const int alphabet = rng.bounded(2, 6); // few letters: many duplicates and prefixes
        for (int k = 0; k < n; ++k) {
            QString p = QStringLiteral("/d/");
            for (int len = rng.bounded(0, 4); len > 0; --len)
                p += QChar(u'A' + rng.bounded(alphabet) * 16); // A, Q, a, q, ...
            paths << p;
        }
        for (bool ascending : {true, false}) {
            PackList list = listOfPaths(paths);
            ascending ? SortAscending(list) : SortDescending(list);
            QStringList expected = paths;
            std::sort(expected.begin(), expected.end(), binaryLess);
            if (!ascending)
                std::reverse(expected.begin(), expected.end());
            QCOMPARE(list.paths(), expected);
            for (int i = 1; i <= n; ++i)
                QCOMPARE(list.row(i).videoSize, QStringLiteral("size of ") + list.path(i));
        }
    }
}

void TestPackListOps::selectionCommands()
{
    PackList list = makeList(3);
    SelectAll(list);
    QCOMPARE(selectedRows(list), QList<int>({1, 2, 3}));
    InvertSelection(list);
    QCOMPARE(selectedRows(list), QList<int>{});
    InvertSelection(list);
    QCOMPARE(selectedRows(list), QList<int>({1, 2, 3}));
    DeselectAll(list);
    QCOMPARE(selectedRows(list), QList<int>{});

    PackList partial = makeList(5, {1, 4});
    InvertSelection(partial);
    QCOMPARE(selectedRows(partial), QList<int>({2, 3, 5}));
    QCOMPARE(order(partial), QStringLiteral("1 2 3 4 5"));

    PackList empty;
    SelectAll(empty);
    InvertSelection(empty);
    QCOMPARE(empty.selectedCount(), 0);
}

void TestPackListOps::lastSelected_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("last");
    QTest::newRow("2 and 5 of 7") << 7 << QList<int>{2, 5} << 5;
    QTest::newRow("none") << 7 << QList<int>{} << 0;
    QTest::newRow("the last row") << 7 << QList<int>{1, 7} << 7;
    QTest::newRow("empty list") << 0 << QList<int>{} << 0;
}

void TestPackListOps::lastSelected()
{
    QFETCH(int, n);
    QFETCH(QList<int>, selected);
    QFETCH(int, last);
    QCOMPARE(LV_GetLastSelected(makeList(n, selected)), last);
}

void TestPackListOps::dropTargetRow_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("row");
    QTest::newRow("second row") << 500 << 195 << 0 << 2;
    QTest::newRow("scrolled") << 1000 << 195 << 10 << 14;
    QTest::newRow("top band") << 100 << 195 << 0 << 0;
    // Truncation toward zero, not flooring: -45 / 195 is 0, -330 / 195 is -1.
    QTest::newRow("top edge") << 0 << 195 << 0 << 0;
    QTest::newRow("above the list") << -300 << 195 << 3 << 2;
    QTest::newRow("large text") << 2000 << 300 << 0 << 6;
}

void TestPackListOps::dropTargetRow()
{
    QFETCH(int, y);
    QFETCH(int, h);
    QFETCH(int, top);
    QFETCH(int, row);
    QCOMPARE(kt::dropTargetRow(y, h, top), row);
}

void TestPackListOps::dropReorder_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QList<int>>("selectedAfter");

    QTest::newRow("5,7 onto 2") << 7 << QList<int>{5, 7} << 2 << "1 5 2 7 3 4 6" << QList<int>{2, 4};
    QTest::newRow("2,4 onto 7") << 7 << QList<int>{2, 4} << 7 << "1 3 5 6 2 7 4" << QList<int>{5, 7};
    QTest::newRow("block 3-4 onto 1") << 5 << QList<int>{3, 4} << 1 << "3 4 1 2 5" << QList<int>{1, 2};
    QTest::newRow("single onto next") << 5 << QList<int>{2} << 3 << "1 3 2 4 5" << QList<int>{3};
    QTest::newRow("inside the span") << 7 << QList<int>{2, 5} << 3 << "1 2 3 4 5 6 7" << QList<int>{2, 5};
    QTest::newRow("on the first selected") << 7 << QList<int>{2, 5} << 2 << "1 2 3 4 5 6 7" << QList<int>{2, 5};
    QTest::newRow("on the last selected") << 7 << QList<int>{2, 5} << 5 << "1 2 3 4 5 6 7" << QList<int>{2, 5};
    QTest::newRow("below the last row") << 7 << QList<int>{2, 5} << 8 << "1 2 3 4 5 6 7" << QList<int>{2, 5};
    QTest::newRow("over the header: as row 1") << 7 << QList<int>{5, 7} << 0 << "5 1 7 2 3 4 6" << QList<int>{1, 3};
    QTest::newRow("nothing selected") << 4 << QList<int>{} << 1 << "1 2 3 4" << QList<int>{};
}

void TestPackListOps::dropReorder()
{
    QFETCH(int, n);
    QFETCH(QList<int>, selected);
    QFETCH(int, target);
    QFETCH(QString, after);
    QFETCH(QList<int>, selectedAfter);
    PackList list = makeList(n, selected, 3);
    const QString before = order(list);

    const bool moved = DropReorder(list, target);

    QCOMPARE(order(list), after);
    QCOMPARE(selectedRows(list), selectedAfter);
    QCOMPARE(moved, after != before);
    QCOMPARE(list.currentRow(), 3);
}

void TestPackListOps::dropReorderMatchesAdjacentExchanges()
{
    QRandomGenerator rng(42);
    for (int round = 0; round < 5000; ++round) {
        const int n = round < 4800 ? rng.bounded(1, 25) : rng.bounded(25, 300);
        const QList<int> sel = randomSelection(rng, n);
        const int target = rng.bounded(1, n + 2);
        PackList fast = makeList(n, sel);
        PackList literal = makeList(n, sel);
        DropReorder(fast, target);
        literalDropReorder(literal, target);
        if (order(fast) != order(literal) || selectedRows(fast) != selectedRows(literal))
            QFAIL(qPrintable(QStringLiteral("n %1, target %2, selected %3: %4 against %5")
                                 .arg(n).arg(target)
                                 .arg(QString::number(sel.size()), order(fast), order(literal))));
    }
}

QTEST_GUILESS_MAIN(TestPackListOps)
#include "tst_packlistops.moc"
