// The settings store, the option state with its restore step, and the Preferences dialog.
#include <QtTest>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include "settings/OptionState.h"
#include "settings/Registry.h"
#include "settings/ui/Preferencesfrm.h"
#include "../support/ScriptedSeams.h"

using namespace kt;

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void missingStoreReadsDefaults();
    void writeThenReadEachCallFresh();
    void textBeforeNul();
    void emptyTextReadsEmpty();
    void nonTextValuesReadAsAbsent();
    void damagedStoreGivesDefaults_data();
    void damagedStoreGivesDefaults();
    void unreadableStoreGivesDefaults();
    void dwordReads();

    void freshRestoreWritesFourValues();
    void restoreTable_data();
    void restoreTable();
    void restoreOnDamagedStore();
    void transferRates_data();
    void transferRates();
    void radioGroupsKeepOneChoice();
    void mpegToggleTwice();

    void preferencesLoad_data();
    void preferencesLoad();
    void preferencesArrowKeysStepOverSeparators();
    void preferencesPrevNext();
    void preferencesResetThenCancel();
    void preferencesResetThenOk();
    void preferencesResetAnsweredNo();
    void preferencesOkAppliesChoices();

private:
    QString storeFile() const { return m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"); }
    QString read(const QString& name) { return ReadRegString(HKEY_CURRENT_USER, appKeyPath(), name); }
    void write(const QString& name, const QString& text) { WriteRegString(HKEY_CURRENT_USER, appKeyPath(), name, text); }
    void writeFile(const QByteArray& bytes);

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
}

void TestSettings::writeFile(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(storeFile()).absolutePath());
    QFile f(storeFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void TestSettings::missingStoreReadsDefaults()
{
    QCOMPARE(read(QStringLiteral("tRate")), QString());
    QCOMPARE(ReadRegString(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("MCC"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    QVERIFY(!QFile::exists(storeFile())); // reading creates nothing
}

void TestSettings::writeThenReadEachCallFresh()
{
    write(QStringLiteral("Delact"), QStringLiteral("Prompt"));
    QVERIFY(QFile::exists(storeFile())); // the write created the store
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("Prompt"));
    // Someone else changes the file: the next read sees it (nothing is cached).
    {
        QSettings other(storeFile(), QSettings::IniFormat);
        other.setValue(QStringLiteral("Delact"), QStringLiteral("NoPrompt"));
    }
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("NoPrompt"));
    // Other keys are never written to the store.
    WriteRegString(HKEY_CURRENT_USER, QStringLiteral("Software\\Other"), QStringLiteral("x"), QStringLiteral("1"));
    QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).allKeys(), QStringList{QStringLiteral("Delact")});
}

void TestSettings::textBeforeNul()
{
    write(QStringLiteral("Owrite"), QStringLiteral("No") + QChar(0) + QStringLiteral("Prompt"));
    QCOMPARE(read(QStringLiteral("Owrite")), QStringLiteral("No"));
}

void TestSettings::emptyTextReadsEmpty()
{
    write(QStringLiteral("ShowTod"), QString());
    QCOMPARE(ReadRegString(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("ShowTod"), QStringLiteral("dflt")), QString());
}

void TestSettings::nonTextValuesReadAsAbsent()
{
    {
        QSettings s(storeFile(), QSettings::IniFormat);
        s.setValue(QStringLiteral("MCC"), QByteArray("Off"));
        s.setValue(QStringLiteral("Delact"), QStringList{QStringLiteral("No"), QStringLiteral("Prompt")});
        s.setValue(QStringLiteral("tRate"), QRect(1, 2, 3, 4));
    }
    QCOMPARE(read(QStringLiteral("MCC")), QString());
    QCOMPARE(read(QStringLiteral("Delact")), QString());
    QCOMPARE(read(QStringLiteral("tRate")), QString());
}

