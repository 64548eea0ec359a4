// Start-up values, the metrics table, the placement formulas and the toolbar table.
#include <QtTest>

#include "app/LayoutMetrics.h"
#include "app/MainLayout.h"
#include "app/StartupValues.h"
#include "app/ToolbarTable.h"
#include "platform/SystemProbe.h"

using namespace kt;

Q_DECLARE_METATYPE(kt::LayoutMetrics)

namespace {
OsVersionInfo ver(int platform, int major, int minor)
{
    OsVersionInfo v;
    v.platformId = platform;
    v.major = major;
    v.minor = minor;
    return v;
}
LayoutMetrics lm(int w, int h, int bl, int bt, int sg, int te)
{
    return {qint16(w), qint16(h), qint16(bl), qint16(bt), qint16(sg), qint16(te)};
}
} // namespace

class TestAppLogic : public QObject
{
    Q_OBJECT
private slots:
    void metricsTable_data();
    void metricsTable();
    void metricsThroughProbe();
    void normalDpi_data();
    void normalDpi();
    void runningSystemTakesNotNtRow();
    void programDir_data();
    void programDir();
    void placement_data();
    void placement();
    void placementKeepsLastValidValues();
    void surfaceMapping();
    void toolbarHints_data();
    void toolbarHints();
    void toolbarEntries();
};

void TestAppLogic::metricsTable_data()
{
    QTest::addColumn<int>("platform");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("themeActive");
    QTest::addColumn<QString>("sizeName");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("xp");
    QTest::addColumn<LayoutMetrics>("metrics");

    QTest::newRow("Windows 98") << 1 << 4 << 10 << "" << "" << "" << false << lm(100, -50, 0, 0, 0, 0);
    QTest::newRow("Linux (other platform)") << kPlatformOther << 6 << 1 << "1" << "NormalSize" << "" << false << lm(100, -50, 0, 0, 0, 0);
    QTest::newRow("Windows 2000") << 2 << 5 << 0 << "1" << "NormalSize" << "" << false << lm(100, -140, 0, 0, 0, 0);
    QTest::newRow("Vista") << 2 << 6 << 0 << "" << "" << "" << false << lm(100, -140, 0, 0, 0, 0);
    QTest::newRow("Server 2003 (5.2)") << 2 << 5 << 2 << "" << "" << "" << false << lm(100, -140, 0, 0, 0, 0);
    QTest::newRow("XP classic standard") << 2 << 5 << 1 << "0" << "" << "Windows Standard" << true << lm(0, -50, 0, 0, 0, 0);
    QTest::newRow("XP classic large") << 2 << 5 << 1 << "" << "" << "Windows Standard (large)" << true << lm(850, 0, 0, 0, 10, 0);
    QTest::newRow("XP classic Large (capital L)") << 2 << 5 << 1 << "" << "" << "Windows Standard (Large)" << true << lm(0, 0, 0, 0, 0, 0);
    QTest::newRow("XP classic extra large") << 2 << 5 << 1 << "" << "" << "Windows Standard (extra large)" << true << lm(2250, 90, 0, 0, 0, 0);
    QTest::newRow("XP classic other") << 2 << 5 << 1 << "0" << "NormalSize" << "Brick" << true << lm(0, 0, 0, 0, 0, 0);
    QTest::newRow("XP themed NormalSize") << 2 << 5 << 1 << "1" << "NormalSize" << "Windows Standard" << true << lm(0, 0, 40, 50, 10, 10);
    QTest::newRow("XP themed LargeFonts") << 2 << 5 << 1 << "1" << "LargeFonts" << "" << true << lm(850, 60, -5, 50, 0, 10);
    QTest::newRow("XP themed ExtraLargeFonts") << 2 << 5 << 1 << "1" << "ExtraLargeFonts" << "" << true << lm(2250, 200, 40, 50, 0, 10);
    QTest::newRow("XP themed other size") << 2 << 5 << 1 << "1" << "normalsize" << "" << true << lm(0, 0, 0, 0, 0, 10);
    QTest::newRow("XP ThemeActive ' 1' is not 1") << 2 << 5 << 1 << " 1" << "NormalSize" << "Windows Standard" << true << lm(0, -50, 0, 0, 0, 0);
}

