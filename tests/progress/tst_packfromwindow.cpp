// Packing from the window, end to end through the seams: the real pack command, the real
// progress window and the window host, with scripted dialogs, answers and trash.
// A whole pack, Cancel pressed from inside the join, and the pack refused at each
// pre-flight step, each time checking the output bytes and that the window is idle again.
#include "../support/ScriptedSeams.h"
#include "engine/File64.h"
#include "engine/PackTexts.h"
#include "engine/ui/WindowPackHost.h"

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
#include <unistd.h>

using namespace kt;

namespace {

// A main window with what the pack command touches: the File and Actions menus with
// Pack, the option items, the status bar panels, and the Pack List's paths.
class MainWindow : public QMainWindow
{
public:
    MainWindow()
    {
        fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
        fileMenu->setObjectName(QStringLiteral("FileMnu"));
        actionMenu = menuBar()->addMenu(QStringLiteral("&Actions"));
        actionMenu->setObjectName(QStringLiteral("ActionMnu"));
        pack = actionMenu->addAction(QStringLiteral("&Pack"));
        pack->setObjectName(QStringLiteral("PackMnu"));
        pack->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
        QObject::connect(pack, &QAction::triggered, this,
                         [this] { outcome = PackFromWindow(this, hooks(), file); });
        for (const char* name : {"MCheckMnu", "SlowSpeedChk", "NormalSpeedChk", "FastSpeedChk",
                                 "UltraSpeedChk", "DelNoMnu", "DelPromptMnu", "DelNoPromptMnu"}) {
            QAction* item = actionMenu->addAction(QLatin1String(name));
            item->setObjectName(QLatin1String(name));
            item->setCheckable(true);
        }
        option("MCheckMnu", true);
        option("NormalSpeedChk", true);
        option("DelNoMnu", true);
        panel1 = new QLabel(this);
        panel2 = new QLabel(this);
        panel1->setText(QStringLiteral("Awaiting for job..."));
        panel2->setText(QStringLiteral("IDLE"));
    }

    void option(const char* name, bool on) { findChild<QAction*>(QLatin1String(name))->setChecked(on); }
    void deleteAfter(const char* name)
    {
        for (const char* item : {"DelNoMnu", "DelPromptMnu", "DelNoPromptMnu"})
            option(item, qstrcmp(item, name) == 0);
    }

    bool isIdle() const
    {
        return panel1->text() == QStringLiteral("Awaiting for job...") && panel2->text() == "IDLE" &&
               fileMenu->isEnabled() && actionMenu->isEnabled() && cursor().shape() == Qt::ArrowCursor &&
               !QApplication::activeModalWidget();
    }

    QStringList rows;
    QStringList statusTexts;
    QStringList busyCalls;
    File64 file;
    PackOutcome outcome = PackOutcome::Stopped;
    QMenu* fileMenu = nullptr;
    QMenu* actionMenu = nullptr;
    QAction* pack = nullptr;
    QLabel* panel1 = nullptr;
    QLabel* panel2 = nullptr;

private:
    MainWindowPackHooks hooks()
    {
        MainWindowPackHooks h;
        h.packListPaths = [this] { return rows; };
        h.hideLogo = [this] { panel2->setText(QStringLiteral("BUSY")); };
        h.unhideLogo = [this] {
            panel1->setText(QStringLiteral("Awaiting for job..."));
            panel2->setText(QStringLiteral("IDLE"));
        };
        h.busyMode = [this](const QString& operation) {
            busyCalls << operation;
            fileMenu->setEnabled(false);
            actionMenu->setEnabled(false);
        };
        h.notBusyMode = [this] {
            fileMenu->setEnabled(true);
            actionMenu->setEnabled(true);
        };
        h.errorResumeProgram = [this, unhide = h.unhideLogo, notBusy = h.notBusyMode] {
            unhide();
            unsetCursor();
            notBusy();
        };
        h.setStatusText = [this](const QString& text) {
            panel1->setText(text);
            statusTexts << text;
        };
        return h;
    }
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
    void wholePack_data();
    void wholePack();
    void cancelFromInsideTheJoin();
    void refused_data();
    void refused();
    void notEnoughFreeSpace();
};

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
    QTest::newRow("menu, trash after asking") << "menu"
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
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.option("MCheckMnu", mpegCheck);
    main.deleteAfter(qPrintable(deleteItem));

