// Packing from the window, end to end through the seams: the real pack command, the real
// progress window and the window host, with scripted dialogs, answers and trash.
// A whole pack, Cancel pressed from inside the join, and the pack refused at each
// pre-flight step, each time checking the output bytes and that the window is idle again.
#include "../support/ScriptedSeams.h"
#include "app/MainWindow.h"
#include "engine/File64.h"
#include "engine/PackTexts.h"
#include "packlist/ui/PackListView.h"
#include "settings/Registry.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <unistd.h>

using namespace kt;

namespace {

// The real main window, loaded, with helpers to fill the list and set the options the
// way a user does (through the option items' handlers).
class MainWindow
{
public:
    MainWindow()
    {
        window.load();
        window.show();
    }
    // Hidden first: closing a shown main window in its destructor reaches the list view
    // after the window's own list is gone.
    ~MainWindow() { window.hide(); }

    void setRows(const QStringList& paths)
    {
        window.packList().clear();
        for (const QString& path : paths)
            window.packList().append({path, QString(), QString(), false});
        window.packListView()->syncFromList();
        window.RefreshPackListCommands();
    }
    QStringList rows() const { return const_cast<klivamainfrm&>(window).packList().paths(); }

    void option(const char* name, bool on)
    {
        QAction* item = window.action(QLatin1String(name));
        if (item->isChecked() != on)
            item->trigger();
        QCOMPARE_EQ(item->isChecked(), on);
    }
    void deleteAfter(const char* name) { option(name, true); }

    void pack(const QString& how)
    {
        if (how == "menu")
            window.action(QStringLiteral("PackMnu"))->trigger();
        else if (how == "shortcut")
            QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
        else if (how == "toolbar")
            QTest::mouseClick(toolbarButton(), Qt::LeftButton);
        else
            window.PackMnu_Click(); // the handler itself, whatever the command states
    }
    QWidget* toolbarButton() const
    {
        auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("cToolbar1"));
        return toolbar->widgetForAction(window.findChild<QAction*>(QStringLiteral("cToolbar1_Pack")));
    }

    bool menusEnabled() const
    {
        return window.findChild<QMenu*>(QStringLiteral("FileMnu"))->menuAction()->isEnabled() &&
               window.findChild<QMenu*>(QStringLiteral("ActionMnu"))->menuAction()->isEnabled();
    }
    bool isIdle() const
    {
        return window.panelText(1) == QStringLiteral("Awaiting for job...") &&
               window.panelText(2) == QStringLiteral("IDLE") &&
               window.findChild<QLabel*>(QStringLiteral("StatusBar_Panel3"))->property("logo") == "idle" &&
               !window.isBusy() && menusEnabled() && window.cursor().shape() == Qt::ArrowCursor &&
               !QApplication::activeModalWidget();
    }

    klivamainfrm window;
};

// What the windows showed each time the bar moved during a join.
struct Moment
{
    QString panel1, panel2, fileLabel;
    bool busy = false, menusEnabled = true;
    Qt::CursorShape mainCursor = Qt::ArrowCursor;
};

QByteArray mpegFile(qint64 size, int width, int height, int frameRateCode)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char(QRandomGenerator::global()->bounded(256));
    const unsigned char header[8] = {0x00,
                                     0x00,
                                     0x01,
                                     0xB3,
                                     (unsigned char)(width >> 4),
                                     (unsigned char)(((width & 0xF) << 4) | (height >> 8)),
                                     (unsigned char)(height & 0xFF),
                                     (unsigned char)(0x10 | frameRateCode)};
    if (size >= 8)
        memcpy(bytes.data(), header, 8);
    return bytes;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Remembers whether the progress window was ever shown.
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
            if (watched->objectName() == QLatin1String("progressfrm"))
                shown = true;
            if (auto* bar = qobject_cast<QProgressBar*>(watched); bar && onBarShown)
                onBarShown(bar);
        }
        return false;
    }
};

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
    void notEnoughFreeSpace();
    void failureInsideTheJoin();

private:
    QTemporaryDir m_config;
};

void PackFromWindowTest::initTestCase()
{
    // A settings store of our own, with the Tip of the Day switched off.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    WriteRegString(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("ShowTod"), QStringLiteral("0"));
}

