// Start-up values, the metrics table and the placement formulas.
#include "app/LayoutMetrics.h"
#include "app/MainLayout.h"
#include "app/StartupValues.h"
#include "platform/SystemProbe.h"

#include <QtTest>

using namespace kt;

namespace {
struct MetricsCase
{
    OsVersionInfo version;
    ThemeValues theme;
    bool xp;
    LayoutMetrics metrics;
};
struct PlacementCase
{
    int width, height;
    LayoutMetrics metrics;
    layout::Placement previous, expected; // previous: the last valid sizes
};
const OsVersionInfo kXP{kPlatformNT, 5, 1, {}};
const LayoutMetrics kNotNT{100, -50};
const LayoutMetrics kXPLargeFonts{850, 60, -5, 50, 0, 10}, kXPNormal{0, 0, 40, 50, 10, 10};
const layout::Placement k98{8655, 3250, 4705, 8570, 8360, 8140, 7230, 6310, 7710}; // 9000 x 6000
} // namespace

class TestAppLogic : public QObject
{
    Q_OBJECT
private slots:
    void metricsTable_data()
    {
        QTest::addColumn<MetricsCase>("c");
        auto row = [](const char* name, const MetricsCase& c) { QTest::newRow(name) << c; };
        row("Windows 2000", {{2, 5, 0, {}}, {"1", "NormalSize", ""}, false, {100, -140}});
        row("Server 2003", {{2, 5, 2, {}}, {}, false, {100, -140}});
        row("XP classic standard", {kXP, {"0", "", "Windows Standard"}, true, {0, -50}});
        row("XP classic large", {kXP, {"", "", "Windows Standard (large)"}, true, {850, 0, 0, 0, 10}});
        row("XP classic Large", {kXP, {"", "", "Windows Standard (Large)"}, true, {}});
        row("XP classic extra large", {kXP, {"", "", "Windows Standard (extra large)"}, true, {2250, 90}});
        row("XP classic other", {kXP, {"0", "NormalSize", "Brick"}, true, {}});
        row("XP NormalSize", {kXP, {"1", "NormalSize", "Windows Standard"}, true, kXPNormal});
        row("XP ExtraLargeFonts", {kXP, {"1", "ExtraLargeFonts", ""}, true, {2250, 200, 40, 50, 0, 10}});
        row("XP other size", {kXP, {"1", "normalsize", ""}, true, {0, 0, 0, 0, 0, 10}});
        row("XP ThemeActive ' 1'", {kXP, {" 1", "NormalSize", "Windows Standard"}, true, {0, -50}});
    }
    void metricsTable()
    {
        QFETCH(MetricsCase, c);
        QCOMPARE(layoutFor(c.version, c.theme).isWindowsXP, c.xp);
        QCOMPARE(layoutFor(c.version, c.theme).metrics, c.metrics);
    }
    // The theme values reach the table through the registry calls and the probe; the running
    // system answers as a non-NT platform, with its measured DPI.
    void metricsThroughProbe()
    {
        for (const auto& [facts, xp, metrics] :
             {std::tuple{SystemFacts{120, kXP, "1", "LargeFonts", {}}, true, kXPLargeFonts},
              {SystemProbe::runningSystemFacts(120), false, kNotNT}}) {
            SystemProbe probe(facts);
            installSystemProbe(&probe);
            const StartupValues v = detectStartupValues(QStringLiteral("/opt/kt/bin"));
            installSystemProbe(nullptr);
            QVERIFY(v.isWindowsXP == xp && !v.normalDpi);
            QCOMPARE(v.metrics, metrics);
        }
        QCOMPARE(programDirFrom(QStringLiteral("/")), QString());
    }
    // DpiLogicalX as written first; LogPixels only when it is missing.
    void normalDpi()
    {
        QList<bool> normal;
        for (auto [dpiLogicalX, logPixels] :
             {std::pair{"96", 0}, {"97", 0}, {"", 120}, {"", 0}, {"144dpi", 0}, {"high", 200}})
            normal << normalDpiFrom(QString::fromLatin1(dpiLogicalX), logPixels);
        QCOMPARE(normal, (QList<bool>{true, false, false, true, false, true}));
    }
    void placement_data()
    {
        QTest::addColumn<PlacementCase>("c");
        auto row = [](const char* name, const PlacementCase& c) { QTest::newRow(name) << c; };
        row("design size", {6840, 6415, {}, {}, {6495, 3615, 5070, 6410, 6200, 5980, 5070, 4150, 5550}});
        row("Windows 98", {9000, 6000, kNotNT, {}, k98});
        row("XP NormalSize",
            {9000, 6000, kXPNormal, {}, {8655, 3200, 4605, 8580, 8410, 8230, 7350, 6460, 7710}});
        row("XP LargeFonts",
            {9000, 6000, kXPLargeFonts, {}, {8655, 3140, 4545, 8535, 8320, 8095, 7180, 6255, 7710}});
        // Sizes a control would reject keep the previous ones; the buttons still follow.
        row("too small", {300, 2000, kNotNT, k98, {8655, 3250, 4705, -130, -340, -560, -1470, -2390, 7710}});
        row("narrow", {1000, 6000, kNotNT, k98, {655, 3250, 4705, 570, 360, 140, -770, -1690, 7710}});
    }
    void placement()
    {
        QFETCH(PlacementCase, c);
        QCOMPARE(layout::place(c.width, c.height, c.metrics, c.previous), c.expected);
    }
    void surfaceMapping()
    {
        using namespace layout;
        QCOMPARE((QList<int>{twipsToPixels(1300, 96), pixelsToTwips(87, 96)}),
                 (QList<int>{87, 1305})); // rounded
        for (const LayoutMetrics& m : {LayoutMetrics{}, kNotNT, LayoutMetrics{2250, 200, 40, 50, 0, 10}})
            for (int dpi : {96, 120, 144}) {
                // At load: the design size plus the width correction, the list's design height.
                const QSize surface = surfaceFromOuter(loadSize(m), dpi, m);
                QCOMPARE(surface, QSize(twipsToPixels(6720 + m.widthAdjust, dpi), twipsToPixels(5280, dpi)));
                const QSize outer = outerFromSurface(surface, dpi, m);
                const Placement p = place(outer.width(), outer.height(), m);
                QVERIFY2(qAbs(p.listHeight - 3615) <= 1440 / dpi, qPrintable(QString::number(p.listHeight)));
                const int buttonBottom = twipsToPixels(p.buttonTop, dpi) + twipsToPixels(kButtonHeight, dpi);
                QVERIFY(buttonBottom <= surface.height() + (m.buttonTopAdjust < 0 ? 1 : 0));
            }
    }
};

QTEST_APPLESS_MAIN(TestAppLogic)
#include "tst_applogic.moc"