    QByteArray joined;
    for (int i = 0; i < sizes.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("clip %1.mpg").arg(i + 1));
        const QByteArray bytes = mpegFile(sizes[i], 352, 240, 4);
        QVERIFY(writeFile(path, bytes));
        joined += bytes;
        main.rows << path;
    }
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

    if (trigger == "shortcut")
        QTest::keyClick(&main, Qt::Key_P, Qt::ControlModifier);
    else
        main.pack->trigger();

    QCOMPARE(main.outcome, PackOutcome::Packed);
    QVERIFY(watch.shown);
    QCOMPARE(dialogs.saveRequests().size(), 1);
    QCOMPARE(dialogs.saveRequests()[0].title, QStringLiteral("Save Pack File As"));
    QCOMPARE(readAll(output), joined);
    QCOMPARE(main.busyCalls, QStringList{"pack"});
    // Panel 1 named every file, shortened as in the progress window.
    for (const QString& path : main.rows)
        QVERIFY2(main.statusTexts.contains(QStringLiteral("Packing '") + path + "'"), qPrintable(path));
    if (mpegCheck)
        QVERIFY(main.statusTexts.contains(QStringLiteral("Verifying mpeg compatibility...")));

    const QString success = texts::packedSuccessfully(output, quint64(joined.size()));
    QVERIFY(success.startsWith("'" + output + "' successfully packed! Total filesize is "));
    QCOMPARE(messages.texts().last(), success);
    QCOMPARE(messages.asked().last().style, int(MB_ICONINFORMATION));
    QCOMPARE(messages.unscriptedCount(), 0);
    if (deleteItem == "DelNoMnu") {
        QVERIFY(shell.trashRequests().isEmpty());
        for (const QString& path : main.rows)
            QVERIFY(QFile::exists(path));
        QCOMPARE(messages.texts(), QStringList{success});
    } else {
        // Every source in one request, before the success message.
        QCOMPARE(shell.trashRequests().size(), 1);
        QCOMPARE(shell.trashRequests()[0], main.rows);
        for (const QString& path : main.rows)
            QVERIFY(!QFile::exists(path));
        QCOMPARE(messages.texts().size(), deleteItem == "DelPromptMnu" ? 2 : 1);
    }
    QVERIFY(main.isIdle());
}

void PackFromWindowTest::cancelFromInsideTheJoin()
{
    QTemporaryDir dir;
    MainWindow main;
    main.show();
    main.option("MCheckMnu", false);
    main.deleteAfter("DelNoPromptMnu"); // must not run after a Cancel
    QByteArray first;
    for (int i = 0; i < 3; ++i) {
        const QString path = dir.filePath(QStringLiteral("%1.mpg").arg(i));
        const QByteArray bytes = mpegFile(1'000'000, 352, 240, 4);
        QVERIFY(writeFile(path, bytes));
        if (i == 0)
            first = bytes;
        main.rows << path;
    }
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

    main.pack->trigger();

    QCOMPARE(clicks, 1);
    QCOMPARE(main.outcome, PackOutcome::Cancelled);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Packing aborted by user")});
    QCOMPARE(messages.asked()[0].style, int(MB_ICONINFORMATION));
    // Exactly the block written before the click stays; nothing after it.
    QCOMPARE(readAll(output), first.left(100'000));
    QVERIFY(shell.trashRequests().isEmpty());
    for (const QString& path : main.rows)
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
    main.show();
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    ProgressWatch watch;

    const QString a = dir.filePath(QStringLiteral("a.mpg")), b = dir.filePath(QStringLiteral("b.mpg"));
    QString output = dir.filePath(QStringLiteral("out.mpg"));
    QVERIFY(writeFile(a, mpegFile(5000, 352, 240, 4)));
    QVERIFY(writeFile(b, mpegFile(6000, 352, 240, 4)));
    QString concerned = b;
    main.rows = {a, b};
    if (setup == "empty")
        main.rows.clear();
    else if (setup == "one")
        main.rows = {a};
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
    const QByteArray bBefore = readAll(b);
    dialogs.answerSave(setup == "cancelSave" ? QString() : output);

    main.pack->trigger();

    QCOMPARE(main.outcome, PackOutcome::Stopped);
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
        QCOMPARE(said, QStringList{message.contains("%1") ? message.arg(concerned) : message});
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
    main.show();
    main.option("MCheckMnu", false);
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    ProgressWatch watch;
    for (int i = 0; i < 2; ++i) {
        main.rows << dir.filePath(QStringLiteral("%1.mpg").arg(i));
        QVERIFY(writeFile(main.rows.last(), mpegFile(700'000, 352, 240, 4)));
    }
    const QString output = mnt + QStringLiteral("/out.mpg");
    dialogs.answerSave(output);

    main.pack->trigger();

    QCOMPARE(main.outcome, PackOutcome::Stopped);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Not enough free diskspace. Packing aborted!")});
    QCOMPARE(messages.asked()[0].style, 16);
    QVERIFY(main.statusTexts.contains(QStringLiteral("Checking available freespace...")));
    QVERIFY(!watch.shown);
    QVERIFY(!QFile::exists(output));
    QVERIFY(main.isIdle());
}

QTEST_MAIN(PackFromWindowTest)
#include "tst_packfromwindow.moc"
