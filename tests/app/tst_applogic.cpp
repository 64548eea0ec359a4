// Start-up values, the metrics table and the placement formulas.
#include "app/LayoutMetrics.h"
#include "app/MainLayout.h"
#include "app/StartupValues.h"
#include "platform/SystemProbe.h"

#include <QtTest>

using namespace kt;

namespace {
OsVersionInfo ver(int platform, int major, int minor)
{
    OsVersionInfo v;
    v.platformId = platform;
    v.major = major;
    v.minor = minor;
    return v;
}
LayoutMetrics lm(const QList<int>& m)
{
    return {qint16(m[0]), qint16(m[1]), qint16(m[2]), qint16(m[3]), qint16(m[4]), qint16(m[5])};
}
QList<int> values(const LayoutMetrics& m)
{
    return {m.widthAdjust,     m.heightAdjust,  m.buttonLeftAdjust,
            m.buttonTopAdjust, m.sortGapAdjust, m.themeEdge};
}
// Start-up detection with the given system answers.
StartupValues detectWith(const SystemFacts& facts, const QString& exeDir)
{
    SystemProbe probe(facts);
    installSystemProbe(&probe);
    const StartupValues v = detectStartupValues(exeDir);
    installSystemProbe(nullptr);
    return v;
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
    void placement_data();
    void placement();
    void placementKeepsLastValidValues();
    void surfaceMapping();
};

void TestAppLogic::metricsTable_data()
{
    QTest::addColumn<QList<int>>("version"); // platform, major, minor
    QTest::addColumn<QStringList>("theme");  // ThemeActive, SizeName, Current
    QTest::addColumn<bool>("xp");
    QTest::addColumn<QList<int>>("metrics");
    const int other = kPlatformOther;
    auto row = [](const char* name, QList<int> v, QStringList t, bool xp, QList<int> m) {
        QTest::newRow(name) << v << t << xp << m;
    };
    row("Windows 98", {1, 4, 10}, {"", "", ""}, false, {100, -50, 0, 0, 0, 0});
    row("Linux", {other, 6, 1}, {"1", "NormalSize", ""}, false, {100, -50, 0, 0, 0, 0});
    row("Windows 2000", {2, 5, 0}, {"1", "NormalSize", ""}, false, {100, -140, 0, 0, 0, 0});
    row("Vista", {2, 6, 0}, {"", "", ""}, false, {100, -140, 0, 0, 0, 0});
    row("Server 2003", {2, 5, 2}, {"", "", ""}, false, {100, -140, 0, 0, 0, 0});
    row("XP classic standard", {2, 5, 1}, {"0", "", "Windows Standard"}, true, {0, -50, 0, 0, 0, 0});
    row("XP classic large", {2, 5, 1}, {"", "", "Windows Standard (large)"}, true, {850, 0, 0, 0, 10, 0});
    row("XP classic Large", {2, 5, 1}, {"", "", "Windows Standard (Large)"}, true, {0, 0, 0, 0, 0, 0});
    row("XP classic extra large", {2, 5, 1}, {"", "", "Windows Standard (extra large)"}, true,
        {2250, 90, 0, 0, 0, 0});
    row("XP classic other", {2, 5, 1}, {"0", "NormalSize", "Brick"}, true, {0, 0, 0, 0, 0, 0});
    row("XP themed NormalSize", {2, 5, 1}, {"1", "NormalSize", "Windows Standard"}, true,
        {0, 0, 40, 50, 10, 10});
    row("XP themed LargeFonts", {2, 5, 1}, {"1", "LargeFonts", ""}, true, {850, 60, -5, 50, 0, 10});
    row("XP themed ExtraLargeFonts", {2, 5, 1}, {"1", "ExtraLargeFonts", ""}, true,
        {2250, 200, 40, 50, 0, 10});
    row("XP themed other size", {2, 5, 1}, {"1", "normalsize", ""}, true, {0, 0, 0, 0, 0, 10});
    row("XP ThemeActive ' 1'", {2, 5, 1}, {" 1", "NormalSize", "Windows Standard"}, true,
        {0, -50, 0, 0, 0, 0});
}

void TestAppLogic::metricsTable()
{
    QFETCH(QList<int>, version);
    QFETCH(QStringList, theme);
    QFETCH(bool, xp);
    QFETCH(QList<int>, metrics);
    const SystemLayout got =
        layoutFor(ver(version[0], version[1], version[2]), {theme[0], theme[1], theme[2]});
    QCOMPARE(got.isWindowsXP, xp);
    QCOMPARE(values(got.metrics), metrics);
}

void TestAppLogic::metricsThroughProbe()
{
    // The theme values reach the table through the registry calls and the probe.
    SystemFacts f;
    f.logicalDpi = 120;
    f.version = ver(2, 5, 1);
    f.themeActive = QStringLiteral("1");
    f.themeSizeName = QStringLiteral("LargeFonts");
    StartupValues v = detectWith(f, QStringLiteral("/opt/kt/bin/"));
    QVERIFY(v.isWindowsXP);
    QCOMPARE(values(v.metrics), (QList<int>{850, 60, -5, 50, 0, 10}));
    QVERIFY(!v.normalDpi);
    QCOMPARE(v.programDir, QStringLiteral("/opt/kt/bin"));
    QCOMPARE(programDirFrom(QStringLiteral("/")), QString());
    // The running system answers as a non-NT platform, with its measured DPI.
    v = detectWith(SystemProbe::runningSystemFacts(120), QStringLiteral("/usr/bin"));
    QVERIFY(!v.isWindowsXP);
    QCOMPARE(values(v.metrics), (QList<int>{100, -50, 0, 0, 0, 0}));
    QVERIFY(!v.normalDpi);
}

void TestAppLogic::normalDpi_data()
{
    QTest::addColumn<QString>("dpiLogicalX");
    QTest::addColumn<int>("logPixels");
    QTest::addColumn<bool>("normal");
    QTest::newRow("96") << "96" << 0 << true;
    QTest::newRow("97") << "97" << 0 << false;
    QTest::newRow("missing, LogPixels 120") << "" << 120 << false;
    QTest::newRow("both missing") << "" << 0 << true;
    QTest::newRow("144dpi") << "144dpi" << 0 << false;
    QTest::newRow("no number, LogPixels unused") << "high" << 200 << true;
}

void TestAppLogic::normalDpi()
{
    QFETCH(QString, dpiLogicalX);
    QFETCH(int, logPixels);
    QFETCH(bool, normal);
    QCOMPARE(normalDpiFrom(dpiLogicalX, logPixels), normal);
}

void TestAppLogic::placement_data()
{
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("H");
    QTest::addColumn<QList<int>>("m");
    // list w, h, button top, inv, desel, sel, sortdes, sortasc, panel1
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("design size, no metrics")
        << 6840 << 6415 << QList<int>{0, 0, 0, 0, 0, 0}
        << QList<int>{6495, 3615, 5070, 6410, 6200, 5980, 5070, 4150, 5550};
    QTest::newRow("Windows 98, 9000 x 6000")
        << 9000 << 6000 << QList<int>{100, -50, 0, 0, 0, 0}
        << QList<int>{8655, 3250, 4705, 8570, 8360, 8140, 7230, 6310, 7710};
    QTest::newRow("XP NormalSize, 9000 x 6000")
        << 9000 << 6000 << QList<int>{0, 0, 40, 50, 10, 10}
        << QList<int>{8655, 3200, 4605, 8580, 8410, 8230, 7350, 6460, 7710};
    QTest::newRow("XP LargeFonts") << 9000 << 6000 << QList<int>{850, 60, -5, 50, 0, 10}
                                   << QList<int>{8655, 3140, 4545, 8535, 8320, 8095, 7180, 6255, 7710};
}

void TestAppLogic::placement()
{
    QFETCH(int, W);
    QFETCH(int, H);
    QFETCH(QList<int>, m);
    QFETCH(QList<int>, expected);
    const layout::Placement p = layout::place(W, H, lm(m));
    const QList<int> got{p.listWidth,     p.listHeight,  p.buttonTop,   p.invSelLeft, p.deselectAllLeft,
                         p.selectAllLeft, p.sortDesLeft, p.sortAscLeft, p.panel1Width};
    QCOMPARE(got, expected);
}

void TestAppLogic::placementKeepsLastValidValues()
{
    const LayoutMetrics m = lm({100, -50, 0, 0, 0, 0});
    const layout::Placement before = layout::place(9000, 6000, m);
    // Too narrow for the list and the panel, too low for the list: sizes stay, buttons follow.
    const layout::Placement p = layout::place(300, 2000, m, before);
    QCOMPARE(p.listWidth, before.listWidth);
    QCOMPARE(p.listHeight, before.listHeight);
    QCOMPARE(p.panel1Width, before.panel1Width);
    QCOMPARE(p.buttonTop, layout::kListTop + before.listHeight + 15);
    QCOMPARE(p.invSelLeft, 300 - 430);
    // Wide enough for the list but not for the panel.
    const layout::Placement q = layout::place(1000, 6000, m, before);
    QCOMPARE(q.listWidth, 655);
    QCOMPARE(q.panel1Width, before.panel1Width);
}

void TestAppLogic::surfaceMapping()
{
    for (const QList<int>& mv :
         {QList<int>{0, 0, 0, 0, 0, 0}, {100, -50, 0, 0, 0, 0}, {2250, 200, 40, 50, 0, 10}}) {
        const LayoutMetrics m = lm(mv);
        for (int dpi : {96, 120, 144}) {
            // At load the surface is the design size plus the width correction, the list
            // gets its design height and the buttons stay above the status bar.
            const QSize surface = layout::surfaceFromOuter(layout::loadSize(m), dpi, m);
            QCOMPARE(surface, QSize(layout::twipsToPixels(6720 + m.widthAdjust, dpi),
                                    layout::twipsToPixels(5280, dpi)));
            const QSize outer = layout::outerFromSurface(surface, dpi, m);
            const layout::Placement p = layout::place(outer.width(), outer.height(), m);
            QVERIFY2(qAbs(p.listHeight - 3615) <= 1440 / dpi, qPrintable(QString::number(p.listHeight)));
            const int buttonBottom =
                layout::twipsToPixels(p.buttonTop, dpi) + layout::twipsToPixels(layout::kButtonHeight, dpi);
            QVERIFY(buttonBottom <= surface.height() + (m.buttonTopAdjust < 0 ? 1 : 0));
        }
    }
    QCOMPARE(layout::twipsToPixels(15, 96), 1);
    QCOMPARE(layout::pixelsToTwips(100, 120), 1200);
}

QTEST_APPLESS_MAIN(TestAppLogic)
#include "tst_applogic.moc"
