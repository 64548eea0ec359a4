// The tips file rules and the random pick's generator.
#include "../support/OddFiles.h"
#include "auxiliary/tips/Tips.h"

#include <QtTest>

using namespace kt;
using kt::test::Odd;

// What stands at the tips file's path.
struct TipsFileCase
{
    std::optional<Odd> odd; // nothing: an ordinary file of `size` bytes, or none when size < 0
    qint64 size = 0;
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
        QTest::newRow("tips") << TipsFileCase{std::nullopt, 1000, true};
        QTest::newRow("empty") << TipsFileCase{std::nullopt, 0, true};
        QTest::newRow("as long as may be") << TipsFileCase{std::nullopt, kTipsReadLimit, true};
        QTest::newRow("longer") << TipsFileCase{std::nullopt, kTipsReadLimit + 1, false};
        QTest::newRow("missing") << TipsFileCase{std::nullopt, -1, false};
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
        std::optional<test::OddFile> odd;
        QByteArray text;
        if (c.odd) {
            odd.emplace(*c.odd, path);
            QVERIFY(odd->ok());
        } else if (c.size >= 0) {
            const QByteArray line = QByteArray(1023, 't') + '\n'; // few long lines: a small list
            text = line.repeated(c.size / line.size() + 1).left(c.size);
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        }
        QStringList tips{"kept"};
        bool loaded = !c.loads;
        const auto load = [&] { loaded = LoadTips(path, tips); };
        QVERIFY2(odd ? odd->returnsUnaided(load) : (load(), true), "LoadTips waited on the file");
        QCOMPARE(loaded, c.loads);
        QCOMPARE(tips, c.loads ? QStringList{"kept"} + splitTips(text) : QStringList{"kept"});
    }

    // The default, clock-seeded generator brings every tip up sooner or later.
    void everyTipEventuallyShown()
    {
        TipPicker picker;
        picker.tips = QStringList{"a", "b", "c"};
        QSet<int> seen;
        for (int i = 0; i < 500 && seen.size() < 3; ++i) {
            picker.NextRandomTip();
            seen.insert(picker.currentIndex);
        }
        QCOMPARE(seen, (QSet<int>{1, 2, 3}));
    }
};

QTEST_GUILESS_MAIN(TestTips)
#include "tst_tips.moc"
