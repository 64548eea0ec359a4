// The tips file: its lines, and what may stand at its path.
#include "../support/OddFiles.h"
#include "../support/TestFiles.h"
#include "auxiliary/tips/Tips.h"

#include <QtTest>

using namespace kt;
using kt::test::Odd;

// What stands at the tips file's path.
struct TipsFileCase
{
    Odd odd;
    qint64 size = -1; // for Odd::None, an ordinary file of this size, or none when negative
    bool loads = false;
};
Q_DECLARE_METATYPE(TipsFileCase)

class TestTips : public QObject
{
    Q_OBJECT
private slots:
    void split_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc\r\n") << QStringList{"a", "b", "c"};
        QTest::newRow("CR") << QByteArray("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("last line without ending") << QByteArray("a\r\nlast") << QStringList{"a", "last"};
        QTest::newRow("blank lines count") << QByteArray("a\r\n\r\n\rb") << QStringList{"a", "", "", "b"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("empty") << QByteArray() << QStringList{};
        QTest::newRow("UTF-8 kept") << QByteArray("caf\xc3\xa9")
                                    << QStringList{QString::fromUtf8("caf\xc3\xa9")};
    }
    void split()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, tips);
        QCOMPARE(splitTips(text), tips);
    }

    void loadTipsRefusesWhatIsNotAFile_data()
    {
        QTest::addColumn<TipsFileCase>("c");
        QTest::newRow("tips") << TipsFileCase{Odd::None, 1000, true};
        QTest::newRow("empty") << TipsFileCase{Odd::None, 0, true};
        QTest::newRow("as long as may be") << TipsFileCase{Odd::None, kTipsReadLimit, true};
        QTest::newRow("longer") << TipsFileCase{Odd::None, kTipsReadLimit + 1};
        QTest::newRow("missing") << TipsFileCase{Odd::None};
        QTest::newRow("pipe") << TipsFileCase{Odd::Pipe};
        QTest::newRow("pipe, silent writer") << TipsFileCase{Odd::PipeSilentWriter};
        QTest::newRow("endless device") << TipsFileCase{Odd::EndlessDevice};
        QTest::newRow("folder") << TipsFileCase{Odd::Folder};
    }
    void loadTipsRefusesWhatIsNotAFile()
    {
        QFETCH(TipsFileCase, c);
        QTemporaryDir dir;
        const QString path = dir.filePath(tipsFileName());
        test::OddFile odd(c.odd, path);
        QVERIFY(odd.ok());
        const QByteArray line = QByteArray(1023, 't') + '\n'; // few long lines: a small list
        const QByteArray text = line.repeated(qMax<qint64>(c.size, 0) / line.size() + 1).left(c.size);
        QVERIFY(c.size < 0 || test::writeFile(path, text));
        QStringList tips{"kept"};
        bool loaded = !c.loads;
        QVERIFY2(odd.returnsUnaided([&] { loaded = LoadTips(path, tips); }), "LoadTips waited on the file");
        QCOMPARE(loaded, c.loads);
        QCOMPARE(tips, c.loads ? QStringList{"kept"} + splitTips(text) : QStringList{"kept"});
    }
};

QTEST_GUILESS_MAIN(TestTips)
#include "tst_tips.moc"