void TestSettings::damagedStoreGivesDefaults_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray random;
    quint32 x = 12345;
    for (int i = 0; i < 4096; ++i) {
        x = x * 1103515245u + 12345u;
        random.append(char(x >> 24));
    }
    QTest::newRow("random bytes") << random;
    QTest::newRow("binary with NULs") << QByteArray("MCC\0=Off\n\0\0\0Delact=@ByteArray(", 30);
    QTest::newRow("variant junk") << QByteArray("[General]\nMCC=@Variant(\\0\\0\\0\\x7f)\nDelact=@Invalid()\nOwrite=@ByteArray(NoPrompt)\n");
}

void TestSettings::damagedStoreGivesDefaults()
{
    QFETCH(QByteArray, bytes);
    writeFile(bytes);
    for (const char* name : {"tRate", "Delact", "Owrite", "MCC", "ShowTod"}) {
        const QString v = read(QLatin1String(name));
        // Whatever a damaged file yields is never one of the values the program acts on.
        QVERIFY2(v.isEmpty() || !QStringList({"slow", "fast", "ufast", "Prompt", "NoPrompt", "Off", "0"}).contains(v),
                 qPrintable(QLatin1String(name) + QLatin1Char('=') + v));
    }
    OptionState o;
    o.restore();
    QCOMPARE(o.deleteAfterAction(), DelAfterAction::No);
    QCOMPARE(o.overwritePolicy(), std::optional(OverwritePolicy::Prompt));
    QVERIFY(o.mpegCheck());
}

void TestSettings::unreadableStoreGivesDefaults()
{
    // A folder where the file should be: it can be neither read nor written.
    QVERIFY(QDir().mkpath(storeFile()));
    QCOMPARE(read(QStringLiteral("MCC")), QString());
    write(QStringLiteral("MCC"), QStringLiteral("Off")); // silently fails
    QCOMPARE(read(QStringLiteral("MCC")), QString());
    OptionState o;
    o.restore();
    QVERIFY(o.mpegCheck());
    QCOMPARE(o.blockSize(), 100000);
}

void TestSettings::dwordReads()
{
    write(QStringLiteral("Count"), QStringLiteral("42"));
    write(QStringLiteral("Word"), QStringLiteral("many"));
    QCOMPARE(ReadRegDword(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("Count")), 42);
    QCOMPARE(ReadRegDword(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("Word"), 7), 7);
    QCOMPARE(ReadRegDword(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("Missing"), -3), -3);
}

void TestSettings::freshRestoreWritesFourValues()
{
    OptionState o;
    QCOMPARE(o.blockSize(), 0); // nothing chosen yet
    QVERIFY(!o.overwritePolicy());
    o.restore();
    QSettings s(storeFile(), QSettings::IniFormat);
    QCOMPARE(s.value(QStringLiteral("tRate")).toString(), QStringLiteral("normal"));
    QCOMPARE(s.value(QStringLiteral("Delact")).toString(), QStringLiteral("No"));
    QCOMPARE(s.value(QStringLiteral("Owrite")).toString(), QStringLiteral("Prompt"));
    QCOMPARE(s.value(QStringLiteral("MCC")).toString(), QStringLiteral("On"));
    QVERIFY(!s.contains(QStringLiteral("ShowTod")));
    QCOMPARE(o.transferRate(), TransferRate::Normal);
    QCOMPARE(o.blockSize(), 100000);
    QCOMPARE(o.blockDigits(), 5);
}

void TestSettings::restoreTable_data()
{
    QTest::addColumn<QString>("tRate");
    QTest::addColumn<QString>("delact");
    QTest::addColumn<QString>("owrite");
    QTest::addColumn<QString>("mcc");
    QTest::addColumn<int>("expDel");
    QTest::addColumn<int>("expOw");
    QTest::addColumn<bool>("expMcc");
    QTest::addColumn<QStringList>("stored"); // tRate, Delact, Owrite, MCC after the restore
    QTest::newRow("all set") << "fast" << "Prompt" << "No" << "Off" << 1 << 0 << false
                             << QStringList{"normal", "Prompt", "No", "Off"};
    QTest::newRow("no prompts") << "ufast" << "NoPrompt" << "NoPrompt" << "On" << 2 << 2 << true
                                << QStringList{"normal", "NoPrompt", "NoPrompt", "On"};
    QTest::newRow("wrong case") << "Normal" << "prompt" << "noprompt" << "off" << 0 << 1 << true
                                << QStringList{"normal", "No", "Prompt", "On"};
    QTest::newRow("junk") << "x" << "Yes" << "" << "OFF " << 0 << 1 << true << QStringList{"normal", "No", "Prompt", "On"};
}