void PackFromWindowTest::wholePack_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("deleteItem");
    QTest::addColumn<bool>("mpegCheck");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("menu, keep sources") << "menu"
                                        << "DelNoMnu" << false << QList<int>{7, 100'000, 123'456};
    QTest::newRow("Ctrl+P, MPEG checked, trash without asking")
        << "shortcut"
        << "DelNoPromptMnu" << true << QList<int>{100'000, 250'007, 30};
    QTest::newRow("toolbar, trash after asking") << "toolbar"
                                                 << "DelPromptMnu" << true << QList<int>{40'000, 40'000};
}

void PackFromWindowTest::wholePack()
{
    QFETCH(QString, trigger);
    QFETCH(QString, deleteItem);
    QFETCH(bool, mpegCheck);
    QFETCH(QList<int>, sizes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    MainWindow main;
    QVERIFY(QTest::qWaitForWindowExposed(&main.window));
    main.option("MCheckMnu", mpegCheck);
    main.deleteAfter(qPrintable(deleteItem));
    main.option("NormalSpeedChk", true);

    QByteArray joined;
    QStringList paths;
    for (int i = 0; i < sizes.size(); ++i) {
        paths << dir.filePath(QStringLiteral("clip %1.mpg").arg(i + 1));
        const QByteArray bytes = mpegFile(sizes[i], 352, 240, 4);
        QVERIFY(writeFile(paths.last(), bytes));
        joined += bytes;
    }
    main.setRows(paths);
    const QString output = dir.filePath(QStringLiteral("packed.mpg"));
    QVERIFY(writeFile(output, QByteArray(joined.size() + 5000, 'x'))); // an old, longer output

    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    const QString trash = dir.filePath(QStringLiteral("trash"));
    QVERIFY(QDir().mkpath(trash));
    shell.setTrashFolder(trash);
    dialogs.answerSave(QStringLiteral(" ") + output + QStringLiteral(" "));
    if (deleteItem == "DelPromptMnu")
        messages.answer(IDYES);
    ProgressWatch watch;
    // A look at both windows at every yield of the join (a zero timer runs once per pass).
    QVector<Moment> moments;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &sampler, [&] {
        auto* label =
            QApplication::activeModalWidget()
                ? QApplication::activeModalWidget()->findChild<QLabel*>(QStringLiteral("Statusbar_lbl"))
                : nullptr;
        if (!label || label->text().isEmpty())
            return;
        moments.push_back({main.window.panelText(1), main.window.panelText(2), label->text(),
                           main.window.isBusy(), main.menusEnabled(), main.window.cursor().shape()});
    });
    watch.onBarShown = [&](QProgressBar*) { sampler.start(0); };

    main.pack(trigger);

    QVERIFY(watch.shown);
    QCOMPARE(dialogs.saveRequests().size(), 1);
    QCOMPARE(dialogs.saveRequests()[0].title, QStringLiteral("Save Pack File As"));
    QCOMPARE(dialogs.saveRequests()[0].filter, mediaFileFilter());
    QCOMPARE(readAll(output), joined);
    QCOMPARE(main.window.currentOperation(), QStringLiteral("pack"));

    // While the bar moved: busy look, menus off, hourglass, and each file named in panel 1
    // and in the progress window alike.
    QVERIFY(!moments.isEmpty());
    QStringList named;
    for (const Moment& m : moments) {
        QCOMPARE(m.panel2, QStringLiteral("BUSY"));
        QVERIFY(m.busy && !m.menusEnabled);
        QCOMPARE(m.mainCursor, Qt::WaitCursor);
        QCOMPARE(m.panel1, m.fileLabel);
        if (named.isEmpty() || named.last() != m.panel1)
            named << m.panel1;
    }
    QStringList expectedNames;
    for (const QString& path : paths)
        expectedNames << QStringLiteral("Packing '") + path + "'";
    QCOMPARE(named, expectedNames);

    const QString success = texts::packedSuccessfully(output, quint64(joined.size()));
    QVERIFY(success.startsWith("'" + output + "' successfully packed! Total filesize is "));
    QCOMPARE(messages.texts().last(), success);
    QCOMPARE(messages.asked().last().style, int(MB_ICONINFORMATION));
    QCOMPARE(messages.asked().last().title, QStringLiteral("Vantu Kliva TARN"));
    QCOMPARE(messages.unscriptedCount(), 0);
    if (deleteItem == "DelNoMnu") {
        QVERIFY(shell.trashRequests().isEmpty());
        for (const QString& path : paths)
            QVERIFY(QFile::exists(path));
        QCOMPARE(messages.texts(), QStringList{success});
    } else {
        // Every source in one request, before the success message; the rows stay.
        QCOMPARE(shell.trashRequests().size(), 1);
        QCOMPARE(shell.trashRequests()[0], paths);
        for (const QString& path : paths)
            QVERIFY(!QFile::exists(path));
        QCOMPARE(messages.texts().size(), deleteItem == "DelPromptMnu" ? 2 : 1);
        QCOMPARE(main.rows(), paths);
    }
    QVERIFY(main.isIdle());
}

