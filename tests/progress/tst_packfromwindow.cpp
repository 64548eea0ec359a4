// Packing from the real main window end to end: the pack command, the progress window and
// the window host, with scripted dialogs, answers and trash. Every run must leave the
// output as expected and the window idle again.
#include "../support/MpegFixtures.h"
#include "../support/ScriptedSeams.h"
#include "app/MainWindow.h"
#include "engine/PackTexts.h"
#include "packlist/ui/PackListView.h"
#include "settings/Registry.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
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

struct MainWindow
{
    klivamainfrm window;

    MainWindow()
    {
        window.load();
        window.show();
    }
    ~MainWindow() { window.hide(); } // a shown window closing in its destructor outlives its list

    void setRows(const QStringList& paths)
    {
        window.packList().clear();
        for (const QString& path : paths)
            window.packList().append({path, QString(), QString(), false});
        window.packListView()->syncFromList();
        window.RefreshPackListCommands();
    }
    // Set as a user does, through the item's handler.
    void option(const char* name, bool on)
    {
        QAction* item = window.action(QLatin1String(name));
        if (item->isChecked() != on)
            item->trigger();
        QCOMPARE_EQ(item->isChecked(), on);
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

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An MPEG-like clip (distinct bytes per seed); returns its bytes, empty on failure.
QByteArray writeClip(const QString& path, qint64 size, quint32 seed = 1, int height = 240, int rate = 4)
{
    return test::writeFileWith(path, size, 0, test::sequenceHeaderBytes(352, height, rate), seed)
               ? readAll(path)
               : QByteArray();
}

// Notes when the progress window shows, and hands over each progress bar as it appears.
class ProgressWatch : public QObject
{
public:
    ProgressWatch() { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    bool shown = false;
    std::function<void(QProgressBar*)> onBarShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            shown = shown || watched->objectName() == QLatin1String("progressfrm");
            if (auto* bar = qobject_cast<QProgressBar*>(watched); bar && onBarShown)
                onBarShown(bar);
        }
        return false;
    }
};

// A click left waiting in the queue, as one made while a block is copied.
void postClick(QWidget* button)
{
    const QPointF at = QRectF(button->rect()).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            button, new QMouseEvent(type, at, button->mapToGlobal(at), Qt::LeftButton,
                                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                    Qt::NoModifier));
}

} // namespace

class PackFromWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void wholePack_data();
    void wholePack();
    void cancelFromInsideTheJoin();
    void refused_data();
    void refused();
    void failureInsideTheJoin();

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
    QTemporaryDir dir;
    MainWindow main;
    QVERIFY(QTest::qWaitForWindowExposed(&main.window));
    main.option("MCheckMnu", mpegCheck);
    main.option(qPrintable(deleteItem), true);
    main.option("NormalSpeedChk", true);
    QByteArray joined;
    QStringList paths;
    for (int i = 0; i < sizes.size(); ++i) {
        paths << dir.filePath(QStringLiteral("clip %1.mpg").arg(i + 1));
        joined += writeClip(paths.last(), sizes[i], i + 1);
    }
    QCOMPARE(joined.size(), std::accumulate(sizes.begin(), sizes.end(), 0));
    main.setRows(paths);
    const QString output = dir.filePath(QStringLiteral("packed.mpg"));
    QVERIFY(!writeClip(output, joined.size() + 5000).isEmpty()); // an old, longer output

    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    shell.setTrashFolder(dir.filePath(QStringLiteral("trash")));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("trash"))));
    dialogs.answerSave(" " + output + " ");
    if (deleteItem == "DelPromptMnu")
        messages.answer(IDYES);
    // At every yield of the join (a zero timer fires once per pass): both windows name the
    // file being packed, the main window looks busy.
    QStringList named;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &sampler, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* label = modal ? modal->findChild<QLabel*>(QStringLiteral("Statusbar_lbl")) : nullptr;
        if (!label || label->text().isEmpty())
            return;
        QCOMPARE(main.window.panelText(1), label->text());
        QCOMPARE(main.window.panelText(2), QStringLiteral("BUSY"));
        QVERIFY(main.window.isBusy() && !main.menusEnabled() &&
                main.window.cursor().shape() == Qt::WaitCursor);
        if (named.isEmpty() || named.last() != label->text())
            named << label->text();
    });
    ProgressWatch watch;
    watch.onBarShown = [&](QProgressBar*) { sampler.start(0); };

    main.pack("menu");

    QVERIFY(watch.shown);
    QCOMPARE(dialogs.saveRequests().size(), 1);
    QCOMPARE(dialogs.saveRequests()[0].title, QStringLiteral("Save Pack File As"));
    QCOMPARE(readAll(output), joined);
    QStringList expectedNames;
    for (const QString& path : paths)
        expectedNames << "Packing '" + path + "'";
    QCOMPARE(named, expectedNames);

    const QString success = texts::packedSuccessfully(output, quint64(joined.size()));
    QVERIFY(success.startsWith("'" + output + "' successfully packed! Total filesize is "));
    QCOMPARE(messages.texts().last(), success);
    QCOMPARE(messages.asked().last().style, int(MB_ICONINFORMATION));
    QCOMPARE(messages.texts().size(), deleteItem == "DelPromptMnu" ? 2 : 1);
    QCOMPARE(messages.unscriptedCount(), 0);
    const bool trashed = deleteItem != "DelNoMnu";
    QCOMPARE(shell.trashRequests(), trashed ? QVector<QStringList>{paths} : QVector<QStringList>{});
    for (const QString& path : paths)
        QCOMPARE(QFile::exists(path), !trashed);
    QCOMPARE(main.window.packList().paths(), paths); // the rows stay
    QVERIFY(main.isIdle());
}