void TestAppLogic::metricsTable()
{
    QFETCH(int, platform);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, themeActive);
    QFETCH(QString, sizeName);
    QFETCH(QString, current);
    QFETCH(bool, xp);
    QFETCH(LayoutMetrics, metrics);
    const SystemLayout got = layoutFor(ver(platform, major, minor), {themeActive, sizeName, current});
    QCOMPARE(got.isWindowsXP, xp);
    QCOMPARE(got.metrics.widthAdjust, metrics.widthAdjust);
    QCOMPARE(got.metrics.heightAdjust, metrics.heightAdjust);
    QCOMPARE(got.metrics.buttonLeftAdjust, metrics.buttonLeftAdjust);
    QCOMPARE(got.metrics.buttonTopAdjust, metrics.buttonTopAdjust);
    QCOMPARE(got.metrics.sortGapAdjust, metrics.sortGapAdjust);
    QCOMPARE(got.metrics.themeEdge, metrics.themeEdge);
}

void TestAppLogic::metricsThroughProbe()
{
    // The theme values reach the table through the Registry calls and the probe.
    SystemFacts f;
    f.logicalDpi = 120;
    f.version = ver(2, 5, 1);
    f.themeActive = QStringLiteral("1");
    f.themeSizeName = QStringLiteral("LargeFonts");
    SystemProbe probe(f);
    installSystemProbe(&probe);
    const StartupValues v = detectStartupValues(QStringLiteral("/opt/kt/bin/"));
    installSystemProbe(nullptr);
    QVERIFY(v.isWindowsXP);
    QCOMPARE(v.metrics, lm(850, 60, -5, 50, 0, 10));
    QCOMPARE(v.normalDpi, false);
    QCOMPARE(v.programDir, QStringLiteral("/opt/kt/bin"));
}

void TestAppLogic::normalDpi_data()
{
    QTest::addColumn<QString>("dpiLogicalX");
    QTest::addColumn<int>("logPixels");
    QTest::addColumn<bool>("normal");
    QTest::newRow("120") << "120" << 0 << false;
    QTest::newRow("96") << "96" << 0 << true;
    QTest::newRow("97") << "97" << 0 << false;
    QTest::newRow("72") << "72" << 0 << true;
    QTest::newRow("missing, LogPixels 120") << "" << 120 << false;
    QTest::newRow("missing, LogPixels 96") << "" << 96 << true;
    QTest::newRow("both missing") << "" << 0 << true;
    QTest::newRow("leading number 144dpi") << "144dpi" << 0 << false;
    QTest::newRow("no number") << "high" << 200 << true; // text present, so LogPixels is not used
    QTest::newRow("blank then number") << "  120" << 0 << false;
    QTest::newRow("fraction 96.5") << "96.5" << 0 << false;
}

void TestAppLogic::normalDpi()
{
    QFETCH(QString, dpiLogicalX);
    QFETCH(int, logPixels);
    QFETCH(bool, normal);
    QCOMPARE(normalDpiFrom(dpiLogicalX, logPixels), normal);
}

void TestAppLogic::runningSystemTakesNotNtRow()
{
    const SystemFacts f = SystemProbe::runningSystemFacts(120);
    SystemProbe probe(f);
    installSystemProbe(&probe);
    const StartupValues v = detectStartupValues(QStringLiteral("/usr/bin"));
    installSystemProbe(nullptr);
    QVERIFY(!v.isWindowsXP);
    QCOMPARE(v.metrics, lm(100, -50, 0, 0, 0, 0));
    QVERIFY(!v.normalDpi);
    // The display value answers from the measured DPI, as text and as a number.
    QCOMPARE(probe.stringValue(kHKeyCurrentConfig, QStringLiteral("Display\\Settings"), QStringLiteral("DPILogicalX")),
             std::optional<QString>(QStringLiteral("120")));
    QCOMPARE(probe.dwordValue(kHKeyCurrentConfig, QStringLiteral("Software\\Fonts"), QStringLiteral("LogPixels")),
             std::optional<qint32>(120));
    QVERIFY(!probe.stringValue(kHKeyCurrentUser, QStringLiteral("Control Panel\\Appearance"), QStringLiteral("Current")));
}