void PackFromWindowTest::cancelFromInsideTheJoin()
{
    QTemporaryDir dir;
    MainWindow main;
    main.option("MCheckMnu", false);
    main.option("NormalSpeedChk", true);
    main.deleteAfter("DelNoPromptMnu"); // must not run after a Cancel
    QByteArray first;
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        paths << dir.filePath(QStringLiteral("%1.mpg").arg(i));
        const QByteArray bytes = mpegFile(1'000'000, 352, 240, 4);
        QVERIFY(writeFile(paths.last(), bytes));
        if (i == 0)
            first = bytes;
    }
    main.setRows(paths);
    const QString output = dir.filePath(QStringLiteral("out.mpg"));
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    dialogs.answerSave(output);
    ProgressWatch watch;
    // The user presses Cancel while the first block is being copied: the click waits in
    // the queue until the join lets events through after that block.
    int clicks = 0;
    watch.onBarShown = [&](QProgressBar* bar) {
        ++clicks;
        postClick(bar->window()->findChild<QPushButton*>(QStringLiteral("CancelButton")));
    };

    main.pack("menu");

    QCOMPARE(clicks, 1);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Packing aborted by user")});
    QCOMPARE(messages.asked()[0].style, int(MB_ICONINFORMATION));
    // Exactly the block written before the click stays; nothing after it.
    QCOMPARE(readAll(output), first.left(100'000));
    QVERIFY(shell.trashRequests().isEmpty());
    for (const QString& path : paths)
        QCOMPARE(QFileInfo(path).size(), 1'000'000);
    QVERIFY(main.isIdle());
}

void PackFromWindowTest::refused_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message"); // %1: the path concerned; empty: no message
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("saveAsked");
    QTest::newRow("empty list") << "empty"
                                << "Nothing to pack." << 48 << false;
    QTest::newRow("one row") << "one"
                             << "At least 2 files are required for packing." << 48 << false;
    QTest::newRow("Save cancelled") << "cancelSave"
                                    << "" << 0 << true;
    QTest::newRow("second row empty")
        << "zeroByte"
        << "Cannot pack '%1' which is a 0 byte file. Packing aborted!" << 16 << true;
    QTest::newRow("second row missing")
        << "missing"
        << "Cannot pack '%1' which is a 0 byte file. Packing aborted!" << 16 << true;
    QTest::newRow("output among the sources") << "outputIsSource"
                                              << "Cannot pack Save As file!" << 48 << true;
    QTest::newRow("MPEG not compatible, No") << "incompatible"
                                             << "" << 0 << true;
    QTest::newRow("not MPEG, No") << "notMpeg"
                                  << "" << 0 << true;
}