void PackFromWindowTest::cancelFromInsideTheJoin()
{
    QTemporaryDir dir;
    MainWindow main;
    main.option("MCheckMnu", false);
    main.option("NormalSpeedChk", true);
    main.option("DelNoPromptMnu", true); // must not run after a Cancel
    QByteArray first;
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        paths << dir.filePath(QStringLiteral("%1.mpg").arg(i));
        const QByteArray bytes = writeClip(paths.last(), 1'000'000, i + 1);
        first = i == 0 ? bytes : first;
    }
    main.setRows(paths);
    const QString output = dir.filePath(QStringLiteral("out.mpg"));
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    dialogs.answerSave(output);
    ProgressWatch watch;
    int clicks = 0; // Cancel pressed while the first block is copied
    watch.onBarShown = [&](QProgressBar* bar) {
        ++clicks;
        postClick(bar->window()->findChild<QPushButton*>(QStringLiteral("CancelButton")));
    };

    main.pack("menu");

    QCOMPARE(clicks, 1);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Packing aborted by user")});
    QCOMPARE(readAll(output), first.left(100'000)); // exactly the block written before the click
    QVERIFY(shell.trashRequests().isEmpty());
    for (const QString& path : paths)
        QCOMPARE(QFileInfo(path).size(), 1'000'000);
    QVERIFY(main.isIdle());
}

void PackFromWindowTest::refused_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("message"); // %1: the second row's path; "?": a Yes/No answered No
    QTest::addColumn<int>("style");
    const QString zeroByte = "Cannot pack '%1' which is a 0 byte file. Packing aborted!";
    QTest::newRow("empty list") << "empty"
                                << "handler"
                                << "Nothing to pack." << 48;
    QTest::newRow("one row") << "one"
                             << "handler"
                             << "At least 2 files are required for packing." << 48;
    QTest::newRow("Save cancelled (menu)") << "cancelSave"
                                           << "menu"
                                           << "" << 0;
    QTest::newRow("Save cancelled (Ctrl+P)") << "cancelSave"
                                             << "shortcut"
                                             << "" << 0;
    QTest::newRow("Save cancelled (toolbar)") << "cancelSave"
                                              << "toolbar"
                                              << "" << 0;
    QTest::newRow("second row empty") << "zeroByte"
                                      << "menu" << zeroByte << 16;
    QTest::newRow("second row missing") << "missing"
                                        << "menu" << zeroByte << 16;
    QTest::newRow("output among the sources") << "outputIsSource"
                                              << "menu"
                                              << "Cannot pack Save As file!" << 48;
    QTest::newRow("not enough free space") << "smallDisk"
                                           << "menu"
                                           << "Not enough free diskspace. Packing aborted!" << 16;
    QTest::newRow("MPEG not compatible, No") << "incompatible"
                                             << "menu" << texts::notCompatibleQuestion() << 0;
    QTest::newRow("not MPEG, No") << "notMpeg"
                                  << "menu"
                                  << "?" << 0;
}

