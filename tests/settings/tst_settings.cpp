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

} // namespace

Q_DECLARE_METATYPE(PageWalk)

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
    void preferencesWalk();
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
    QTest::addColumn<QStringList>("before");  // tRate, Delact, Owrite, MCC; none: an empty store
    QTest::addColumn<QList<int>>("expected"); // deleteAfterAction, overwritePolicy, mpegCheck
    QTest::addColumn<QStringList>("after");
    QTest::newRow("empty store") << QStringList{} << QList<int>{0, 1, 1}
                                 << QStringList{"normal", "No", "Prompt", "On"};
    QTest::newRow("all set") << QStringList{"fast", "Prompt", "No", "Off"} << QList<int>{1, 0, 0}
                             << QStringList{"normal", "Prompt", "No", "Off"};
    QTest::newRow("no prompts") << QStringList{"ufast", "NoPrompt", "NoPrompt", "On"} << QList<int>{2, 2, 1}
                                << QStringList{"normal", "NoPrompt", "NoPrompt", "On"};
    QTest::newRow("wrong case") << QStringList{"Normal", "prompt", "noprompt", "off"} << QList<int>{0, 1, 1}
                                << QStringList{"normal", "No", "Prompt", "On"};
    QTest::newRow("junk") << QStringList{"x", "Yes", "", "OFF "} << QList<int>{0, 1, 1}
                          << QStringList{"normal", "No", "Prompt", "On"};
}

void TestSettings::restoreTable()
{
    QFETCH(QStringList, before);
    QFETCH(QList<int>, expected);
    QFETCH(QStringList, after);
    const QStringList names{"tRate", "Delact", "Owrite", "MCC"};
    for (int i = 0; i < before.size(); ++i)
        write(names[i], before[i]);
    OptionState o;
    QVERIFY(!o.overwritePolicy()); // nothing chosen before the restore
    o.restore();
    QCOMPARE((QList<int>{int(o.deleteAfterAction()), int(*o.overwritePolicy()), int(o.mpegCheck())}),
             expected);
    QCOMPARE(o.transferRate(), TransferRate::Normal);
    QCOMPARE((QStringList{read(names[0]), read(names[1]), read(names[2]), read(names[3])}), after);
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
    QTest::addColumn<QStringList>("stored"); // Delact, MCC ("" = absent)
    QTest::addColumn<QStringList>("shown");  // DelactCmb index, DelactTxt, MCCCmb index, MCCTxt
    QTest::newRow("defaults") << QStringList{"", ""} << QStringList{"0", "No", "1", "Yes"};
    QTest::newRow("prompt, off") << QStringList{"Prompt", "Off"}
                                 << QStringList{"1", "Yes (Prompt)", "0", "No"};
    QTest::newRow("no prompt, on") << QStringList{"NoPrompt", "On"}
                                   << QStringList{"2", "Yes (No Prompt)", "1", "Yes"};
    QTest::newRow("unknown texts") << QStringList{"Yes", "off"} << QStringList{"0", "No", "1", "Yes"};
}

void TestSettings::preferencesLoad()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, shown);
    if (!stored[0].isEmpty())
        write(QStringLiteral("Delact"), stored[0]);
    if (!stored[1].isEmpty())
        write(QStringLiteral("MCC"), stored[1]);
    OptionState o;
    PreferencesDialog d(o);
    QCOMPARE((QStringList{QString::number(child<QComboBox>(d, "DelactCmb")->currentIndex()),
                          child<QLineEdit>(d, "DelactTxt")->text(),
                          QString::number(child<QComboBox>(d, "MCCCmb")->currentIndex()),
                          child<QLineEdit>(d, "MCCTxt")->text()}),
             shown);
    QCOMPARE(child<QComboBox>(d, "PrefCmb")->currentIndex(), 0);
}

