// Packing from the real main window end to end (pack command, progress window, window
// host) with scripted dialogs, answers and trash. Every run must leave the expected output
// and the window idle again.
#include "../support/MpegFixtures.h"
#include "../support/Rows.h"
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ObjectNames.h"
#include "base/PackOptions.h"
#include "engine/PackTexts.h"
#include "packlist/ui/PackListView.h"
#include "settings/Registry.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace kt;

namespace {

// The real main window with scripted seams, a folder for the files, and a watch on the
// progress window's bar: counted in `bars`, handed to `onBarShown` as it appears.
struct Rig : QObject
{
    QTemporaryDir dir{"/tmp/kt-XXXXXX"}; // short, whatever TMPDIR: the paths shown are not cut short
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedShell shell;
    MainWindow window;
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
            onBarShown(bar);
        }
        return false;
    }
    // An MPEG-like clip, distinct per seed; returns its bytes.
    QByteArray clip(const QString& name, qint64 size, quint32 seed)
    {
        test::writeFileWith(dir.filePath(name), size, 0, test::sequenceHeaderBytes(352, 240, 4), seed);
        return test::fileBytes(dir.filePath(name));
    }
    // What the progress window names while a join runs, empty when there is none.
    QString packingLabel() const
    {
        QWidget* modal = QApplication::activeModalWidget();
        auto* label = modal ? modal->findChild<QLabel*>(QStringLiteral("Statusbar_lbl")) : nullptr;
        return label ? label->text() : QString();
    }
    void setRows(const QStringList& paths)
    {
        window.packList().clear();
        for (const QString& path : paths)
            window.packList().append({path, QString(), QString(), false});
        window.packListView()->syncFromList();
        window.RefreshPackListCommands();
    }
    void options(bool mpegCheck, const char* deleteItem) // as a user sets them, through the items' handlers
    {
        for (auto [name, on] : {std::pair{objectNames::MCheckMnu, mpegCheck},
                                {deleteItem, true},
                                {objectNames::NormalSpeedChk, true}}) {
            if (window.action(QLatin1String(name))->isChecked() != on)
                window.action(QLatin1String(name))->trigger();
            QCOMPARE_EQ(window.action(QLatin1String(name))->isChecked(), on);
        }
    }
    void pack(bool byToolbar) // else by the menu item
    {
        if (!byToolbar)
            return window.action(QLatin1String(objectNames::PackMnu))->trigger();
        QTest::mouseClick(window.findChild<QToolBar*>(QStringLiteral("cToolbar1"))
                              ->widgetForAction(window.findChild<QAction*>(QStringLiteral("cToolbar1_Pack"))),
                          Qt::LeftButton);
    }
    bool menusEnabled() const
    {
        return window.findChild<QMenu*>(QLatin1String(objectNames::FileMnu))->menuAction()->isEnabled() &&
               window.findChild<QMenu*>(QLatin1String(objectNames::ActionMnu))->menuAction()->isEnabled();
    }
    bool isIdle() const
    {
        return window.panelText(1) == "Awaiting for job..." && window.panelText(2) == "IDLE" &&
               window.findChild<QLabel*>(QStringLiteral("StatusBar_Panel3"))->property("logo") == "idle" &&
               !window.isBusy() && menusEnabled() && window.cursor().shape() == Qt::ArrowCursor &&
               !QApplication::activeModalWidget();
    }
};

// How a pack from the window ends. Each kind of end must leave the window idle; the refusals
// and questions themselves are checked against the pack command alone.
enum class End {
    Packed,
    SaveCancelled,
    Cancelled, // Cancel clicked as the join begins: seen at the first file's start
    Grown,     // the first clip is recorded further after its first block is copied
};

struct WindowPack
{
    End end;
    bool byToolbar;
    QString says; // the one message of an end whose text names no file
    int style;    // of the last message
    QList<int> sizes = {300'000, 300'000};
    const char* deleteItem = objectNames::DelNoPromptMnu; // must only run after a pack
    bool mpegCheck = true;
};

} // namespace

class PackFromWindowTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid()); // our own settings, without the Tip of the Day
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        WriteRegString(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("ShowTod"), QStringLiteral("0"));
    }

    void pack_data()
    {
        const int info = MB_ICONINFORMATION;
        using enum End;
        test::addRows<WindowPack>({
            {"keep sources (toolbar)",
             {Packed, true, {}, info, {7, 100'000, 123'456}, objectNames::DelNoMnu, false}},
            {"trash without asking", {Packed, false, {}, info, {100'000, 250'007, 30}}},
            {"trash after asking", {Packed, false, {}, info, {40'000, 40'000}, objectNames::DelPromptMnu}},
            {"Save cancelled", {SaveCancelled, false, {}, 0}},
            {"Cancel as the join begins", {Cancelled, false, "Packing aborted by user", info}},
            // The join's identity checks hold in the window too: nothing goes to the trash.
            {"source grows during the join", {Grown, false, {}, MB_ICONHAND, {300'000, 200'000}}},
        });
    }
    void pack()
    {
        QFETCH(WindowPack, row);
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.options(row.mpegCheck, row.deleteItem);
        const bool packed = row.end == End::Packed, grows = row.end == End::Grown;
        const bool joins = packed || grows || row.end == End::Cancelled;
        const bool asks = packed && !qstrcmp(row.deleteItem, objectNames::DelPromptMnu);
        const bool trashes = packed && qstrcmp(row.deleteItem, objectNames::DelNoMnu);
        QByteArray joined;
        QStringList paths, expectedNames;
        for (int i = 0; i < row.sizes.size(); ++i) {
            const QString name = QStringLiteral("clip %1.mpg").arg(i);
            joined += rig.clip(name, row.sizes[i], i + 1);
            paths << rig.dir.filePath(name);
            expectedNames << "Packing '" + paths.last() + "'";
        }
        rig.setRows(paths);
        const QString output = rig.dir.filePath(QStringLiteral("packed.mpg"));
        const QByteArray old = rig.clip("packed.mpg", joined.size() + 5000, 9);
        rig.dialogs.answerSave(row.end == End::SaveCancelled ? QString() : " " + output + " ");
        if (asks)
            rig.messages.answer(IDYES);
        // At every yield of the join (a zero timer fires once per pass) the main window names
        // the file being packed (or the output read back) and looks busy; the progress window,
        // drawn once a frame, names that file or one before it. A clip that grows does so at
        // the first.
        QStringList named;
        bool grown = false;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, &sampler, [&] {
            if (!QApplication::activeModalWidget())
                return;
            const QString panel = rig.window.panelText(1), label = rig.packingLabel();
            QVERIFY2(expectedNames.indexOf(label) <= expectedNames.indexOf(panel) &&
                         expectedNames.indexOf(panel) >= 0,
                     qPrintable(label + " / " + panel));
            QCOMPARE(rig.window.panelText(2), QStringLiteral("BUSY"));
            QVERIFY(rig.window.isBusy() && !rig.menusEnabled() &&
                    rig.window.cursor().shape() == Qt::WaitCursor);
            if (named.isEmpty() || named.last() != panel)
                named << panel;
            if (grows && !grown && panel == expectedNames[0]) {
                QFile f(paths[0]);
                grown = f.open(QIODevice::Append) && f.write(QByteArray(5000, 't')) == 5000;
            }
        });
        rig.onBarShown = [&](QProgressBar* bar) {
            sampler.start(0);
            if (row.end == End::Cancelled) // the click waits in the queue for the join's first pass
                QMetaObject::invokeMethod(
                    bar->window()->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                    &QPushButton::click, Qt::QueuedConnection);
        };

        if (trashes) // the output read back, a second pass of the bar
            expectedNames << texts::checkingFile(output);

        rig.pack(row.byToolbar);

        QCOMPARE(rig.bars, joins ? (trashes ? 2 : 1) : 0);
        QCOMPARE(rig.dialogs.saveRequests().size(), 1);
        QCOMPARE(grown, grows);
        QStringList said = row.says.isEmpty() ? QStringList() : QStringList{row.says};
        if (grows)
            said = QStringList{texts::sourceChangedWhilePacked(paths[0])};
        if (packed) {
            const QString success = texts::packedSuccessfully(output, quint64(joined.size()));
            said = asks ? QStringList{texts::trashQuestion(paths), success} : QStringList{success};
            QCOMPARE(named, expectedNames);
        }
        QCOMPARE(rig.messages.texts(), said);
        QCOMPARE(rig.messages.asked().isEmpty() ? 0 : rig.messages.asked().last().style, row.style);
        const QByteArray written = test::fileBytes(output);
        if (grows)
            QVERIFY(joined.startsWith(written));
        else
            QCOMPARE(written, packed ? joined : row.end == End::Cancelled ? QByteArray() : old);
        QCOMPARE(rig.shell.trashRequests(), trashes ? QVector<QStringList>{paths} : QVector<QStringList>{});
        QCOMPARE(rig.window.packList().paths(), paths); // the rows stay
        QVERIFY(rig.isIdle());
    }
};

QTEST_MAIN(PackFromWindowTest)
#include "tst_packfromwindow.moc"
