// The settings store, the option state with its restore step, and the Preferences dialog.
#include "../support/ScriptedSeams.h"
#include "settings/OptionState.h"
#include "settings/Registry.h"
#include "settings/ui/PreferencesDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QWheelEvent>
#include <QtTest>

using namespace kt;

namespace {
template <class T> T* child(QWidget& w, const char* name)
{
    T* c = w.findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}
// One user step on the page list of the Preferences dialog.
enum class PageStep { KeyDown, KeyUp, WheelDown, WheelUp, Next, Prev };

struct PageWalk
{
    int start;
    QList<PageStep> steps;
    QList<int> pages; // the page index after each step
};

// The four stored options before a restore (none: an empty store), the options restored
// and what the store holds afterwards.
struct Restore
{
    QStringList before; // tRate, Delact, Owrite, MCC
    DeleteAfterAction deleteAfter;
    OverwritePolicy overwrite;
    bool mpegCheck;
    QStringList after;
};

// Delact and MCC as stored ("" = absent) and what the Preferences dialog shows for them.
struct Shown
{
    QString delact, mcc;
    int delactIndex;
    QString delactText;
    int mccIndex;
    QString mccText;
};

// The answer to the Reset question, OK or Cancel, then the texts shown after Reset
// (Delact, MCC) and the store after closing.
struct ResetCase
{
    int answer;
    bool ok;
    QStringList shown, stored;
};

} // namespace

Q_DECLARE_METATYPE(PageWalk)
Q_DECLARE_METATYPE(ResetCase)
Q_DECLARE_METATYPE(Restore)
Q_DECLARE_METATYPE(Shown)

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void store();
    void damagedStoreGivesDefaults_data();
    void damagedStoreGivesDefaults();
    void restoreTable_data();
    void restoreTable();
    void transferRates_data();
    void transferRates();
    void preferencesLoad_data();
    void preferencesLoad();
    void preferencesChoices();
    void preferencesPageSteps_data();
    void preferencesPageSteps();
    void preferencesReset_data();
    void preferencesReset();

private:
    QString storeFile() const { return m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"); }
    QString read(const QString& name, const QString& dflt = QString())
    {
        return ReadRegString(HKEY_CURRENT_USER, appKeyPath(), name, dflt);
    }
    void write(const QString& name, const QString& text)
    {
        WriteRegString(HKEY_CURRENT_USER, appKeyPath(), name, text);
    }

    QTemporaryDir m_dir;
};

void TestSettings::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
}

void TestSettings::init()
{
    QFile::remove(storeFile());
    QDir(storeFile()).removeRecursively();
    reloadSettingsStore(); // each test is a new start
}

void TestSettings::store()
{
    QCOMPARE(read(QStringLiteral("MCC"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    QVERIFY(!QFile::exists(storeFile())); // reading creates nothing
    write(QStringLiteral("Delact"), QStringLiteral("Prompt"));
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("Prompt"));
    // Another program rewrites the file: the store was read at start and is read again only
    // at the next start.
    QFile other(storeFile());
    QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
    other.write("[General]\nDelact=NoPrompt\n");
    other.close();
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("Prompt"));
    reloadSettingsStore();
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("NoPrompt"));
    // Other keys never reach the store.
    WriteRegString(HKEY_CURRENT_USER, QStringLiteral("Software\\Other"), QStringLiteral("x"),
                   QStringLiteral("1"));
    QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).allKeys(), QStringList{QStringLiteral("Delact")});
    write(QStringLiteral("Owrite"), QStringLiteral("No") + QChar(0) + QStringLiteral("Prompt"));
    QCOMPARE(read(QStringLiteral("Owrite")), QStringLiteral("No"));
    write(QStringLiteral("ShowTod"), QString());
    QCOMPARE(read(QStringLiteral("ShowTod"), QStringLiteral("dflt")), QString());
}