void TestAppLogic::programDir_data()
{
    QTest::addColumn<QString>("exeDir");
    QTest::addColumn<QString>("programDir");
    QTest::newRow("ordinary") << "/opt/tools" << "/opt/tools";
    QTest::newRow("trailing slash") << "/opt/tools/" << "/opt/tools";
    QTest::newRow("root") << "/" << "";
    QTest::newRow("drive root") << "C:/" << "C:";
    QTest::newRow("drive folder") << "C:/Tools" << "C:/Tools";
}

void TestAppLogic::programDir()
{
    QFETCH(QString, exeDir);
    QFETCH(QString, programDir);
    QCOMPARE(programDirFrom(exeDir), programDir);
    // A file beside the program is always programDir + "/" + name.
    QVERIFY(!(programDirFrom(exeDir) + QStringLiteral("/Busy.ir")).contains(QStringLiteral("//")));
}

void TestAppLogic::placement_data()
{
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("H");
    QTest::addColumn<LayoutMetrics>("m");
    QTest::addColumn<QList<int>>("expected"); // list w, h, button top, inv, desel, sel, sortdes, sortasc, panel1

    const LayoutMetrics zero;
    QTest::newRow("design size, no metrics") << 6840 << 6415 << zero
                                             << QList<int>{6495, 3615, 5070, 6410, 6200, 5980, 5070, 4150, 5550};
    QTest::newRow("Windows 98, 9000 x 6000") << 9000 << 6000 << lm(100, -50, 0, 0, 0, 0)
                                             << QList<int>{8655, 3250, 4705, 8570, 8360, 8140, 7230, 6310, 7710};
    QTest::newRow("XP NormalSize, 9000 x 6000") << 9000 << 6000 << lm(0, 0, 40, 50, 10, 10)
                                                << QList<int>{8655, 3200, 4605, 8580, 8410, 8230, 7350, 6460, 7710};
    QTest::newRow("XP LargeFonts") << 9000 << 6000 << lm(850, 60, -5, 50, 0, 10)
                                   << QList<int>{8655, 3140, 4545, 8535, 8320, 8095, 7180, 6255, 7710};
}

void TestAppLogic::placement()
{
    QFETCH(int, W);
    QFETCH(int, H);
    QFETCH(LayoutMetrics, m);
    QFETCH(QList<int>, expected);
    const layout::Placement p = layout::place(W, H, m);
    const QList<int> got{p.listWidth, p.listHeight, p.buttonTop, p.invSelLeft, p.deselectAllLeft,
                         p.selectAllLeft, p.sortDesLeft, p.sortAscLeft, p.panel1Width};
    QCOMPARE(got, expected);
    // The button row sits 15 - ButtonTopAdjust below the list's bottom edge.
    QCOMPARE(p.buttonTop - (layout::kListTop + p.listHeight), 15 - m.buttonTopAdjust);
}

void TestAppLogic::placementKeepsLastValidValues()
{
    const LayoutMetrics m = lm(100, -50, 0, 0, 0, 0);
    const layout::Placement before = layout::place(9000, 6000, m);
    // Too narrow for the list and the panel, too low for the list.
    const layout::Placement p = layout::place(300, 2000, m, before);
    QCOMPARE(p.listWidth, before.listWidth);
    QCOMPARE(p.listHeight, before.listHeight);
    QCOMPARE(p.panel1Width, before.panel1Width);
    // The buttons still follow, from the list height in force.
    QCOMPARE(p.buttonTop, layout::kListTop + before.listHeight + 15);
    QCOMPARE(p.invSelLeft, 300 - 430);
    // Wide enough for the list but not for the panel.
    const layout::Placement q = layout::place(1000, 6000, m, before);
    QCOMPARE(q.listWidth, 655);
    QCOMPARE(q.panel1Width, before.panel1Width);
}

