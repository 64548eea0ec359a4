// Packing from the real main window end to end (pack command, progress window, window
// host) with scripted dialogs, answers and trash. Every run must leave the expected output
// and the window idle again.
#include "../support/MpegFixtures.h"
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "app/MainWindow.h"
#include "engine/PackTexts.h"
#include "packlist/ui/PackListView.h"
#include "settings/Registry.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <unistd.h>

using namespace kt;

namespace {

// The real main window with scripted seams, a folder for the files, and a watch on the
// progress window's bar: counted in `bars`, handed to `onBarShown` as it appears.
struct Rig : QObject
{
    QTemporaryDir dir;
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    klivamainfrm window;
    int bars = 0;
    std::function<void(QProgressBar*)> onBarShown;

    Rig()
    {
        window.load();
        window.show();
        qApp->installEventFilter(this);
    }
    ~Rig() override { window.hide(); } // a shown window closing in its destructor outlives its list

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* bar = qobject_cast<QProgressBar*>(watched); bar && event->type() == QEvent::Show) {
            ++bars;
            if (onBarShown)
                onBarShown(bar);
        }
        return false;
    }
    // An MPEG-like clip, distinct per seed; returns its bytes.
    QByteArray clip(const QString& name, qint64 size, quint32 seed, int height = 240, int rate = 4)
    {
        const QByteArray header = test::sequenceHeaderBytes(352, height, rate);
        return test::writeFileWith(dir.filePath(name), size, 0, header, seed)
                   ? test::fileBytes(dir.filePath(name))
                   : "";
    }
    void setRows(const QStringList& paths)
    {
        window.packList().clear();
        for (const QString& path : paths)
            window.packList().append({path, QString(), QString(), false});
        window.packListView()->syncFromList();
        window.RefreshPackListCommands();
    }
    void option(const char* name, bool on) // as a user sets it, through the item's handler
    {
        if (window.action(QLatin1String(name))->isChecked() != on)
            window.action(QLatin1String(name))->trigger();
        QCOMPARE_EQ(window.action(QLatin1String(name))->isChecked(), on);
    }
    void pack(const QString& how)
    {
        if (how == "menu")
            window.action(QStringLiteral("PackMnu"))->trigger();
        else if (how == "shortcut")
            QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
        else if (how == "toolbar")
            QTest::mouseClick(
                window.findChild<QToolBar*>(QStringLiteral("cToolbar1"))
                    ->widgetForAction(window.findChild<QAction*>(QStringLiteral("cToolbar1_Pack"))),
                Qt::LeftButton);
        else
            window.PackMnu_Click(); // the handler itself, whatever the command states
    }
    bool menusEnabled() const
    {
        return window.findChild<QMenu*>(QStringLiteral("FileMnu"))->menuAction()->isEnabled() &&
               window.findChild<QMenu*>(QStringLiteral("ActionMnu"))->menuAction()->isEnabled();
    }
    bool isIdle() const
    {
        return window.panelText(1) == "Awaiting for job..." && window.panelText(2) == "IDLE" &&
               window.findChild<QLabel*>(QStringLiteral("StatusBar_Panel3"))->property("logo") == "idle" &&
               !window.isBusy() && menusEnabled() && window.cursor().shape() == Qt::ArrowCursor &&
               !QApplication::activeModalWidget();
    }
};

} // namespace

class PackFromWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void wholePack_data();
    void wholePack();
    void stopped_data();
    void stopped();
    void sourceGrowsDuringJoin();

private:
    QTemporaryDir m_config;
};

void PackFromWindowTest::initTestCase()
{
    QVERIFY(m_config.isValid()); // our own settings, without the Tip of the Day
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    WriteRegString(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("ShowTod"), QStringLiteral("0"));
}

void PackFromWindowTest::wholePack_data()
{
    QTest::addColumn<QString>("deleteItem");
    QTest::addColumn<bool>("mpegCheck");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("keep sources") << "DelNoMnu" << false << QList<int>{7, 100'000, 123'456};
    QTest::newRow("trash without asking") << "DelNoPromptMnu" << true << QList<int>{100'000, 250'007, 30};
    QTest::newRow("trash after asking") << "DelPromptMnu" << true << QList<int>{40'000, 40'000};
}

