// The settings store, the option state with its restore step, and the Preferences dialog.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "settings/OptionState.h"
#include "settings/Registry.h"
#include "settings/ui/PreferencesDialog.h"

#include <QtTest>
#include <QtWidgets>
#include <sys/inotify.h>
#include <unistd.h>

using namespace kt;

namespace {
// The page chosen from code, the steps (keys, wheel, or a button Return is pressed on), the pages seen.
struct PageWalk
{
    int start;
    QStringList steps;
    QList<int> pages;
};

// The store file (empty: none); tRate, Delact, Owrite, MCC, Seamless, ShowTod after the restore.
struct Restore
{
    QByteArray file;
    QStringList after;
    qsizetype writes = 1;
};

// Delact, MCC, Seamless stored before ("": absent), chosen (-1: not), the Reset answer (0: no
// Reset), the control Return closes on (a text box passes it to OK), then shown and stored.
struct Session
{
    QStringList before;
    QList<int> choices;
    int resetAnswer;
    const char* closeOn;
    QStringList shown, stored;
};

const QStringList kNames{"Delact", "MCC", "Seamless"};
} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString storeFile() const { return m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"); }
    QString read(QString n, QString d = {}) { return ReadRegString(HKEY_CURRENT_USER, appKeyPath(), n, d); }
    void write(QString name, QString text) { WriteRegString(HKEY_CURRENT_USER, appKeyPath(), name, text); }
    // Return as a user presses it, on the control given the focus.
    static void returnOn(QWidget& dialog, const char* name)
    {
        QWidget* target = dialog.findChild<QWidget*>(name);
        target->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key_Return);
    }

