// The tips file rules, the random pick, and the show-at-start setting.
#include "auxiliary/tips/Tips.h"

#include <QtTest>

using namespace kt;

class TestTips : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

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
        QTest::newRow("UTF-8 kept") << QByteArray("caf\xc3\xa9 \xe2\x86\x92 ok")
                                    << QStringList{QString::fromUtf8("caf\xc3\xa9 \xe2\x86\x92 ok")};
    }
    void split()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, tips);
        QCOMPARE(splitTips(text), tips);
    }

    void loadTips()
    {
        QTemporaryDir dir;
        QStringList tips{QStringLiteral("kept")};
        QVERIFY(!LoadTips(QString(), tips));
        QVERIFY(!LoadTips(dir.path(), tips)); // a folder is not a tips file
        QVERIFY(!LoadTips(dir.filePath(QStringLiteral("tod.ctd")), tips));
        QCOMPARE(tips, QStringList{QStringLiteral("kept")});

        const QString path = dir.filePath(QStringLiteral("tod.ctd"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(LoadTips(path, tips)); // empty file: read, no tips
        QCOMPARE(tips.size(), 1);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("one\r\ntwo\rthree");
        f.close();
        QVERIFY(LoadTips(path, tips));
        QCOMPARE(tips, (QStringList{"kept", "one", "two", "three"}));
    }

    void pickIndex_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("index");
        QTest::newRow("r=0") << 3 << 0.0 << 1;
        QTest::newRow("r just below 1/3") << 3 << 0.333 << 1;
        QTest::newRow("r=1/2") << 3 << 0.5 << 2;
        QTest::newRow("r near 1") << 3 << 0.9999 << 3;
        QTest::newRow("one tip") << 1 << 0.7 << 1;
        QTest::newRow("no tips") << 0 << 0.7 << 1;
    }
    void pickIndex()
    {
        QFETCH(int, count);
        QFETCH(double, r);
        QFETCH(int, index);
        TipPicker picker([r] { return r; });
        for (int i = 0; i < count; ++i)
            picker.tips.append(QString::number(i + 1));
        picker.NextRandomTip();
        QCOMPARE(picker.currentIndex, index);
        QString tip;
        QCOMPARE(picker.currentTip(&tip), count > 0);
        if (count > 0)
            QCOMPARE(tip, QString::number(index));
    }

    // With the clock-seeded generator every tip comes up sooner or later.
    void everyTipEventuallyShown()
    {
        TipPicker picker;
        picker.tips = QStringList{"a", "b", "c"};
        QSet<QString> seen;
        for (int i = 0; i < 500 && seen.size() < 3; ++i) {
            picker.NextRandomTip();
            QString tip;
            QVERIFY(picker.currentTip(&tip));
            seen.insert(tip);
        }
        QCOMPARE(seen.size(), 3);
    }

    void showTodSetting()
    {
        QSettings(QStringLiteral("Vantu"), QStringLiteral("KlivaTARN")).remove(QStringLiteral("ShowTod"));
        QVERIFY(tipsShownAtStart()); // absent
        setTipsShownAtStart(false);
        QCOMPARE(QSettings(QStringLiteral("Vantu"), QStringLiteral("KlivaTARN"))
                     .value(QStringLiteral("ShowTod"))
                     .toString(),
                 QStringLiteral("0"));
        QVERIFY(!tipsShownAtStart());
        writeShowTod(QStringLiteral("no"));
        QVERIFY(tipsShownAtStart()); // anything but "0"
        writeShowTod(QString());
        QVERIFY(tipsShownAtStart());
        setTipsShownAtStart(true);
        QCOMPARE(readShowTod(), QStringLiteral("1"));
    }

private:
    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(TestTips)
#include "tst_tips.moc"
