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
        QTest::newRow("UTF-8 kept") << QByteArray("caf\xc3\xa9") << QStringList{QString::fromUtf8("caf\xc3\xa9")};
    }
    void split()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, tips);
        QCOMPARE(splitTips(text), tips);
    }

    void loadTipsRefusesWhatIsNotAFile()
    {
        QTemporaryDir dir;
        QStringList tips{"kept"};
        QVERIFY(!LoadTips(dir.path(), tips));
        QVERIFY(!LoadTips(dir.filePath("none"), tips));
        QCOMPARE(tips, QStringList{"kept"});
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
        QCOMPARE(tip, count > 0 ? QString::number(index) : QString());
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
        QCOMPARE(seen.size(), 3);
    }

    // Tips show at start unless ShowTod is exactly "0"; absent counts as shown.
    void showTodSetting()
    {
        QSettings("Vantu", "KlivaTARN").remove("ShowTod");
        QVERIFY(tipsShownAtStart());
        for (const QString value : {"0", "no", ""}) {
            writeShowTod(value);
            QCOMPARE(tipsShownAtStart(), value != "0");
        }
    }

private:
    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(TestTips)
#include "tst_tips.moc"
