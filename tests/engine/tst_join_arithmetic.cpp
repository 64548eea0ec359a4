// Block arithmetic, the percentage and the time-remaining texts of the join.
#include <QtTest>

#include "engine/JoinArithmetic.h"
#include "engine/PackTexts.h"

using namespace kt;

class TestJoinArithmetic : public QObject
{
    Q_OBJECT
private slots:
    void blocks_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<quint64>("length");
        QTest::addColumn<quint64>("fullBlocks");
        QTest::addColumn<quint64>("remainder");
        const int normal = int(TransferRate::Normal), ufast = int(TransferRate::UltraFast);
        QTest::newRow("7, normal") << normal << quint64(7) << quint64(0) << quint64(7);
        QTest::newRow("100,000, normal") << normal << quint64(100000) << quint64(1) << quint64(0);
        QTest::newRow("123,456, normal") << normal << quint64(123456) << quint64(1) << quint64(23456);
        QTest::newRow("12,345,678, ufast") << ufast << quint64(12345678) << quint64(2) << quint64(2345678);
        QTest::newRow("9,999,999, ufast") << ufast << quint64(9999999) << quint64(0) << quint64(9999999);
        QTest::newRow("over 4 GiB, fast") << int(TransferRate::Fast) << quint64(4296015872ull) << quint64(4296)
                                          << quint64(15872);
    }
    void blocks()
    {
        QFETCH(int, rate);
        QFETCH(quint64, length);
        QFETCH(quint64, fullBlocks);
        QFETCH(quint64, remainder);
        const BlockPlan plan = planBlocks(length, blockSizeFor(TransferRate(rate)));
        QCOMPARE(plan.fullBlocks, fullBlocks);
        QCOMPARE(plan.remainder, remainder);
    }

    void percent_data()
    {
        QTest::addColumn<quint64>("packed");
        QTest::addColumn<quint64>("total");
        QTest::addColumn<int>("percent");
        QTest::newRow("0.5 rounds to 0") << quint64(1) << quint64(200) << 0;
        QTest::newRow("1.5 rounds to 2") << quint64(3) << quint64(200) << 2;
        QTest::newRow("2.5 rounds to 2") << quint64(5) << quint64(200) << 2;
        QTest::newRow("just above a half") << quint64(5001) << quint64(200000) << 3;
        QTest::newRow("all") << quint64(223463) << quint64(223463) << 100;
        QTest::newRow("huge counts stay exact") << quint64(0x7fffffffffffffffull) << quint64(0xfffffffffffffffeull)
                                                << 50;
        QTest::newRow("no total") << quint64(0) << quint64(0) << 0;
    }
    void percent()
    {
        QFETCH(quint64, packed);
        QFETCH(quint64, total);
        QFETCH(int, percent);
        QCOMPARE(packPercent(packed, total), percent);
    }

    void timeRemaining_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("24% after 1 minute") << 24 << qint64(60000) << "6 minutes 20 seconds remaining";
        QTest::newRow("0% counts as 1%") << 0 << qint64(1000) << "3 minutes 18 seconds remaining";
        QTest::newRow("1 hour 5 minutes") << 50 << qint64(1950000) << "1 hour 5 minutes remaining";
        QTest::newRow("2 hours 0 minute") << 50 << qint64(3600000) << "2 hours 0 minute remaining";
        QTest::newRow("2 minutes 1 second") << 50 << qint64(60500) << "2 minutes 1 second remaining";
        QTest::newRow("0 second") << 100 << qint64(5000) << "0 second remaining";
        QTest::newRow("59 seconds") << 50 << qint64(29500) << "59 seconds remaining";
    }
    void timeRemaining()
    {
        QFETCH(int, percent);
        QFETCH(qint64, elapsedMs);
        QFETCH(QString, text);
        QCOMPARE(timeRemainingText(percent, elapsedMs), text);
    }

    void successMessageUsesThousandsSeparators()
    {
        auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(texts::packedSuccessfully(QStringLiteral("/x/o.mpg"), 223463),
                 QStringLiteral("'/x/o.mpg' successfully packed! Total filesize is 223.463 bytes."));
    }
};

QTEST_GUILESS_MAIN(TestJoinArithmetic)
#include "tst_join_arithmetic.moc"
