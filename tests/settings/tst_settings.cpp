// The settings store, the option state with its restore step, and the Preferences dialog.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "settings/OptionState.h"
#include "settings/Registry.h"
#include "settings/ui/PreferencesDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

using namespace kt;

namespace {
enum class PageStep { KeyDown, KeyUp, WheelDown, WheelUp, Next };

// The page chosen from code, then the page index after that and after each step.
struct PageWalk
{
    int start;
    QList<PageStep> steps;
    QList<int> pages;
};

// The four options stored before a restore (none: an empty store) or a damaged store file,
// the options restored and what the store holds at the next start.
struct Restore
{
    QStringList before; // tRate, Delact, Owrite, MCC
    QByteArray damaged;
    DeleteAfterAction deleteAfter;
    OverwritePolicy overwrite;
    bool mpegCheck;
    QStringList after;
};

// A Preferences session: Delact and MCC stored before ("": absent), the choices (-1: none),
// the Reset answer (0: no Reset), OK or Cancel; the texts (Delact, MCC) shown before closing,
// then the options and the store (the restore writes back what it read).
struct Session
{
    QStringList before;
    int delactChoice, mccChoice;
    int resetAnswer;
    bool ok;
    QStringList shown;
    DeleteAfterAction deleteAfter;
    QStringList stored;
};

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString storeFile() const { return m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"); }
    QString read(const QString& name, const QString& dflt = QString())
    {
        return ReadRegString(HKEY_CURRENT_USER, appKeyPath(), name, dflt);
    }
    void write(const QString& name, const QString& text)
    {
        WriteRegString(HKEY_CURRENT_USER, appKeyPath(), name, text);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }
    void init()
    {
        QFile::remove(storeFile());
        QDir(storeFile()).removeRecursively();
        reloadSettingsStore(); // each test is a new start
    }

    void store()
    {
        QCOMPARE(read("MCC", "dflt"), QStringLiteral("dflt"));
        QVERIFY(!QFile::exists(storeFile())); // reading creates nothing
        write("Delact", "Prompt");
        QCOMPARE(read("Delact"), QStringLiteral("Prompt"));
        // Another program rewrites the file: the store was read at start and is read again only
        // at the next start.
        QVERIFY(test::writeFile(storeFile(), "[General]\nDelact=NoPrompt\n"));
        QCOMPARE(read("Delact"), QStringLiteral("Prompt"));
        reloadSettingsStore();
        QCOMPARE(read("Delact"), QStringLiteral("NoPrompt"));
        // Other keys never reach the store.
        WriteRegString(HKEY_CURRENT_USER, QStringLiteral("Software\\Other"), "x", "1");
        QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).allKeys(), QStringList{"Delact"});
        write("Owrite", QStringLiteral("No") + QChar(0) + QStringLiteral("Prompt"));
        QCOMPARE(read("Owrite"), QStringLiteral("No"));
        write("ShowTod", QString());
        QCOMPARE(read("ShowTod", "dflt"), QString());
    }

    void restoreTable_data()
    {
        using D = DeleteAfterAction;
        using O = OverwritePolicy;
        const QStringList defaults{"normal", "No", "Prompt", "On"};
        QTest::addColumn<Restore>("r");
        QTest::newRow("empty store") << Restore{{}, {}, D::No, O::Prompt, true, defaults};
        QTest::newRow("all set") << Restore{{"fast", "Prompt", "No", "Off"},  {}, D::Prompt, O::No, false,
                                            {"normal", "Prompt", "No", "Off"}};
        QTest::newRow("no prompts") << Restore{
            {"ufast", "NoPrompt", "NoPrompt", "On"}, {}, D::NoPrompt, O::NoPrompt, true,
            {"normal", "NoPrompt", "NoPrompt", "On"}};
        QTest::newRow("wrong case") << Restore{
            {"Normal", "prompt", "noprompt", "off"}, {}, D::No, O::Prompt, true, defaults};
        QTest::newRow("junk") << Restore{{"x", "Yes", "", "OFF "}, {}, D::No, O::Prompt, true, defaults};
        // A damaged file is never trusted, and the restore makes it a store again.
        auto damaged = [&](const QByteArray& bytes) {
            return Restore{{}, bytes, D::No, O::Prompt, true, defaults};
        };
        QTest::newRow("binary with NULs") << damaged(QByteArray("MCC\0=Off\n\0\0\0Delact=@ByteArray(", 30));
        QTest::newRow("variant junk") << damaged(
            "[General]\nMCC=@Variant(\\0\\0\\0\\x7f)\nDelact=@Invalid()\nOwrite=@ByteArray(NoPrompt)\n");
        QTest::newRow("bad header") << damaged("\xff\xfe[General]\nMCC=Off\x01\x02\nDelact=Yes\n[[[");
        QTest::newRow("good values, bad syntax") << damaged("[General]\nMCC=Off\nDelact=Prompt\n[[[\n");
    }
    void restoreTable()
    {
        QFETCH(Restore, r);
        if (!r.damaged.isEmpty())
            QVERIFY(QDir().mkpath(QFileInfo(storeFile()).absolutePath()) &&
                    test::writeFile(storeFile(), r.damaged));
        const QStringList names{"tRate", "Delact", "Owrite", "MCC"};
        for (int i = 0; i < r.before.size(); ++i)
            write(names[i], r.before[i]);
        OptionState o;
        QVERIFY(!o.overwritePolicy()); // nothing chosen before the restore
        o.restore();
        QCOMPARE(o.deleteAfterAction(), r.deleteAfter);
        QCOMPARE(o.overwritePolicy(), std::optional(r.overwrite));
        QCOMPARE(o.mpegCheck(), r.mpegCheck);
        QCOMPARE(o.packOptions().block.blockSize, 100000); // the rate is always Normal
        reloadSettingsStore();
        QCOMPARE((QStringList{read("tRate"), read("Delact"), read("Owrite"), read("MCC")}), r.after);
        QVERIFY(!QSettings(storeFile(), QSettings::IniFormat).contains(QStringLiteral("ShowTod")));
    }

    void preferencesPageSteps_data()
    {
        using S = PageStep;
        QTest::addColumn<PageWalk>("walk");
        QTest::newRow("wheel down skips the separator")
            << PageWalk{0, {S::WheelDown, S::WheelDown}, {0, 2, 4}};
        QTest::newRow("wheel up after the Down arrow") << PageWalk{0, {S::KeyDown, S::WheelUp}, {0, 2, 0}};
        QTest::newRow("wheel up after Next") << PageWalk{0, {S::Next, S::Next, S::WheelUp}, {0, 2, 4, 2}};
        QTest::newRow("arrows both ways")
            << PageWalk{0, {S::KeyDown, S::KeyDown, S::KeyUp, S::KeyUp}, {0, 2, 4, 2, 0}};
        QTest::newRow("a separator chosen from code moves forward") << PageWalk{3, {S::WheelUp}, {4, 2}};
    }
    void preferencesPageSteps()
    {
        QFETCH(PageWalk, walk);
        OptionState o;
        PreferencesDialog d(o);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        auto* pages = d.findChild<QComboBox*>("PrefCmb");
        pages->setCurrentIndex(walk.start);
        pages->setFocus();
        auto wheel = [pages](int dy) {
            const QPointF at(pages->width() / 2.0, pages->height() / 2.0);
            QWheelEvent e(at, pages->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(pages, &e);
        };
        const std::function<void()> act[] = {[&] { QTest::keyClick(pages, Qt::Key_Down); },
                                             [&] { QTest::keyClick(pages, Qt::Key_Up); },
                                             [&] { wheel(-120); }, [&] { wheel(120); },
                                             [&] { d.findChild<QPushButton*>("NextCmd")->click(); }};
        QList<int> seen{pages->currentIndex()};
        for (const PageStep step : walk.steps) {
            act[int(step)]();
            seen << pages->currentIndex();
        }
        QCOMPARE(seen, walk.pages);
        // Whatever the road, the buttons and the page shown match the page reached.
        QCOMPARE(d.findChild<QPushButton*>("PrevCmd")->isEnabled(), seen.last() != 0);
        QCOMPARE(d.findChild<QPushButton*>("NextCmd")->isEnabled(), seen.last() != 4);
        QCOMPARE(d.findChild<QComboBox*>("DelactCmb")->isVisible(), seen.last() == 2);
        QCOMPARE(d.findChild<QComboBox*>("MCCCmb")->isVisible(), seen.last() == 4);
    }

    void preferencesSession_data()
    {
        using D = DeleteAfterAction;
        const QStringList set{"NoPrompt", "Off"}, none{"", ""};
        QTest::addColumn<Session>("c");
        QTest::newRow("defaults shown")
            << Session{none, -1, -1, 0, false, {"No", "Yes"}, D::No, {"No", "On"}};
        QTest::newRow("prompt, off shown") << Session{
            {"Prompt", "Off"}, -1, -1, 0, false, {"Yes (Prompt)", "No"}, D::Prompt, {"Prompt", "Off"}};
        QTest::newRow("choices kept on OK")
            << Session{set, 1, 1, 0, true, {"Yes (Prompt)", "Yes"}, D::Prompt, {"Prompt", "On"}};
        QTest::newRow("choices dropped on Cancel")
            << Session{set, 0, 1, 0, false, {"No", "Yes"}, D::NoPrompt, set};
        QTest::newRow("reset, cancel") << Session{set, -1, -1, IDYES, false, {"No", "Yes"}, D::NoPrompt, set};
        QTest::newRow("reset, ok") << Session{set, -1, -1, IDYES, true, {"No", "Yes"}, D::No, {"No", "On"}};
        QTest::newRow("reset answered no")
            << Session{set, -1, -1, IDNO, true, {"Yes (No Prompt)", "No"}, D::NoPrompt, set};
    }
    void preferencesSession()
    {
        QFETCH(Session, c);
        for (int i : {0, 1})
            if (!c.before[i].isEmpty())
                write(i ? "MCC" : "Delact", c.before[i]);
        test::ScriptedMessageBox boxes;
        boxes.answer(c.resetAnswer);
        OptionState o;
        o.restore();
        PreferencesDialog d(o);
        QCOMPARE(d.findChild<QComboBox*>("PrefCmb")->currentIndex(), 0);
        for (const auto& [box, choice] : {std::pair{"DelactCmb", c.delactChoice}, {"MCCCmb", c.mccChoice}})
            if (choice >= 0)
                d.findChild<QComboBox*>(box)->setCurrentIndex(choice);
        if (c.resetAnswer) {
            d.findChild<QPushButton*>("Reset_Cmd")->click();
            QCOMPARE(boxes.texts(),
                     QStringList{"Are you sure you want to reset and restore all default settings?"});
            QCOMPARE(boxes.asked()[0].style, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST);
        }
        QCOMPARE((QStringList{d.findChild<QLineEdit*>("DelactTxt")->text(),
                              d.findChild<QLineEdit*>("MCCTxt")->text()}),
                 c.shown);
        QSignalSpy changed(&o, &OptionState::changed);
        d.findChild<QPushButton*>(c.ok ? "SavePref_cmd" : "cancel_cmd")->click();
        QCOMPARE(d.result(), int(c.ok ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE((QStringList{read("Delact"), read("MCC")}), c.stored);
        QCOMPARE(o.deleteAfterAction(), c.deleteAfter);
        QCOMPARE(o.mpegCheck(), c.stored[1] == QLatin1String("On"));
        if (!c.ok)
            QCOMPARE(changed.count(), 0);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
