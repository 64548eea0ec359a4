// Remove, Move Up/Down, the sorts and drop-to-reorder; the tooltips' durations.
#include "../support/ScriptedSeams.h"
#include "ListFixture.h"
#include "packlist/FileDetails.h"
#include "packlist/PackListOps.h"

#include <QTest>

using namespace kt;
using namespace kt::test;

namespace {

enum class Edit { Remove, Up, Down, Drop };

// An edit of a numbered list, with the current row and the messages that follow it.
struct EditCase
{
    Edit edit;
    QString before;
    int current, target; // target: of a drop
    QString after;
    int currentAfter;
    QStringList said = {};
};

struct SortCase
{
    bool ascending;
    QStringList paths;
    QString after; // every row selected and the current one before: a sort clears both
};
} // namespace

class TestPackListOps : public QObject
{
    Q_OBJECT
private slots:
    void edits_data()
    {
        const auto R = Edit::Remove, U = Edit::Up, D = Edit::Down, Drop = Edit::Drop;
        const QStringList none{"Nothing to swap."};
        auto row = [](const char* name, const EditCase& c) { QTest::newRow(name) << c; };
        QTest::addColumn<EditCase>("c");
        // Remove: the focus mark goes to the last row still selected.
        row("remove the last two", {R, "1 2 3* 4*", 1, 0, "1 2*", 2});
        row("remove scattered", {R, "1* 2 3* 4 5* 6", 1, 0, "2 4 6*", 3});
        row("remove all", {R, "1* 2* 3*", 1, 0, "", 0});
        row("remove nothing selected", {R, "1 2 3", 1, 0, "1 2 3", 1});
        // Moves: the current row goes with its row, and decides whether a selected first row blocks.
        row("up 2,3 current 3", {U, "1 2* 3* 4 5", 3, 0, "2* 3* 1 4 5", 2});
        row("up 1,3 current 1", {U, "1* 2 3* 4 5", 1, 0, "1* 2 3* 4 5", 1});
        row("up 1,3 current 3", {U, "1* 2 3* 4 5", 3, 0, "1* 3* 2 4 5", 2});
        row("up without current row", {U, "1 2 3* 4 5", 0, 0, "1 2 3* 4 5", 0});
        row("up, current not selected", {U, "1 2 3 4* 5", 2, 0, "1 2 4* 3 5", 2});
        row("up empty", {U, "", 0, 0, "", 0, none});
        row("down 3,4 current 3", {D, "1 2 3* 4* 5", 3, 0, "1 2 5 3* 4*", 4});
        row("down last row current", {D, "1 2* 3 4 5", 5, 0, "1 2* 3 4 5", 5});
        row("down nothing selected", {D, "1 2 3", 1, 0, "1 2 3", 1, none});
        // Drops onto a row; the current row stays.
        const QString span = "1 2* 3 4 5* 6 7";
        row("drop 5,7 onto 2", {Drop, "1 2 3 4 5* 6 7*", 3, 2, "1 5* 2 7* 3 4 6", 3});
        row("drop inside the span", {Drop, span, 3, 3, span, 3});
        row("drop on the first selected", {Drop, span, 3, 2, span, 3});
        row("drop below the last row", {Drop, span, 3, 8, span, 3});
        row("drop over the header: as row 1", {Drop, "1 2 3 4 5* 6 7*", 3, 0, "5* 1 7* 2 3 4 6", 3});
        row("drop 2,3,7 onto 8", {Drop, "1 2* 3* 4 5 6 7* 8 9", 3, 8, "1 4 2* 3* 5 6 8 7* 9", 3});
        row("drop nothing selected", {Drop, "1 2 3 4", 3, 1, "1 2 3 4", 3});
    }
    void edits()
    {
        QFETCH(EditCase, c);
        ScriptedMessageBox box;
        PackList list = makeList(c.before, c.current);
        const bool changed = c.edit == Edit::Remove ? RemoveSelected(list)
                             : c.edit == Edit::Up   ? MoveUp(list)
                             : c.edit == Edit::Down ? MoveDown(list)
                                                    : DropReorder(list, c.target);
        QCOMPARE(changed, c.after != c.before);
        QCOMPARE(state(list), c.after);
        QCOMPARE(list.currentRow(), c.currentAfter);
        QCOMPARE(box.texts(), c.said);
        for (const AskedMessage& m : box.asked())
            QCOMPARE(m.style, 48);
    }

    void sort_data()
    {
        QTest::addColumn<SortCase>("c");
        const QStringList abc{"C:\\b.mpg", "C:\\A.mpg", "C:\\a.mpg"};
        QTest::newRow("upper case first") << SortCase{true, abc, "2 3 1"};
        QTest::newRow("descending") << SortCase{false, abc, "1 3 2"};
        // Code units, not code points: U+10000 is the surrogate pair D800 DC00, below U+FFFF.
        const QStringList utf16{QString::fromUcs4(U"/\uFFFF"), QString::fromUcs4(U"/\U00010000"),
                                QString::fromUcs4(U"/\u00E9"), "/z"};
        QTest::newRow("utf-16 order") << SortCase{true, utf16, "4 3 2 1"};
        QTest::newRow("empty list") << SortCase{false, {}, ""};
        // Equal keys show the pivots taken: middles rounded half to even ((1 + 4) / 2 = 2,
        // (3 + 4) / 2 = 4). Halves rounded up give 3 1 5 4 2 and 3 6 5 4 1 2.
        QTest::newRow("pivots ascending") << SortCase{true, {"b", "c", "a", "c", "b"}, "3 5 1 2 4"};
        QTest::newRow("pivots descending") << SortCase{false, {"a", "a", "b", "a", "a", "b"}, "3 6 5 1 2 4"};
    }
    void sort()
    {
        QFETCH(SortCase, c);
        ScriptedMessageBox box;
        PackList list = makeList(QStringLiteral("0* ").repeated(c.paths.size()), 1, c.paths);
        QCOMPARE(c.ascending ? SortAscending(list) : SortDescending(list), !c.paths.isEmpty());
        QCOMPARE(state(list, c.paths), c.after);
        QCOMPARE(list.currentRow(), c.paths.isEmpty() ? 1 : 0);
        QCOMPARE(box.texts(), c.paths.isEmpty() ? QStringList{"Nothing to sort."} : QStringList{});
    }

    // Rows of text 195 twips high, divided toward zero, not floored: -45 / 195 is 0, -330 / 195 is -1.
    // Durations in hundredths rounded, carrying into the minute.
    void dropTargetRowAndDurations()
    {
        QList<int> rows;
        for (auto [y, top] : {std::pair{500, 0}, {1000, 10}, {0, 0}, {-300, 3}})
            rows << kt::dropTargetRow(y, 195, top);
        QCOMPARE(rows, (QList<int>{2, 14, 0, 2}));
        QStringList texts;
        for (double seconds : {3.014, 59.996, 780.09, 3723.456})
            texts << durationText(seconds);
        QCOMPARE(texts, (QStringList{"0:03.01", "1:00.00", "13:00.09", "1:02:03.46"}));
    }
};

QTEST_GUILESS_MAIN(TestPackListOps)
#include "tst_packlistops.moc"