void TestSettings::restoreTable()
{
    QFETCH(QString, tRate);
    QFETCH(QString, delact);
    QFETCH(QString, owrite);
    QFETCH(QString, mcc);
    QFETCH(int, expDel);
    QFETCH(int, expOw);
    QFETCH(bool, expMcc);
    QFETCH(QStringList, stored);
    write(QStringLiteral("tRate"), tRate);
    write(QStringLiteral("Delact"), delact);
    write(QStringLiteral("Owrite"), owrite);
    write(QStringLiteral("MCC"), mcc);
    OptionState o;
    o.restore();
    QCOMPARE(int(o.deleteAfterAction()), expDel);
    QCOMPARE(int(*o.overwritePolicy()), expOw);
    QCOMPARE(o.mpegCheck(), expMcc);
    QCOMPARE(o.transferRate(), TransferRate::Normal);
    QCOMPARE((QStringList{read("tRate"), read("Delact"), read("Owrite"), read("MCC")}), stored);
}

void TestSettings::restoreOnDamagedStore()
{
    writeFile(QByteArray("\xff\xfe[General]\nMCC=Off\x01\x02\nDelact=Prompt\n[[[", 40));
    OptionState o;
    o.restore();
    // The store is usable again after the restore wrote the four values.
    QCOMPARE(read(QStringLiteral("tRate")), QStringLiteral("normal"));
    QCOMPARE(read(QStringLiteral("Owrite")), QStringLiteral("Prompt"));
    QCOMPARE(read(QStringLiteral("MCC")), o.mpegCheck() ? QStringLiteral("On") : QStringLiteral("Off"));
}

void TestSettings::transferRates_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("stored");
    QTest::newRow("slow") << int(TransferRate::Slow) << 10000 << 4 << "slow";
    QTest::newRow("normal") << int(TransferRate::Normal) << 100000 << 5 << "normal";
    QTest::newRow("fast") << int(TransferRate::Fast) << 1000000 << 6 << "fast";
    QTest::newRow("ultra") << int(TransferRate::UltraFast) << 5000000 << 7 << "ufast";
}

void TestSettings::transferRates()
{
    QFETCH(int, rate);
    QFETCH(int, size);
    QFETCH(int, digits);
    QFETCH(QString, stored);
    OptionState o;
    o.chooseTransferRate(TransferRate(rate));
    QCOMPARE(o.blockSize(), size);
    QCOMPARE(o.blockDigits(), digits);
    QCOMPARE(read(QStringLiteral("tRate")), stored);
}

void TestSettings::radioGroupsKeepOneChoice()
{
    OptionState o;
    QSignalSpy changed(&o, &OptionState::changed);
    o.chooseTransferRate(TransferRate::Fast);
    o.chooseTransferRate(TransferRate::Normal);
    QCOMPARE(o.transferRate(), TransferRate::Normal);
    QCOMPARE(o.blockSize(), 100000);
    o.chooseDelAfterAction(DelAfterAction::NoPrompt);
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("NoPrompt"));
    o.chooseOverwritePolicy(OverwritePolicy::No);
    QCOMPARE(read(QStringLiteral("Owrite")), QStringLiteral("No"));
    QCOMPARE(changed.count(), 4);
}

void TestSettings::mpegToggleTwice()
{
    OptionState o;
    QVERIFY(o.mpegCheck());
    o.toggleMpegCheck();
    QVERIFY(!o.mpegCheck());
    QCOMPARE(read(QStringLiteral("MCC")), QStringLiteral("Off"));
    o.toggleMpegCheck();
    QVERIFY(o.mpegCheck());
    QCOMPARE(read(QStringLiteral("MCC")), QStringLiteral("On"));
}

// ---------------------------------------------------------------- Preferences

namespace {
template <class T>
T* child(QWidget& w, const char* name)
{
    T* c = w.findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}
} // namespace

