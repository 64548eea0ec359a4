// Packing from the real main window end to end (pack command, progress window, window
// host) with scripted dialogs, answers and trash. Every run must leave the expected output
// and the window idle again.
#include "../support/MpegFixtures.h"
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "app/MainWindow.h"
#include "app/ObjectNames.h"
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

// How the Pack command is given.
enum class Trigger {
    Handler /* PackMnu_Click itself, whatever the command states */,
    Menu,
    Shortcut,
    Toolbar
};

// The real main window with scripted seams, a folder for the files, and a watch on the
// progress window's bar: counted in `bars`, handed to `onBarShown` as it appears.
struct Rig : QObject
{
    QTemporaryDir dir;
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
    void pack(Trigger how)
    {
        switch (how) {
        case Trigger::Menu:
            window.action(QLatin1String(objectNames::PackMnu))->trigger();
            break;
        case Trigger::Shortcut:
            QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
            break;
        case Trigger::Toolbar:
            QTest::mouseClick(
                window.findChild<QToolBar*>(QStringLiteral("cToolbar1"))
                    ->widgetForAction(window.findChild<QAction*>(QStringLiteral("cToolbar1_Pack"))),
                Qt::LeftButton);
            break;
        case Trigger::Handler:
            window.PackMnu_Click();
            break;
        }
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

// The delete-after item of the Options menu for each action.
const char* deleteItem(DeleteAfterAction action)
{
    switch (action) {
    case DeleteAfterAction::No:
        return objectNames::DelNoMnu;
    case DeleteAfterAction::Prompt:
        return objectNames::DelPromptMnu;
    case DeleteAfterAction::NoPrompt:
        return objectNames::DelNoPromptMnu;
    }
    return nullptr;
}

struct WholePack
{
    DeleteAfterAction deleteAfter = DeleteAfterAction::No;
    bool mpegCheck = true;
    QList<int> sizes;
};

// A pack of two 300,000-byte clips a.mpg and b.mpg (rows a, b) that ends without an output,
// and how it is made to. The refusals themselves are checked against the pack command alone;
// here each kind of end (refused, question declined, cancelled, failed) must leave the window idle.
enum class Setup {
    NoRows,
    CancelSave,
    Incompatible,  // b is 352 x 288 at 25; the question is answered No
    CancelAtStart, // Cancel clicked while the first block is copied
    SecondShrinks  // b shrinks to 10 bytes once the join has started
};

// What the pack says, once.
enum class Said { Nothing, NothingToPack, NotCompatible, Aborted, AboutB };

struct Stop
{
    Setup setup;
    Trigger trigger;
    Said said;
    int icon; // 0: a Yes/No question, answered No
};

} // namespace

Q_DECLARE_METATYPE(WholePack)
Q_DECLARE_METATYPE(Stop)

class PackFromWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void wholePack_data();
    void wholePack();
    void stopped_data();
    void stopped();
    // The join's identity checks hold in the window too: a source recorded further while it
    // is copied stops the pack, and nothing goes to the trash.
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
    QTest::addColumn<WholePack>("c");
    using D = DeleteAfterAction;
    QTest::newRow("keep sources") << WholePack{D::No, false, {7, 100'000, 123'456}};
    QTest::newRow("trash without asking") << WholePack{D::NoPrompt, true, {100'000, 250'007, 30}};
    QTest::newRow("trash after asking") << WholePack{D::Prompt, true, {40'000, 40'000}};
}

void PackFromWindowTest::wholePack()
{
    QFETCH(WholePack, c);
    const QList<int>& sizes = c.sizes;
    Rig rig;
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    rig.option(objectNames::MCheckMnu, c.mpegCheck);
    rig.option(deleteItem(c.deleteAfter), true);
    rig.option(objectNames::NormalSpeedChk, true);
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
    if (c.deleteAfter == DeleteAfterAction::Prompt)
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

    rig.pack(Trigger::Menu);

    QCOMPARE(test::fileBytes(output), joined);
    QCOMPARE(named, expectedNames);
    const QString success = texts::packedSuccessfully(output, quint64(joined.size()));
    QVERIFY(success.startsWith("'" + output + "' successfully packed! Total filesize is "));
    QCOMPARE(rig.messages.texts().last(), success);
    QCOMPARE(rig.messages.asked().last().style, int(MB_ICONINFORMATION));
    QCOMPARE(rig.messages.texts().size(), c.deleteAfter == DeleteAfterAction::Prompt ? 2 : 1);
    QCOMPARE(rig.shell.trashRequests(),
             c.deleteAfter == DeleteAfterAction::No ? QVector<QStringList>{} : QVector<QStringList>{paths});
    QCOMPARE(rig.window.packList().paths(), paths); // the rows stay
    QVERIFY(rig.isIdle());
}

