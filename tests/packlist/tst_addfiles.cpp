// Adding files: what is skipped, dropped file lists, and what a drop of other data leaves.
// (The dialog's request, its order and the real stream-info cells: tst_packlistwindow.)
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "../support/ScriptedSeams.h"
#include "ListFixture.h"
#include "packlist/AddFiles.h"

using namespace kt;
using namespace kt::test;

namespace {

// Cells that name their path, and a record of the paths asked about.
struct FakeInfo
{
    QStringList asked;
    StreamInfoSource source()
    {
        return [this](const QString& path) {
            asked << path;
            return StreamInfoTexts{QStringLiteral("size:") + QFileInfo(path).fileName(),
                                   QStringLiteral("rate:") + QFileInfo(path).fileName()};
        };
    }
};

QMimeData* urlData(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

} // namespace

class TestAddFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void dialogCancelAddsNothing();
    void appendSkipsFoldersAndMissingFiles();
    void dropAppendsFilesAfterTheLastRow();
    void dropOfOtherData_data();
    void dropOfOtherData();
    void pendingReorderCompletesAtThePointer();
    void pointerOutsideTheRowsCancelsThePendingReorder();

private:
    QTemporaryDir m_dir;
    QString file(const QString& name) const { return m_dir.filePath(name); }
};

void TestAddFiles::init()
{
    QVERIFY(m_dir.isValid());
    for (const char* name : {"one.mpg", "two.mp3", "three.txt", "b.mpg"}) {
        QFile f(file(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("data");
    }
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.mpg")));
}

void TestAddFiles::dialogCancelAddsNothing()
{
    ScriptedFileDialogs dialogs; // no answer queued: cancelled
    FakeInfo info;
    PackList list = makeList(2);
    QCOMPARE(ShowAddFilesDialog(list, info.source()), 0);
    QCOMPARE(order(list), QStringLiteral("1 2"));
    QVERIFY(info.asked.isEmpty());
}

void TestAddFiles::appendSkipsFoldersAndMissingFiles()
{
    FakeInfo info;
    PackList list;
    const int added = AppendFiles(list, {file("folder.mpg"), file("gone.mpg"), QString(), m_dir.path(),
                                         file("b.mpg"), file("one.mpg") + QLatin1Char('/')},
                                  info.source());
    QCOMPARE(added, 1);
    QCOMPARE(list.paths(), QStringList{file("b.mpg")});
}

void TestAddFiles::dropAppendsFilesAfterTheLastRow()
{
    FakeInfo info;
    PackList list = makeList(3, {2}, 2);
    PackListDrop drop;
    std::unique_ptr<QMimeData> data(urlData({file("one.mpg"), file("folder.mpg"), file("two.mp3")}));

    QCOMPARE(drop.drop(list, *data, info.source()), 2);

    QVERIFY(!drop.itemDropPending());
    QCOMPARE(list.count(), 5);
    QCOMPARE(list.paths().mid(0, 3), QStringList({fixturePath(1), fixturePath(2), fixturePath(3)}));
    QCOMPARE(list.paths().mid(3), QStringList({file("one.mpg"), file("two.mp3")}));
    QCOMPARE(list.row(5).videoSize, QStringLiteral("size:two.mp3"));
    QCOMPARE(selectedRows(list), QList<int>{2});
}

void TestAddFiles::dropOfOtherData_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("plain text") << "text";
    QTest::newRow("web address") << "http";
    QTest::newRow("only a folder") << "folder";
}

void TestAddFiles::dropOfOtherData()
{
    QFETCH(QString, kind);
    FakeInfo info;
    PackList list = makeList(3);
    PackListDrop drop;
    QMimeData data;
    if (kind == QLatin1String("text"))
        data.setText(file("one.mpg"));
    else if (kind == QLatin1String("http"))
        data.setUrls({QUrl(QStringLiteral("https://example.org/clip.mpg"))});
    else
        data.setUrls({QUrl::fromLocalFile(file("folder.mpg"))});

    QCOMPARE(drop.drop(list, data, info.source()), 0);

    QCOMPARE(order(list), QStringLiteral("1 2 3"));
    QVERIFY(info.asked.isEmpty());
    // A folder is a file list all the same: the drop is settled. Anything else waits for
    // the pointer to say where the dragged rows go.
    QCOMPARE(drop.itemDropPending(), kind != QLatin1String("folder"));
}

void TestAddFiles::pendingReorderCompletesAtThePointer()
{
    FakeInfo info;
    PackList list = makeList(7, {5, 7});
    PackListDrop drop;
    QMimeData rows; // the list's own rows carry no file list
    rows.setData(QStringLiteral("application/x-qabstractitemmodeldatalist"), QByteArray("x"));

    QVERIFY(!drop.pointerMoved(list, 500, 195, 0)); // nothing pending yet
    QCOMPARE(drop.dropPointerY(), 500);
    drop.drop(list, rows, info.source());
    QVERIFY(drop.itemDropPending());

    // y 500 with text 195 high is row 2 (see the target-row table).
    QVERIFY(drop.pointerMoved(list, 500, 195, 0));
    QVERIFY(!drop.itemDropPending());
    QCOMPARE(order(list), QStringLiteral("1 5 2 7 3 4 6"));
    QCOMPARE(selectedRows(list), QList<int>({2, 4}));

    QVERIFY(!drop.pointerMoved(list, 2000, 195, 0)); // settled: further moves do nothing
    QCOMPARE(order(list), QStringLiteral("1 5 2 7 3 4 6"));
}

void TestAddFiles::pointerOutsideTheRowsCancelsThePendingReorder()
{
    FakeInfo info;
    PackList list = makeList(3, {1});
    PackListDrop drop;
    QMimeData text;
    text.setText(QStringLiteral("words"));
    drop.drop(list, text, info.source());

    QVERIFY(!drop.pointerMoved(list, 5000, 195, 0)); // row 21 of 3
    QVERIFY(!drop.itemDropPending());
    QVERIFY(!drop.pointerMoved(list, 500, 195, 0));
    QCOMPARE(order(list), QStringLiteral("1 2 3"));
}

QTEST_GUILESS_MAIN(TestAddFiles)
#include "tst_addfiles.moc"