void PackFromWindowTest::refused()
{
    QFETCH(QString, setup);
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    QFETCH(int, style);
    QTemporaryDir dir;
    QString mount;
    auto unmount = qScopeGuard([&] {
        if (!mount.isEmpty())
            QProcess::execute("umount", {mount});
    });
    MainWindow main;
    QVERIFY(QTest::qWaitForWindowExposed(&main.window));
    main.option("MCheckMnu", true);
    main.option("DelNoPromptMnu", true);
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    ProgressWatch watch;

    const QString a = dir.filePath(QStringLiteral("a.mpg")), b = dir.filePath(QStringLiteral("b.mpg"));
    QString output = dir.filePath(QStringLiteral("out.mpg"));
    QVERIFY(!writeClip(a, 5000, 1).isEmpty() && !writeClip(b, 6000, 2).isEmpty());
    QStringList rows{a, b};
    if (setup == "empty")
        rows.clear();
    else if (setup == "one")
        rows = {a};
    else if (setup == "zeroByte")
        QFile::resize(b, 0);
    else if (setup == "missing")
        QFile::remove(b);
    else if (setup == "outputIsSource")
        output = b;
    else if (setup == "incompatible" || setup == "notMpeg") {
        QVERIFY(setup == "notMpeg" ? test::writeFileWith(a, 5000, -1, {})
                                   : !writeClip(b, 6000, 2, 288, 3).isEmpty());
        messages.answer(IDNO);
    } else if (setup == "smallDisk") {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("small"))));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=4k", "tmpfs", dir.filePath("small")}) != 0)
            QSKIP("cannot mount a tmpfs here");
        mount = dir.filePath(QStringLiteral("small"));
        output = mount + "/out.mpg";
    }
    main.setRows(rows);
    const QByteArray bBefore = readAll(b);
    dialogs.answerSave(setup == "cancelSave" ? QString() : output);
    if (rows.size() < 2) // Pack is not even offered; the command itself refuses too
        QVERIFY(!main.window.action(QStringLiteral("PackMnu"))->isEnabled());

    main.pack(trigger);

    QCOMPARE(dialogs.saveRequests().size(), rows.size() < 2 ? 0 : 1);
    QVERIFY(!watch.shown);
    if (message.isEmpty()) {
        QVERIFY(messages.texts().isEmpty());
    } else if (style == 0) { // the question, answered No: nothing more
        QCOMPARE(messages.texts().size(), 1);
        QCOMPARE(msgButtons(messages.asked()[0].style), int(MB_YESNO));
        QVERIFY(message == "?" ? messages.texts()[0].contains(a) : messages.texts()[0] == message);
    } else {
        QCOMPARE(messages.texts(), QStringList{message.contains("%1") ? message.arg(b) : message});
        QCOMPARE(messages.asked()[0].style, style);
        QCOMPARE(messages.asked()[0].title, QStringLiteral("Vantu Kliva TARN"));
    }
    if (setup != "outputIsSource")
        QVERIFY(!QFile::exists(output));
    QCOMPARE(readAll(b), bBefore); // even when it was named as the output
    QVERIFY(shell.trashRequests().isEmpty());
    QVERIFY(main.isIdle());
}

void PackFromWindowTest::failureInsideTheJoin()
{
    QTemporaryDir dir; // the second source shrinks once the join has begun
    MainWindow main;
    main.option("MCheckMnu", false);
    main.option("DelNoPromptMnu", true);
    const QString a = dir.filePath(QStringLiteral("a.mpg")), b = dir.filePath(QStringLiteral("b.mpg"));
    QVERIFY(!writeClip(a, 150'000, 1).isEmpty() && !writeClip(b, 150'000, 2).isEmpty());
    main.setRows({a, b});
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    ProgressWatch watch;
    watch.onBarShown = [&](QProgressBar*) { QFile::resize(b, 10); };
    dialogs.answerSave(dir.filePath(QStringLiteral("out.mpg")));

    main.pack("menu");

    QVERIFY(watch.shown);
    QCOMPARE(messages.asked().size(), 1);
    QCOMPARE(msgIcon(messages.asked()[0].style), int(MB_ICONHAND));
    QVERIFY2(messages.texts()[0].contains(b), qPrintable(messages.texts()[0]));
    QVERIFY(shell.trashRequests().isEmpty() && QFile::exists(a));
    QVERIFY(main.isIdle());
}

QTEST_MAIN(PackFromWindowTest)
#include "tst_packfromwindow.moc"