void TestSettings::preferencesWalk()
{
    OptionState o;
    PreferencesDialog d(o);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    auto* pages = child<QComboBox>(d, "PrefCmb");
    auto* delCmb = child<QComboBox>(d, "DelactCmb");
    auto* mccCmb = child<QComboBox>(d, "MCCCmb");
    auto* next = child<QPushButton>(d, "NextCmd");
    auto* prev = child<QPushButton>(d, "PrevCmd");
    QCOMPARE(pages->count(), 5);
    // The arrow keys step over the separator rows 1 and 3.
    pages->setFocus();
    QVERIFY(!delCmb->isVisible() && !mccCmb->isVisible() && !prev->isEnabled());
    QTest::keyClick(pages, Qt::Key_Down);
    QCOMPARE(pages->currentIndex(), 2);
    QVERIFY(delCmb->isVisible() && !mccCmb->isVisible());
    QTest::keyClick(pages, Qt::Key_Down);
    QCOMPARE(pages->currentIndex(), 4);
    QVERIFY(!delCmb->isVisible() && mccCmb->isVisible());
    QVERIFY(!next->isEnabled() && prev->isEnabled());
    QTest::keyClick(pages, Qt::Key_Up);
    QCOMPARE(pages->currentIndex(), 2);
    QTest::keyClick(pages, Qt::Key_Up);
    QCOMPARE(pages->currentIndex(), 0);
    // The buttons walk the same way; a separator chosen from code moves forward.
    next->click();
    next->click();
    QCOMPARE(pages->currentIndex(), 4);
    prev->click();
    QCOMPARE(pages->currentIndex(), 2);
    pages->setCurrentIndex(3);
    QCOMPARE(pages->currentIndex(), 4);
    // Choices show their text at once and reach the options and the store on OK.
    delCmb->setCurrentIndex(2);
    QCOMPARE(child<QLineEdit>(d, "DelactTxt")->text(), QStringLiteral("Yes (No Prompt)"));
    mccCmb->setCurrentIndex(0);
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
    // Whatever the road, the buttons match the page reached.
    QCOMPARE(child<QPushButton>(d, "PrevCmd")->isEnabled(), seen.last() != 0);
    QCOMPARE(child<QPushButton>(d, "NextCmd")->isEnabled(), seen.last() != 4);
}

void TestSettings::preferencesReset_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("closeWith");
    QTest::addColumn<QStringList>("shown");  // DelactTxt, MCCTxt after the Reset click
    QTest::addColumn<QStringList>("stored"); // Delact, MCC after closing
    QTest::newRow("reset, cancel") << int(IDYES) << "cancel_cmd" << QStringList{"No", "Yes"}
                                   << QStringList{"NoPrompt", "Off"};
    QTest::newRow("reset, ok") << int(IDYES) << "SavePref_cmd" << QStringList{"No", "Yes"}
                               << QStringList{"No", "On"};
    QTest::newRow("answered no") << int(IDNO) << "SavePref_cmd" << QStringList{"Yes (No Prompt)", "No"}
                                 << QStringList{"NoPrompt", "Off"};
}

void TestSettings::preferencesReset()
{
    QFETCH(int, answer);
    QFETCH(QString, closeWith);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, stored);
    write(QStringLiteral("Delact"), QStringLiteral("NoPrompt"));
    write(QStringLiteral("MCC"), QStringLiteral("Off"));
    test::ScriptedMessageBox boxes;
    boxes.answer(answer);
    OptionState o;
    o.restore();
    PreferencesDialog d(o);
    child<QPushButton>(d, "Reset_Cmd")->click();
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked()[0].text,
             QStringLiteral("Are you sure you want to reset and restore all default settings?"));
    QCOMPARE(boxes.asked()[0].style, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST);
    QCOMPARE((QStringList{child<QLineEdit>(d, "DelactTxt")->text(), child<QLineEdit>(d, "MCCTxt")->text()}),
             shown);
    QSignalSpy changed(&o, &OptionState::changed);
    d.findChild<QPushButton*>(closeWith)->click();
    QCOMPARE(d.result(),
             int(closeWith == QLatin1String("cancel_cmd") ? QDialog::Rejected : QDialog::Accepted));
    QCOMPARE((QStringList{read(QStringLiteral("Delact")), read(QStringLiteral("MCC"))}), stored);
    QCOMPARE(o.mpegCheck(), stored[1] == QLatin1String("On"));
    if (closeWith == QLatin1String("cancel_cmd"))
        QCOMPARE(changed.count(), 0);
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