void TestSettings::preferencesLoad_data()
{
    QTest::addColumn<QString>("delact");
    QTest::addColumn<QString>("mcc");
    QTest::addColumn<int>("delIndex");
    QTest::addColumn<QString>("delText");
    QTest::addColumn<int>("mccIndex");
    QTest::addColumn<QString>("mccText");
    QTest::newRow("defaults") << "" << "" << 0 << "No" << 1 << "Yes";
    QTest::newRow("prompt, off") << "Prompt" << "Off" << 1 << "Yes (Prompt)" << 0 << "No";
    QTest::newRow("no prompt, on") << "NoPrompt" << "On" << 2 << "Yes (No Prompt)" << 1 << "Yes";
    QTest::newRow("unknown texts") << "Yes" << "off" << 0 << "No" << 1 << "Yes";
}

void TestSettings::preferencesLoad()
{
    QFETCH(QString, delact);
    QFETCH(QString, mcc);
    QFETCH(int, delIndex);
    QFETCH(QString, delText);
    QFETCH(int, mccIndex);
    QFETCH(QString, mccText);
    if (!delact.isEmpty())
        write(QStringLiteral("Delact"), delact);
    if (!mcc.isEmpty())
        write(QStringLiteral("MCC"), mcc);
    OptionState o;
    Preferencesfrm d(o);
    QCOMPARE(d.windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(child<QComboBox>(d, "DelactCmb")->currentIndex(), delIndex);
    QCOMPARE(child<QLineEdit>(d, "DelactTxt")->text(), delText);
    QCOMPARE(child<QComboBox>(d, "MCCCmb")->currentIndex(), mccIndex);
    QCOMPARE(child<QLineEdit>(d, "MCCTxt")->text(), mccText);
    auto* pages = child<QComboBox>(d, "PrefCmb");
    QCOMPARE(pages->count(), 5);
    QCOMPARE(pages->itemText(1), QString(20, QLatin1Char('_')));
    QCOMPARE(pages->itemText(4), QStringLiteral("Mpeg Compatibilty Check"));
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(!child<QPushButton>(d, "PrevCmd")->isEnabled());
    QVERIFY(child<QPushButton>(d, "NextCmd")->isEnabled());
}

void TestSettings::preferencesArrowKeysStepOverSeparators()
{
    OptionState o;
    Preferencesfrm d(o);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    auto* pages = child<QComboBox>(d, "PrefCmb");
    auto* delCmb = child<QComboBox>(d, "DelactCmb");
    auto* mccCmb = child<QComboBox>(d, "MCCCmb");
    pages->setFocus();
    QVERIFY(!delCmb->isVisible() && !mccCmb->isVisible()); // General: only the text boxes
    QTest::keyClick(pages, Qt::Key_Down);
    QCOMPARE(pages->currentIndex(), 2);
    QVERIFY(delCmb->isVisible() && !mccCmb->isVisible());
    QTest::keyClick(pages, Qt::Key_Down);
    QCOMPARE(pages->currentIndex(), 4);
    QVERIFY(!delCmb->isVisible() && mccCmb->isVisible());
    QVERIFY(!child<QPushButton>(d, "NextCmd")->isEnabled());
    QVERIFY(child<QPushButton>(d, "PrevCmd")->isEnabled());
    QTest::keyClick(pages, Qt::Key_Up);
    QCOMPARE(pages->currentIndex(), 2);
    QTest::keyClick(pages, Qt::Key_Up);
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(!child<QPushButton>(d, "PrevCmd")->isEnabled());
}

void TestSettings::preferencesPrevNext()
{
    OptionState o;
    Preferencesfrm d(o);
    auto* pages = child<QComboBox>(d, "PrefCmb");
    auto* next = child<QPushButton>(d, "NextCmd");
    auto* prev = child<QPushButton>(d, "PrevCmd");
    next->click();
    QCOMPARE(pages->currentIndex(), 2);
    QVERIFY(prev->isEnabled() && next->isEnabled());
    next->click();
    QCOMPARE(pages->currentIndex(), 4);
    QVERIFY(!next->isEnabled());
    prev->click();
    QCOMPARE(pages->currentIndex(), 2);
    prev->click();
    QCOMPARE(pages->currentIndex(), 0);
    // Choosing a separator from code moves forward (not travelling back).
    pages->setCurrentIndex(3);
    QCOMPARE(pages->currentIndex(), 4);
}

void TestSettings::preferencesResetThenCancel()
{
    write(QStringLiteral("Delact"), QStringLiteral("NoPrompt"));
    write(QStringLiteral("MCC"), QStringLiteral("Off"));
    test::ScriptedMessageBox boxes;
    boxes.answer(IDYES);
    OptionState o;
    Preferencesfrm d(o);
    child<QPushButton>(d, "Reset_Cmd")->click();
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked()[0].text, QStringLiteral("Are you sure you want to reset and restore all default settings?"));
    QCOMPARE(boxes.asked()[0].style, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST);
    QCOMPARE(boxes.asked()[0].title, QStringLiteral("Vantu Kliva TARN"));
    QCOMPARE(child<QLineEdit>(d, "DelactTxt")->text(), QStringLiteral("No"));
    QCOMPARE(child<QLineEdit>(d, "MCCTxt")->text(), QStringLiteral("Yes"));
    QSignalSpy changed(&o, &OptionState::changed);
    child<QPushButton>(d, "cancel_cmd")->click();
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("NoPrompt"));
    QCOMPARE(read(QStringLiteral("MCC")), QStringLiteral("Off"));
}