private slots:
    void init() // each test is a new start
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QFile::remove(storeFile());
        QDir(storeFile()).removeRecursively();
        reloadSettingsStore();
    }

    void store()
    {
        QCOMPARE(read("MCC", "dflt"), QStringLiteral("dflt"));
        QVERIFY(!QFile::exists(storeFile())); // reading creates nothing
        write("Delact", "Prompt");
        // Another program's rewrite is read at the next start only.
        QVERIFY(test::writeFile(storeFile(), "[General]\nDelact=NoPrompt\n"));
        QCOMPARE(read("Delact"), QStringLiteral("Prompt"));
        reloadSettingsStore();
        QCOMPARE(read("Delact"), QStringLiteral("NoPrompt"));
        // Other keys, other names and texts outside the table never reach the store.
        WriteRegString(HKEY_CURRENT_USER, QStringLiteral("Software\\Other"), "MCC", "Off");
        write("x", "1");
        write("Owrite", QStringLiteral("No") + QChar(0) + QStringLiteral("Prompt"));
        write("ShowTod", QString());
        QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).allKeys(), QStringList{"Delact"});
        QCOMPARE((QStringList{read("MCC", "d"), read("x", "d"), read("Owrite", "d"), read("ShowTod", "d")}),
                 (QStringList{"d", "d", "d", "d"}));
    }

    void restoreTable_data()
    {
        const QStringList defaults{"normal", "No", "Prompt", "On", "Off", ""};
        const QByteArray set = "[General]\nDelact=Prompt\nOwrite=No\nMCC=Off\nSeamless=On\nShowTod=0\n";
        const QStringList setAfter{"normal", "Prompt", "No", "Off", "On", "0"};
        // The set store with one line replaced: that value alone falls back.
        auto junk = [&](const char* good, const char* bad, int at, const char* fallback) {
            QStringList after = setAfter;
            after[at] = QLatin1String(fallback);
            return Restore{QByteArray(set).replace(good, bad), after};
        };
        QTest::addColumn<Restore>("r");
        QTest::newRow("no store") << Restore{{}, defaults};
        QTest::newRow("already as restored") << Restore{
            "[General]\nDelact=No\nMCC=On\nOwrite=Prompt\nSeamless=Off\ntRate=normal\n", defaults, 0};
        QTest::newRow("all set, junk after")
            << Restore{"tRate=fast\n" + set + QByteArray(200, '\x01'), setAfter};
        QTest::newRow("no prompts, seamless off")
            << Restore{"Delact=NoPrompt\r\nOwrite=NoPrompt\r\nSeamless=Off\r\nShowTod=1",
                       {"normal", "NoPrompt", "NoPrompt", "On", "Off", "1"}};
        QTest::newRow("junk Delact") << junk("Delact=Prompt", "Delact=Yes", 1, "No");
        QTest::newRow("junk Owrite") << junk("Owrite=No", "Owrite=no", 2, "Prompt");
        QTest::newRow("junk MCC") << junk("MCC=Off", "MCC=OFF", 3, "On");
        QTest::newRow("junk Seamless") << junk("Seamless=On", "Seamless=on", 4, "Off");
        QTest::newRow("junk ShowTod") << junk("ShowTod=0", "ShowTod=@Variant(\\0\\0\\0\\x7f)", 5, "");
        QTest::newRow("Delact in another section")
            << junk("Delact=Prompt", "[Other]\nDelact=Prompt\n[General]", 1, "No");
        // Damage mid-file costs only the damaged lines.
        QTest::newRow("syntax errors mid-file")
            << Restore{QByteArrayLiteral("\xef\xbb\xbf"
                                         "Delact=Prompt\n\x01\x02 no equals sign\n[[[\n\0\0\xff=\n"
                                         "MCC = \"Off\" ; quoted, with a comment\nOwrite=NoPrompt\n") +
                           QByteArray(5000, 'x') + "Seamless=On\n",
                       {"normal", "Prompt", "NoPrompt", "Off", "Off", ""}};
        QTest::newRow("binary") << Restore{test::patternBytes(20000, 7), defaults};
    }
    void restoreTable()
    {
        QFETCH(Restore, r);
        const QString folder = QFileInfo(storeFile()).absolutePath();
        QVERIFY(QDir().mkpath(folder) && (r.file.isEmpty() || test::writeFile(storeFile(), r.file)));
        // Each write puts a new file in the store's place (a rename, or a link when there was none).
        const int watch = inotify_init1(IN_NONBLOCK);
        QVERIFY(inotify_add_watch(watch, QFile::encodeName(folder), IN_MOVED_TO | IN_CREATE) >= 0);
        OptionState o;
        // Nothing chosen before the restore; the block plan is the Normal rate's from the start.
        QVERIFY(!o.overwritePolicy() && o.packOptions().block.blockSize == 100000);
        o.restore();
        QByteArray events(4096, '\0'); // names end with NUL, so the store's name is not its lock's
        events.truncate(qMax(ssize_t(0), ::read(watch, events.data(), events.size())));
        ::close(watch);
        QCOMPARE(events.count(QByteArrayView("KlivaTARN.conf", sizeof "KlivaTARN.conf")), r.writes);
        const PackOptionValues p = o.packOptions();
        QCOMPARE((QStringList{transferRateName(o.transferRate()), storedText(p.deleteAfter),
                              storedText(o.overwritePolicy().value()), onOffText(p.mpegCheck),
                              onOffText(p.seamless)}),
                 r.after.first(5));
        QVERIFY(test::fileBytes(storeFile()).size() < 100); // the junk is gone
        reloadSettingsStore();
        QStringList after;
        for (const char* name : {"tRate", "Delact", "Owrite", "MCC", "Seamless", "ShowTod"})
            after << read(name);
        QCOMPARE(after, r.after);
    }

    void preferencesPageSteps_data()
    {
        QTest::addColumn<PageWalk>("walk");
        QTest::newRow("wheel down skips the separator")
            << PageWalk{0, {"wheelDown", "wheelDown", "wheelDown"}, {0, 2, 4, 6}};
        QTest::newRow("wheel up after the Down arrow") << PageWalk{0, {"Down", "wheelUp"}, {0, 2, 0}};
        QTest::newRow("wheel up after Next")
            << PageWalk{0, {"NextCmd", "NextCmd", "NextCmd", "wheelUp"}, {0, 2, 4, 6, 4}};
        QTest::newRow("arrows and Prev") << PageWalk{0, {"Down", "Down", "PrevCmd", "Up"}, {0, 2, 4, 2, 0}};
        QTest::newRow("a separator chosen from code moves forward") << PageWalk{3, {"wheelUp"}, {4, 2}};
    }
    void preferencesPageSteps()
    {
        QFETCH(PageWalk, walk);
        OptionState o;
        PreferencesDialog d(o);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto* pages = d.findChild<QComboBox*>("PrefCmb");
        pages->setCurrentIndex(walk.start);
        QList<int> seen{pages->currentIndex()};
        for (const QString& step : walk.steps) {
            if (step.startsWith("wheel")) {
                const QPointF at(pages->width() / 2.0, pages->height() / 2.0);
                QWheelEvent e(at, pages->mapToGlobal(at), QPoint(), QPoint(0, step == "wheelUp" ? 120 : -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(pages, &e);
            } else if (step == "Down" || step == "Up") {
                QTest::keyClick(pages, step == "Up" ? Qt::Key_Up : Qt::Key_Down);
            } else {
                returnOn(d, qPrintable(step));
            }
            seen << pages->currentIndex();
        }
        QCOMPARE(seen, walk.pages);
        // Tab walks the page reached as it is seen: Prev and Next where enabled, each option by
        // its list on its own page and by its text box elsewhere, then the bottom row.
        const int page = seen.last();
        QStringList tabs = page > 0 ? QStringList{"PrevCmd"} : QStringList{};
        if (page < 6)
            tabs << "NextCmd";
        for (int i : {0, 1, 2})
            tabs << kNames[i] + (page == 2 * i + 2 ? "Cmb" : "Txt");
        tabs << "Reset_Cmd"
             << "SavePref_cmd"
             << "cancel_cmd"
             << "PrefCmb";
        pages->setFocus(Qt::TabFocusReason);
        QStringList visits;
        while (visits.size() < tabs.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visits << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visits, tabs);
    }

    void preferencesSession_data()
    {
        const QStringList set{"NoPrompt", "Off", "On"}, none{"", "", ""};
        const QList<int> keep{-1, -1, -1};
        QTest::addColumn<Session>("c");
        QTest::newRow("defaults shown")
            << Session{none, keep, 0, "cancel_cmd", {"No", "Yes", "No"}, {"No", "On", "Off"}};
        QTest::newRow("prompt, off, seamless shown")
            << Session{{"Prompt", "Off", "On"}, keep, 0, "cancel_cmd", {"Yes (Prompt)", "No", "Yes"},
                       {"Prompt", "Off", "On"}};
        QTest::newRow("choices kept on OK") << Session{
            set, {1, 1, 0}, 0, "SavePref_cmd", {"Yes (Prompt)", "Yes", "No"}, {"Prompt", "On", "Off"}};
        QTest::newRow("choices dropped on Cancel")
            << Session{set, {0, 1, 0}, 0, "cancel_cmd", {"No", "Yes", "No"}, set};
        QTest::newRow("reset, cancel") << Session{set, keep, IDYES, "cancel_cmd", {"No", "Yes", "No"}, set};
        QTest::newRow("reset, Return in a text box")
            << Session{set, keep, IDYES, "MCCTxt", {"No", "Yes", "No"}, {"No", "On", "Off"}};
        QTest::newRow("reset answered no")
            << Session{set, keep, IDNO, "SavePref_cmd", {"Yes (No Prompt)", "No", "Yes"}, set};
    }
    void preferencesSession()
    {
        QFETCH(Session, c);
        for (int i : {0, 1, 2})
            if (!c.before[i].isEmpty())
                write(kNames[i], c.before[i]);
        test::ScriptedMessageBox boxes;
        boxes.answer(c.resetAnswer);
        OptionState o;
        o.restore();
        PreferencesDialog d(o);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.findChild<QComboBox*>("PrefCmb")->currentIndex(), 0);
        for (int i : {0, 1, 2})
            if (c.choices[i] >= 0)
                d.findChild<QComboBox*>(kNames[i] + "Cmb")->setCurrentIndex(c.choices[i]);
        if (c.resetAnswer) {
            returnOn(d, "Reset_Cmd");
            QCOMPARE(boxes.texts(),
                     QStringList{"Are you sure you want to reset and restore all default settings?"});
            QCOMPARE(boxes.asked()[0].style, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST);
        }
        QStringList shown, stored;
        for (const QString& name : kNames)
            shown << d.findChild<QLineEdit*>(name + "Txt")->text();
        QCOMPARE(shown, c.shown);
        QSignalSpy changed(&o, &OptionState::changed);
        returnOn(d, c.closeOn);
        const bool ok = QLatin1String(c.closeOn) != QLatin1String("cancel_cmd");
        QVERIFY(!d.isVisible());
        QCOMPARE(changed.count() == 0, !ok);
        for (const QString& name : kNames)
            stored << read(name);
        QCOMPARE(stored, c.stored);
        const PackOptionValues p = o.packOptions();
        QCOMPARE((QStringList{storedText(p.deleteAfter), onOffText(p.mpegCheck), onOffText(p.seamless)}),
                 c.stored);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