void PackFromWindowTest::refused()
{
    QFETCH(QString, setup);
    QFETCH(QString, message);
    QFETCH(int, style);
    QFETCH(bool, saveAsked);
    QTemporaryDir dir;
    MainWindow main;
    main.option("MCheckMnu", true);
    main.deleteAfter("DelNoPromptMnu");
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    ProgressWatch watch;

    const QString a = dir.filePath(QStringLiteral("a.mpg")), b = dir.filePath(QStringLiteral("b.mpg"));
    QString output = dir.filePath(QStringLiteral("out.mpg"));
    QVERIFY(writeFile(a, mpegFile(5000, 352, 240, 4)));
    QVERIFY(writeFile(b, mpegFile(6000, 352, 240, 4)));
    QStringList rows{a, b};
    if (setup == "empty")
        rows.clear();
    else if (setup == "one")
        rows = {a};
    else if (setup == "zeroByte")
        QVERIFY(writeFile(b, QByteArray()));
    else if (setup == "missing")
        QFile::remove(b);
    else if (setup == "outputIsSource")
        output = b;
    else if (setup == "incompatible") {
        QVERIFY(writeFile(b, mpegFile(6000, 352, 288, 3)));
        messages.answer(IDNO);
    } else if (setup == "notMpeg") {
        QVERIFY(writeFile(a, QByteArray(5000, '\x55')));
        messages.answer(IDNO);
    }
    main.setRows(rows);
    const QByteArray bBefore = readAll(b);
    dialogs.answerSave(setup == "cancelSave" ? QString() : output);

    if (rows.size() < 2) {
        // Pack is not even offered; the command itself refuses too.
        QVERIFY(!main.window.action(QStringLiteral("PackMnu"))->isEnabled());
        main.pack("handler");
    } else {
        main.pack("menu");
    }

    QCOMPARE(dialogs.saveRequests().size(), saveAsked ? 1 : 0);
    QVERIFY(!watch.shown);
    const QStringList said = messages.texts();
    if (setup == "incompatible" || setup == "notMpeg") {
        QCOMPARE(said.size(), 1); // the question, answered No: nothing more
        QCOMPARE(msgButtons(messages.asked()[0].style), int(MB_YESNO));
        if (setup == "incompatible")
            QCOMPARE(said[0], texts::notCompatibleQuestion());
        else
            QVERIFY(said[0].contains(a));
    } else if (message.isEmpty()) {
        QVERIFY(said.isEmpty());
    } else {
        QCOMPARE(said, QStringList{message.contains("%1") ? message.arg(b) : message});
        QCOMPARE(messages.asked()[0].style, style);
        QCOMPARE(messages.asked()[0].title, QStringLiteral("Vantu Kliva TARN"));
    }
    if (setup != "outputIsSource")
        QVERIFY(!QFile::exists(output));
    QCOMPARE(readAll(b), bBefore); // even when it was named as the output
    QVERIFY(shell.trashRequests().isEmpty());
    QVERIFY(main.isIdle());
}

void PackFromWindowTest::notEnoughFreeSpace()
{
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    QTemporaryDir dir;
    const QString mnt = dir.filePath(QStringLiteral("small"));
    QVERIFY(QDir().mkpath(mnt));
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1M", "tmpfs", mnt}) != 0)
        QSKIP("cannot mount a tmpfs here");
    auto unmount = qScopeGuard([&] { QProcess::execute("umount", {mnt}); });

    MainWindow main;
    main.option("MCheckMnu", false);
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    ProgressWatch watch;
    QStringList paths;
    for (int i = 0; i < 2; ++i) {
        paths << dir.filePath(QStringLiteral("%1.mpg").arg(i));
        QVERIFY(writeFile(paths.last(), mpegFile(700'000, 352, 240, 4)));
    }
    main.setRows(paths);
    const QString output = mnt + QStringLiteral("/out.mpg");
    dialogs.answerSave(output);

    main.pack("menu");

    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Not enough free diskspace. Packing aborted!")});
    QCOMPARE(messages.asked()[0].style, 16);
    QVERIFY(!watch.shown);
    QVERIFY(!QFile::exists(output));
    QVERIFY(main.isIdle());
}

void PackFromWindowTest::failureInsideTheJoin()
{
    // The second source shrinks once the join has begun: the join fails, says so, runs no
    // after-pack action and leaves the window idle.
    QTemporaryDir dir;
    MainWindow main;
    main.option("MCheckMnu", false);
    main.deleteAfter("DelNoPromptMnu");
    const QString a = dir.filePath(QStringLiteral("a.mpg")), b = dir.filePath(QStringLiteral("b.mpg"));
    QVERIFY(writeFile(a, mpegFile(150'000, 352, 240, 4)));
    QVERIFY(writeFile(b, mpegFile(150'000, 352, 240, 4)));
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
    QVERIFY(shell.trashRequests().isEmpty());
    QVERIFY(QFile::exists(a));
    QVERIFY(main.isIdle());
}

QTEST_MAIN(PackFromWindowTest)
#include "tst_packfromwindow.moc"