void TestSettings::damagedStoreGivesDefaults_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: a folder where the file should be
    QByteArray random;
    quint32 x = 12345;
    for (int i = 0; i < 4096; ++i) {
        x = x * 1103515245u + 12345u;
        random.append(char(x >> 24));
    }
    QTest::newRow("random bytes") << random;
    QTest::newRow("binary with NULs") << QByteArray("MCC\0=Off\n\0\0\0Delact=@ByteArray(", 30);
    QTest::newRow("variant junk") << QByteArray(
        "[General]\nMCC=@Variant(\\0\\0\\0\\x7f)\nDelact=@Invalid()\nOwrite=@ByteArray(NoPrompt)\n");
    QTest::newRow("bad header") << QByteArray("\xff\xfe[General]\nMCC=Off\x01\x02\nDelact=Yes\n[[[");
    QTest::newRow("unreadable") << QByteArray();
}

void TestSettings::damagedStoreGivesDefaults()
{
    QFETCH(QByteArray, bytes);
    if (bytes.isEmpty()) {
        QVERIFY(QDir().mkpath(storeFile()));
    } else {
        QDir().mkpath(QFileInfo(storeFile()).absolutePath());
        QFile f(storeFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    for (const char* name : {"tRate", "Delact", "Owrite", "MCC", "ShowTod"}) {
        // Whatever a damaged file yields is never one of the values the program acts on.
        const QString v = read(QLatin1String(name));
        QVERIFY2(v.isEmpty() ||
                     !QStringList({"slow", "fast", "ufast", "Prompt", "NoPrompt", "Off", "0"}).contains(v),
                 qPrintable(QLatin1String(name) + QLatin1Char('=') + v));
    }
    OptionState o;
    o.restore();
    QCOMPARE(o.deleteAfterAction(), DeleteAfterAction::No);
    QCOMPARE(o.overwritePolicy(), std::optional(OverwritePolicy::Prompt));
    QVERIFY(o.mpegCheck());
    QCOMPARE(o.packOptions().block.blockSize, 100000);
    if (bytes.isEmpty())
        return;
    // The store is usable again after the restore, and at the next start too.
    QCOMPARE(read(QStringLiteral("Owrite")), QStringLiteral("Prompt"));
    reloadSettingsStore();
    QCOMPARE((QStringList{read("tRate"), read("Delact"), read("Owrite"), read("MCC")}),
             (QStringList{"normal", "No", "Prompt", "On"}));
}

void TestSettings::restoreTable_data()
{
    using D = DeleteAfterAction;
    using O = OverwritePolicy;
    const QStringList defaults{"normal", "No", "Prompt", "On"};
    QTest::addColumn<Restore>("r");
    QTest::newRow("empty store") << Restore{{}, D::No, O::Prompt, true, defaults};
    QTest::newRow("all set") << Restore{
        {"fast", "Prompt", "No", "Off"}, D::Prompt, O::No, false, {"normal", "Prompt", "No", "Off"}};
    QTest::newRow("no prompts") << Restore{{"ufast", "NoPrompt", "NoPrompt", "On"},
                                           D::NoPrompt,
                                           O::NoPrompt,
                                           true,
                                           {"normal", "NoPrompt", "NoPrompt", "On"}};
    QTest::newRow("wrong case") << Restore{
        {"Normal", "prompt", "noprompt", "off"}, D::No, O::Prompt, true, defaults};
    QTest::newRow("junk") << Restore{{"x", "Yes", "", "OFF "}, D::No, O::Prompt, true, defaults};
}

void TestSettings::restoreTable()
{
    QFETCH(Restore, r);
    const QStringList names{"tRate", "Delact", "Owrite", "MCC"};
    for (int i = 0; i < r.before.size(); ++i)
        write(names[i], r.before[i]);
    OptionState o;
    QVERIFY(!o.overwritePolicy()); // nothing chosen before the restore
    o.restore();
    QCOMPARE(o.deleteAfterAction(), r.deleteAfter);
    QCOMPARE(o.overwritePolicy(), std::optional(r.overwrite));
    QCOMPARE(o.mpegCheck(), r.mpegCheck);
    QCOMPARE(o.transferRate(), TransferRate::Normal);
    QCOMPARE((QStringList{read(names[0]), read(names[1]), read(names[2]), read(names[3])}), r.after);
    QVERIFY(!QSettings(storeFile(), QSettings::IniFormat).contains(QStringLiteral("ShowTod")));
}

void TestSettings::transferRates_data()
{
    QTest::addColumn<TransferRate>("rate");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("digits");
    QTest::newRow("slow") << TransferRate::Slow << 10000 << 4;
    QTest::newRow("normal") << TransferRate::Normal << 100000 << 5;
    QTest::newRow("fast") << TransferRate::Fast << 1000000 << 6;
    QTest::newRow("ufast") << TransferRate::UltraFast << 5000000 << 7;
}

void TestSettings::transferRates()
{
    QFETCH(TransferRate, rate);
    QFETCH(int, size);
    QFETCH(int, digits);
    OptionState o;
    o.chooseTransferRate(rate);
    QCOMPARE(o.packOptions().block.blockSize, size);
    QCOMPARE(o.packOptions().block.blockDigits, digits);
    QCOMPARE(read(QStringLiteral("tRate")), QString::fromLatin1(QTest::currentDataTag()));
}

void TestSettings::preferencesLoad_data()
{
    QTest::addColumn<Shown>("c");
    QTest::newRow("defaults") << Shown{"", "", 0, "No", 1, "Yes"};
    QTest::newRow("prompt, off") << Shown{"Prompt", "Off", 1, "Yes (Prompt)", 0, "No"};
    QTest::newRow("no prompt, on") << Shown{"NoPrompt", "On", 2, "Yes (No Prompt)", 1, "Yes"};
    QTest::newRow("unknown texts") << Shown{"Yes", "off", 0, "No", 1, "Yes"};
}

void TestSettings::preferencesLoad()
{
    QFETCH(Shown, c);
    if (!c.delact.isEmpty())
        write(QStringLiteral("Delact"), c.delact);
    if (!c.mcc.isEmpty())
        write(QStringLiteral("MCC"), c.mcc);
    OptionState o;
    PreferencesDialog d(o);
    QCOMPARE(child<QComboBox>(d, "DelactCmb")->currentIndex(), c.delactIndex);
    QCOMPARE(child<QLineEdit>(d, "DelactTxt")->text(), c.delactText);
    QCOMPARE(child<QComboBox>(d, "MCCCmb")->currentIndex(), c.mccIndex);
    QCOMPARE(child<QLineEdit>(d, "MCCTxt")->text(), c.mccText);
    QCOMPARE(child<QComboBox>(d, "PrefCmb")->currentIndex(), 0);
}

void TestSettings::preferencesChoices()
{
    OptionState o;
    PreferencesDialog d(o);
    auto* pages = child<QComboBox>(d, "PrefCmb");
    QCOMPARE(pages->count(), 5);
    pages->setCurrentIndex(3); // a separator chosen from code moves forward
    QCOMPARE(pages->currentIndex(), 4);
    // Choices show their text at once and reach the options and the store on OK.
    child<QComboBox>(d, "DelactCmb")->setCurrentIndex(2);
    QCOMPARE(child<QLineEdit>(d, "DelactTxt")->text(), QStringLiteral("Yes (No Prompt)"));
    child<QComboBox>(d, "MCCCmb")->setCurrentIndex(0);
    QCOMPARE(child<QLineEdit>(d, "MCCTxt")->text(), QStringLiteral("No"));
    child<QPushButton>(d, "SavePref_cmd")->click();
    QCOMPARE(o.deleteAfterAction(), DeleteAfterAction::NoPrompt);
    QVERIFY(!o.mpegCheck());
    QCOMPARE((QStringList{read(QStringLiteral("Delact")), read(QStringLiteral("MCC"))}),
             (QStringList{"NoPrompt", "Off"}));
}

void TestSettings::preferencesPageSteps_data()
{
    using S = PageStep;
    QTest::addColumn<PageWalk>("walk");
    QTest::newRow("wheel down skips the separator") << PageWalk{0, {S::WheelDown, S::WheelDown}, {2, 4}};
    QTest::newRow("wheel up skips it backwards") << PageWalk{4, {S::WheelUp, S::WheelUp}, {2, 0}};
    QTest::newRow("wheel up after the Down arrow") << PageWalk{0, {S::KeyDown, S::WheelUp}, {2, 0}};
    QTest::newRow("wheel up after Next") << PageWalk{0, {S::Next, S::Next, S::WheelUp}, {2, 4, 2}};
    QTest::newRow("wheel down after wheel up") << PageWalk{4, {S::WheelUp, S::WheelDown}, {2, 4}};
    QTest::newRow("Down arrow after wheel up") << PageWalk{2, {S::WheelUp, S::KeyDown}, {0, 2}};
    QTest::newRow("wheel down after Prev") << PageWalk{4, {S::Prev, S::WheelDown}, {2, 4}};
    QTest::newRow("arrows both ways")
        << PageWalk{0, {S::KeyDown, S::KeyDown, S::KeyUp, S::KeyUp}, {2, 4, 2, 0}};
}

void TestSettings::preferencesPageSteps()
{
    QFETCH(PageWalk, walk);
    OptionState o;
    PreferencesDialog d(o);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    auto* pages = child<QComboBox>(d, "PrefCmb");
    pages->setCurrentIndex(walk.start);
    QCOMPARE(pages->currentIndex(), walk.start);
    pages->setFocus();
    auto wheel = [pages](int dy) {
        const QPointF at(pages->width() / 2.0, pages->height() / 2.0);
        QWheelEvent e(at, pages->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(pages, &e);
    };
    QList<int> seen;
    for (const PageStep step : walk.steps) {
        switch (step) {
        case PageStep::KeyDown:
            QTest::keyClick(pages, Qt::Key_Down);
            break;
        case PageStep::KeyUp:
            QTest::keyClick(pages, Qt::Key_Up);
            break;
        case PageStep::WheelDown:
            wheel(-120);
            break;
        case PageStep::WheelUp:
            wheel(120);
            break;
        case PageStep::Next:
            child<QPushButton>(d, "NextCmd")->click();
            break;
        case PageStep::Prev:
            child<QPushButton>(d, "PrevCmd")->click();
            break;
        }
        seen << pages->currentIndex();
    }
    QCOMPARE(seen, walk.pages);
    // Whatever the road, the buttons and the page shown match the page reached.
    QCOMPARE(child<QPushButton>(d, "PrevCmd")->isEnabled(), seen.last() != 0);
    QCOMPARE(child<QPushButton>(d, "NextCmd")->isEnabled(), seen.last() != 4);
    QCOMPARE(child<QComboBox>(d, "DelactCmb")->isVisible(), seen.last() == 2);
    QCOMPARE(child<QComboBox>(d, "MCCCmb")->isVisible(), seen.last() == 4);
}

void TestSettings::preferencesReset_data()
{
    // Stored before: Delact NoPrompt, MCC Off.
    QTest::addColumn<ResetCase>("c");
    QTest::newRow("reset, cancel") << ResetCase{IDYES, false, {"No", "Yes"}, {"NoPrompt", "Off"}};
    QTest::newRow("reset, ok") << ResetCase{IDYES, true, {"No", "Yes"}, {"No", "On"}};
    QTest::newRow("answered no") << ResetCase{IDNO, true, {"Yes (No Prompt)", "No"}, {"NoPrompt", "Off"}};
}

void TestSettings::preferencesReset()
{
    QFETCH(ResetCase, c);
    write(QStringLiteral("Delact"), QStringLiteral("NoPrompt"));
    write(QStringLiteral("MCC"), QStringLiteral("Off"));
    test::ScriptedMessageBox boxes;
    boxes.answer(c.answer);
    OptionState o;
    o.restore();
    PreferencesDialog d(o);
    child<QPushButton>(d, "Reset_Cmd")->click();
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked()[0].text,
             QStringLiteral("Are you sure you want to reset and restore all default settings?"));
    QCOMPARE(boxes.asked()[0].style, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST);
    QCOMPARE((QStringList{child<QLineEdit>(d, "DelactTxt")->text(), child<QLineEdit>(d, "MCCTxt")->text()}),
             c.shown);
    QSignalSpy changed(&o, &OptionState::changed);
    child<QPushButton>(d, c.ok ? "SavePref_cmd" : "cancel_cmd")->click();
    QCOMPARE(d.result(), int(c.ok ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE((QStringList{read(QStringLiteral("Delact")), read(QStringLiteral("MCC"))}), c.stored);
    QCOMPARE(o.mpegCheck(), c.stored[1] == QLatin1String("On"));
    if (!c.ok)
        QCOMPARE(changed.count(), 0);
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