void PackFromWindowTest::wholePack()
{
    QFETCH(QString, deleteItem);
    QFETCH(bool, mpegCheck);
    QFETCH(QList<int>, sizes);
    Rig rig;
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    rig.option("MCheckMnu", mpegCheck);
    rig.option(qPrintable(deleteItem), true);
    rig.option("NormalSpeedChk", true);
    QByteArray joined;
    QStringList paths, expectedNames;
    for (int i = 0; i < sizes.size(); ++i) {
        joined += rig.clip(QStringLiteral("clip %1.mpg").arg(i), sizes[i], i + 1);
        paths << rig.dir.filePath(QStringLiteral("clip %1.mpg").arg(i));
        expectedNames << "Packing '" + paths.last() + "'";
    }
    rig.setRows(paths);
    const QString output = rig.dir.filePath(QStringLiteral("packed.mpg"));
    QVERIFY(!rig.clip("packed.mpg", joined.size() + 5000, 9).isEmpty()); // an old, longer output
    rig.dialogs.answerSave(" " + output + " ");
    if (deleteItem == "DelPromptMnu")
        rig.messages.answer(IDYES);
    // At every yield of the join (a zero timer fires once per pass) both windows name the
    // file being packed and the main window looks busy.
    QStringList named;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &sampler, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* label = modal ? modal->findChild<QLabel*>(QStringLiteral("Statusbar_lbl")) : nullptr;
        if (!label || label->text().isEmpty())
            return;
        QCOMPARE(rig.window.panelText(1), label->text());
        QCOMPARE(rig.window.panelText(2), QStringLiteral("BUSY"));
        QVERIFY(rig.window.isBusy() && !rig.menusEnabled() && rig.window.cursor().shape() == Qt::WaitCursor);
        if (named.isEmpty() || named.last() != label->text())
            named << label->text();
    });
    rig.onBarShown = [&](QProgressBar*) { sampler.start(0); };

    rig.pack("menu");

    QCOMPARE(test::fileBytes(output), joined);
    QCOMPARE(named, expectedNames);
    const QString success = texts::packedSuccessfully(output, quint64(joined.size()));
    QVERIFY(success.startsWith("'" + output + "' successfully packed! Total filesize is "));
    QCOMPARE(rig.messages.texts().last(), success);
    QCOMPARE(rig.messages.asked().last().style, int(MB_ICONINFORMATION));
    QCOMPARE(rig.messages.texts().size(), deleteItem == "DelPromptMnu" ? 2 : 1);
    QCOMPARE(rig.shell.trashRequests(),
             deleteItem == "DelNoMnu" ? QVector<QStringList>{} : QVector<QStringList>{paths});
    QCOMPARE(rig.window.packList().paths(), paths); // the rows stay
    QVERIFY(rig.isIdle());
}

void PackFromWindowTest::stopped_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("message"); // %1: the second row; "~a", "~b": names that row
    QTest::addColumn<int>("icon");        // 0: a Yes/No question, answered No
    auto row = [](const char* name, const char* setup, const char* trigger, const QString& message,
                  int icon) { QTest::newRow(name) << QString(setup) << QString(trigger) << message << icon; };
    const QString zeroByte = "Cannot pack '%1' which is a 0 byte file. Packing aborted!";
    row("empty list", "empty", "handler", "Nothing to pack.", 48);
    row("one row", "one", "handler", "At least 2 files are required for packing.", 48);
    row("Save cancelled (menu)", "cancelSave", "menu", "", 0);
    row("Save cancelled (Ctrl+P)", "cancelSave", "shortcut", "", 0);
    row("Save cancelled (toolbar)", "cancelSave", "toolbar", "", 0);
    row("second row empty", "zeroByte", "menu", zeroByte, 16);
    row("second row missing", "missing", "menu", zeroByte, 16);
    row("output among the sources", "outputIsSource", "menu", "Cannot pack Save As file!", 48);
    row("not enough free space", "smallDisk", "menu", "Not enough free diskspace. Packing aborted!", 16);
    row("MPEG not compatible, No", "incompatible", "menu", texts::notCompatibleQuestion(), 0);
    row("not MPEG, No", "notMpeg", "menu", "~a", 0);
    row("Cancel during the first block", "cancel", "menu", "Packing aborted by user", 64);
    row("a source shrinks in the join", "shrink", "menu", "~b", 16);
}