void PackFromWindowTest::stopped_data()
{
    QTest::addColumn<Stop>("c");
    auto row = [](const char* name, const Stop& c) { QTest::newRow(name) << c; };
    row("empty list", {Setup::NoRows, Trigger::Handler, Said::NothingToPack, 48});
    row("Save cancelled (menu)", {Setup::CancelSave, Trigger::Menu, Said::Nothing, 0});
    row("Save cancelled (Ctrl+P)", {Setup::CancelSave, Trigger::Shortcut, Said::Nothing, 0});
    row("Save cancelled (toolbar)", {Setup::CancelSave, Trigger::Toolbar, Said::Nothing, 0});
    row("MPEG not compatible, No", {Setup::Incompatible, Trigger::Menu, Said::NotCompatible, 0});
    row("Cancel during the first block", {Setup::CancelAtStart, Trigger::Menu, Said::Aborted, 64});
    row("a source shrinks in the join", {Setup::SecondShrinks, Trigger::Menu, Said::AboutB, 16});
}

void PackFromWindowTest::stopped()
{
    QFETCH(Stop, c);
    Rig rig;
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    rig.option(objectNames::MCheckMnu, true);
    rig.option(objectNames::NormalSpeedChk, true);
    rig.option(objectNames::DelNoPromptMnu, true); // must never run here
    const QString a = rig.dir.filePath("a.mpg"), b = rig.dir.filePath("b.mpg");
    const QString output = rig.dir.filePath("out.mpg");
    QVERIFY(!rig.clip("a.mpg", 300'000, 1).isEmpty() && !rig.clip("b.mpg", 300'000, 2).isEmpty());
    QStringList rows{a, b};
    if (c.setup == Setup::NoRows)
        rows = {};
    if (c.setup == Setup::Incompatible) {
        QVERIFY(!rig.clip("b.mpg", 6000, 2, 288, 3).isEmpty());
        rig.messages.answer(IDNO);
    }
    rig.setRows(rows);
    const QByteArray aBefore = test::fileBytes(a), bBefore = test::fileBytes(b);
    rig.dialogs.answerSave(c.setup == Setup::CancelSave ? QString() : output);
    if (rows.size() < 2) // Pack is not even offered; the command itself refuses too
        QVERIFY(!rig.window.action(QLatin1String(objectNames::PackMnu))->isEnabled());
    rig.onBarShown = [&](QProgressBar* bar) {
        if (c.setup == Setup::CancelAtStart) // the click waits in the queue while the first block is copied
            QMetaObject::invokeMethod(bar->window()->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                                      &QPushButton::click, Qt::QueuedConnection);
        else
            QFile::resize(b, 10);
    };

    rig.pack(c.trigger);

    const bool joinStarted = c.setup == Setup::CancelAtStart || c.setup == Setup::SecondShrinks;
    QCOMPARE(rig.bars, joinStarted ? 1 : 0);
    QCOMPARE(rig.dialogs.saveRequests().size(), rows.size() < 2 ? 0 : 1);
    const QStringList said = rig.messages.texts();
    QCOMPARE(said.size(), c.said == Said::Nothing ? 0 : 1);
    if (said.size() == 1) {
        const int style = rig.messages.asked()[0].style;
        QCOMPARE(c.icon ? msgIcon(style) : msgButtons(style), c.icon ? c.icon : int(MB_YESNO));
        QCOMPARE(rig.messages.asked()[0].title, QStringLiteral("Vantu Kliva TARN"));
        switch (c.said) {
        case Said::Nothing:
            break;
        case Said::NothingToPack:
            QCOMPARE(said[0], "Nothing to pack.");
            break;
        case Said::NotCompatible:
            QCOMPARE(said[0], texts::notCompatibleQuestion());
            break;
        case Said::Aborted:
            QCOMPARE(said[0], "Packing aborted by user");
            break;
        case Said::AboutB: // how it shrank decides the words
            QVERIFY2(said[0].contains(b), qPrintable(said[0]));
            break;
        }
    }
    if (c.setup == Setup::CancelAtStart)
        QCOMPARE(test::fileBytes(output),
                 aBefore.left(100'000)); // exactly the block written before the click
    else if (c.setup != Setup::SecondShrinks)
        QVERIFY(!QFile::exists(output));
    QCOMPARE(test::fileBytes(a), aBefore);
    if (c.setup != Setup::SecondShrinks)
        QCOMPARE(test::fileBytes(b), bBefore);
    QVERIFY(rig.shell.trashRequests().isEmpty());
    QVERIFY(rig.isIdle());
}

void PackFromWindowTest::sourceGrowsDuringJoin()
{
    Rig rig;
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    rig.option(objectNames::MCheckMnu, false);
    rig.option(objectNames::NormalSpeedChk, true);
    rig.option(objectNames::DelNoPromptMnu, true);
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

    rig.pack(Trigger::Menu);

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