void TestAppLogic::surfaceMapping()
{
    for (const LayoutMetrics& m : {lm(0, 0, 0, 0, 0, 0), lm(100, -50, 0, 0, 0, 0), lm(2250, 200, 40, 50, 0, 10)}) {
        for (int dpi : {96, 120, 144}) {
            // At load the surface gets the design size (6720 x 5280) plus the width correction...
            const QSize surface = layout::surfaceFromOuter(layout::loadSize(m), dpi, m);
            QCOMPARE(surface, QSize(layout::twipsToPixels(6720 + m.widthAdjust, dpi), layout::twipsToPixels(5280, dpi)));
            // ...and the list then has its design height 3615 and ends 6 twips (at most a
            // pixel's rounding) above the status bar.
            const QSize outer = layout::outerFromSurface(surface, dpi, m);
            const layout::Placement p = layout::place(outer.width(), outer.height(), m);
            QVERIFY2(qAbs(p.listHeight - 3615) <= 1440 / dpi, qPrintable(QString::number(p.listHeight)));
            const int buttonBottom = layout::twipsToPixels(p.buttonTop, dpi) + layout::twipsToPixels(layout::kButtonHeight, dpi);
            QVERIFY(buttonBottom <= surface.height() + (m.buttonTopAdjust < 0 ? 1 : 0));
        }
    }
    QCOMPARE(layout::twipsToPixels(1440, 96), 96);
    QCOMPARE(layout::twipsToPixels(15, 96), 1);
    QCOMPARE(layout::twipsToPixels(12, 120), 1);
    QCOMPARE(layout::pixelsToTwips(100, 120), 1200);
}

void TestAppLogic::toolbarHints_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("hint");
    const QString idle = QStringLiteral("Awaiting for job...");
    QTest::newRow("0 Add") << 0 << "Add file(s)... (multiple selection possible)";
    QTest::newRow("1 Remove") << 1 << "Remove selected file(s).";
    QTest::newRow("2 separator") << 2 << idle;
    QTest::newRow("3 Up") << 3 << "Move selected file(s) up.";
    QTest::newRow("4 Down") << 4 << "Move selected file(s) down.";
    QTest::newRow("5 separator") << 5 << idle;
    QTest::newRow("6 Pack") << 6 << "Pack files...";
    QTest::newRow("7 separator") << 7 << idle;
    QTest::newRow("8 Options") << 8 << "Configure options.";
    QTest::newRow("9 separator") << 9 << idle;
    QTest::newRow("10 Help") << 10 << "Launch help file.";
    QTest::newRow("no button") << -1 << idle;
    QTest::newRow("11 outside") << 11 << idle;
}

void TestAppLogic::toolbarHints()
{
    QFETCH(int, position);
    QFETCH(QString, hint);
    QCOMPARE(toolbarHint(position), hint);
}

void TestAppLogic::toolbarEntries()
{
    const auto& e = kt::toolbarEntries();
    QCOMPARE(e.size(), 11);
    QStringList keys;
    QList<int> xp, other;
    for (const ToolbarEntry& t : e) {
        keys << (t.separator ? QStringLiteral("|") : t.key);
        if (!t.separator) {
            xp << t.imageXP;
            other << t.imageOther;
            QCOMPARE(t.caption, t.key);
        }
    }
    QCOMPARE(keys.join(QLatin1Char(' ')), QStringLiteral("Add Remove | Up Down | Pack | Options | Help"));
    QCOMPARE(xp, (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(other, (QList<int>{7, 8, 9, 10, 11, 12, 13}));
    QCOMPARE(e[0].tooltip, QStringLiteral("Add file(s) to Pack List..."));
    QCOMPARE(e[6].tooltip, QStringLiteral("Pack files..."));
    QCOMPARE(e[10].tooltip, QStringLiteral("Launch help file"));
}

QTEST_APPLESS_MAIN(TestAppLogic)
#include "tst_applogic.moc"