void PackFromWindowTest::stopped()
{
    QFETCH(QString, setup);
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    QFETCH(int, icon);
    Rig rig;
    QString mount;
    auto unmount = qScopeGuard([&] { mount.isEmpty() || QProcess::execute("umount", {mount}); });
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    rig.option("MCheckMnu", true);
    rig.option("NormalSpeedChk", true);
    rig.option("DelNoPromptMnu", true); // must never run here
    const QString a = rig.dir.filePath("a.mpg"), b = rig.dir.filePath("b.mpg");
    QString output = rig.dir.filePath("out.mpg");
    QVERIFY(!rig.clip("a.mpg", 300'000, 1).isEmpty() && !rig.clip("b.mpg", 300'000, 2).isEmpty());
    QStringList rows{a, b};
    if (setup == "empty" || setup == "one")
        rows = setup == "one" ? QStringList{a} : QStringList{};
    else if (setup == "zeroByte" || setup == "missing")
        QVERIFY(setup == "missing" ? QFile::remove(b) : QFile::resize(b, 0));
    else if (setup == "outputIsSource")
        output = b;
    else if (setup == "incompatible" || setup == "notMpeg") {
        QVERIFY(setup == "notMpeg" ? test::writeFileWith(a, 5000, -1, {})
                                   : !rig.clip("b.mpg", 6000, 2, 288, 3).isEmpty());
        rig.messages.answer(IDNO);
    } else if (setup == "smallDisk") {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        QVERIFY(QDir().mkpath(rig.dir.filePath("small")));
        if (QProcess::execute("mount",
                              {"-t", "tmpfs", "-o", "size=4k", "tmpfs", rig.dir.filePath("small")}) != 0)
            QSKIP("cannot mount a tmpfs here");
        mount = rig.dir.filePath("small");
        output = mount + "/out.mpg";
    }
    rig.setRows(rows);
    const QByteArray aBefore = test::fileBytes(a), bBefore = test::fileBytes(b);
    rig.dialogs.answerSave(setup == "cancelSave" ? QString() : output);
    if (rows.size() < 2) // Pack is not even offered; the command itself refuses too
        QVERIFY(!rig.window.action(QStringLiteral("PackMnu"))->isEnabled());
    rig.onBarShown = [&](QProgressBar* bar) {
        if (setup == "cancel") // the click waits in the queue while the first block is copied
            QMetaObject::invokeMethod(bar->window()->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                                      &QPushButton::click, Qt::QueuedConnection);
        else
            QFile::resize(b, 10);
    };

    rig.pack(trigger);

    const bool joinStarted = setup == "cancel" || setup == "shrink";
    QCOMPARE(rig.bars, joinStarted ? 1 : 0);
    QCOMPARE(rig.dialogs.saveRequests().size(), rows.size() < 2 ? 0 : 1);
    const QStringList said = rig.messages.texts();
    QCOMPARE(said.size(), message.isEmpty() ? 0 : 1);
    if (said.size() == 1) {
        const int style = rig.messages.asked()[0].style;
        QCOMPARE(icon ? msgIcon(style) : msgButtons(style), icon ? icon : int(MB_YESNO));
        QCOMPARE(rig.messages.asked()[0].title, QStringLiteral("Vantu Kliva TARN"));
        if (message.startsWith('~'))
            QVERIFY2(said[0].contains(message == "~a" ? a : b), qPrintable(said[0]));
        else
            QCOMPARE(said[0], message.contains("%1") ? message.arg(b) : message);
    }
    if (setup == "cancel")
        QCOMPARE(test::fileBytes(output),
                 aBefore.left(100'000)); // exactly the block written before the click
    else if (setup != "shrink" && setup != "outputIsSource")
        QVERIFY(!QFile::exists(output));
    QCOMPARE(test::fileBytes(a), aBefore);
    if (setup != "shrink")
        QCOMPARE(test::fileBytes(b), bBefore); // even when it was named as the output
    QVERIFY(rig.shell.trashRequests().isEmpty());
    QVERIFY(rig.isIdle());
}

// The window runs the same engine as the packer: a source that grows while it is copied (a
// recording still being written) ends the pack with a stop message, and nothing is trashed.
void PackFromWindowTest::sourceGrowsDuringJoin()
{
    Rig rig;
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    rig.option("MCheckMnu", false);
    rig.option("NormalSpeedChk", true);
    rig.option("DelNoPromptMnu", true);
    const QString a = rig.dir.filePath("a.mpg"), b = rig.dir.filePath("b.mpg");
    const QByteArray aBefore = rig.clip("a.mpg", 300'000, 1), bBefore = rig.clip("b.mpg", 200'000, 2);
    const QByteArray tail = test::patternBytes(5000, 7);
    rig.setRows({a, b});
    const QString output = rig.dir.filePath("out.mpg");
    rig.dialogs.answerSave(output);
    // At the first yield inside a's copy (after its first block), more of it is recorded.
    bool grown = false;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &sampler, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* label = modal ? modal->findChild<QLabel*>(QStringLiteral("Statusbar_lbl")) : nullptr;
        if (grown || !label || !label->text().contains("a.mpg"))
            return;
        QFile f(a);
        grown = f.open(QIODevice::Append) && f.write(tail) == tail.size();
    });
    rig.onBarShown = [&](QProgressBar*) { sampler.start(0); };

    rig.pack("menu");

    QVERIFY(grown);
    QCOMPARE(rig.messages.texts(), QStringList{texts::sourceChangedWhilePacked(a)});
    QCOMPARE(msgIcon(rig.messages.asked()[0].style), int(MB_ICONHAND));
    QVERIFY(rig.shell.trashRequests().isEmpty());
    QCOMPARE(test::fileBytes(a), aBefore + tail);
    QCOMPARE(test::fileBytes(b), bBefore);
    QVERIFY(rig.isIdle());
}

QTEST_MAIN(PackFromWindowTest)
#include "tst_packfromwindow.moc"