void TestSettings::preferencesResetThenOk()
{
    write(QStringLiteral("Delact"), QStringLiteral("Prompt"));
    write(QStringLiteral("MCC"), QStringLiteral("Off"));
    test::ScriptedMessageBox boxes;
    boxes.answer(IDYES);
    OptionState o;
    o.chooseDelAfterAction(DelAfterAction::Prompt);
    o.setMpegCheck(false);
    Preferencesfrm d(o);
    child<QPushButton>(d, "Reset_Cmd")->click();
    child<QPushButton>(d, "SavePref_cmd")->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(o.deleteAfterAction(), DelAfterAction::No);
    QVERIFY(o.mpegCheck());
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("No"));
    QCOMPARE(read(QStringLiteral("MCC")), QStringLiteral("On"));
}

void TestSettings::preferencesResetAnsweredNo()
{
    write(QStringLiteral("Delact"), QStringLiteral("Prompt"));
    test::ScriptedMessageBox boxes;
    boxes.answer(IDNO);
    OptionState o;
    Preferencesfrm d(o);
    child<QPushButton>(d, "Reset_Cmd")->click();
    QCOMPARE(child<QComboBox>(d, "DelactCmb")->currentIndex(), 1);
    QCOMPARE(child<QLineEdit>(d, "DelactTxt")->text(), QStringLiteral("Yes (Prompt)"));
}

void TestSettings::preferencesOkAppliesChoices()
{
    OptionState o;
    Preferencesfrm d(o);
    child<QComboBox>(d, "DelactCmb")->setCurrentIndex(2);
    QCOMPARE(child<QLineEdit>(d, "DelactTxt")->text(), QStringLiteral("Yes (No Prompt)"));
    child<QComboBox>(d, "MCCCmb")->setCurrentIndex(0);
    QCOMPARE(child<QLineEdit>(d, "MCCTxt")->text(), QStringLiteral("No"));
    child<QPushButton>(d, "SavePref_cmd")->click();
    QCOMPARE(o.deleteAfterAction(), DelAfterAction::NoPrompt);
    QVERIFY(!o.mpegCheck());
    QCOMPARE(read(QStringLiteral("Delact")), QStringLiteral("NoPrompt"));
    QCOMPARE(read(QStringLiteral("MCC")), QStringLiteral("Off"));
    if (!qEnvironmentVariableIsEmpty("KT_SHOT_DIR")) {
        Preferencesfrm shown(o);
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        shown.grab().save(qEnvironmentVariable("KT_SHOT_DIR") + QStringLiteral("/preferences.png"));
        child<QPushButton>(shown, "NextCmd")->click();
        shown.grab().save(qEnvironmentVariable("KT_SHOT_DIR") + QStringLiteral("/preferences-delete.png"));
    }
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
