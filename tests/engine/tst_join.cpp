// The join: order, blocks, progress, Cancel, the failure table and the after-pack actions,
// checked from the outside (output bytes, sources, messages, what the host was told).
#include <QtTest>

#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "FakePackHost.h"
#include "engine/JoinFiles.h"
#include "engine/PackTexts.h"
#include "../support/ScriptedSeams.h"

using namespace kt;
using namespace kt::test;

namespace {

struct Fixture
{
    QTemporaryDir dir;
    QStringList paths;
    QList<QByteArray> contents;
    QList<QByteArray> hashes;

    QString path(const QString& name) const { return dir.filePath(name); }

    void addSource(const QString& name, qint64 size)
    {
        const QByteArray bytes = patternBytes(size, quint32(paths.size() + 1));
        QVERIFY(writeFile(path(name), bytes));
        paths << path(name);
        contents << bytes;
        hashes << fileHash(path(name));
    }
    QByteArray joined() const { return contents.join(); }
    JoinJob job(const QString& output, BlockSize block, DeleteAfterAction del = DeleteAfterAction::No) const
    {
        JoinJob j;
        j.outputPath = output;
        for (int i = 0; i < paths.size(); ++i) {
            j.sources.push_back({paths[i], quint64(contents[i].size())});
            j.totalPackSize += quint64(contents[i].size());
        }
        j.block = block;
        j.deleteAfter = del;
        return j;
    }
    // Sources the join did not touch, byte for byte.
    bool sourcesUnchanged(const QList<int>& skip = {}) const
    {
        for (int i = 0; i < paths.size(); ++i)
            if (!skip.contains(i) && fileHash(paths[i]) != hashes[i])
                return false;
        return true;
    }
};

bool inOrder(const EventLog& log, const QStringList& events)
{
    qsizetype at = 0;
    for (const QString& e : events) {
        at = log.indexOf(e, at);
        if (at < 0)
            return false;
        ++at;
    }
    return true;
}

const BlockSize kSlow = blockSizeFor(TransferRate::Slow);
const BlockSize kNormal = blockSizeFor(TransferRate::Normal);
const BlockSize kFast = blockSizeFor(TransferRate::Fast);

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

class TestJoin : public QObject
{
    Q_OBJECT
private slots:
    void init() { QCOMPARE(File64::OpenHandleCount(), 0); }
    void cleanup() { File64::CloseAllHandles(); }

    void packsRowsInOrderWithProgress()
    {
        Fixture fx;
        fx.addSource("a.mpg", 7);
        fx.addSource("b.mpg", 100000);
        fx.addSource("c.mpg", 123456);
        EventLog log;
        LoggingMessageBox box(log);
        FakePackHost host(log);
        File64 file;
        const QString out = fx.path("out.mpg");

        const JoinResult r = JoinFiles(fx.job(out, kNormal), host, host.view, file);

        QCOMPARE(r.outcome, PackOutcome::Packed);
        QCOMPARE(r.packedBytes, quint64(223463));
        QCOMPARE(fileBytes(out), fx.joined());
        // One update per block and remainder; the remainder is counted after its update.
        QCOMPARE(host.view.bars, QList<int>({0, 45, 90, 90}));
        QCOMPARE(host.view.percentTexts, QStringList({"0%", "0%", "45%", "90%", "90%", ""}));
        QCOMPARE(host.view.timeTexts.size(), 3); // 0, 90, 90: never at the odd 45
        QCOMPARE(box.texts, QStringList{texts::packedSuccessfully(out, 223463)});
        QCOMPARE(box.styles, QList<int>{MB_ICONINFORMATION});
        QVERIFY(inOrder(log, {"view:begin", "host:busy:pack", "host:file:" + fx.paths[0], "view:file:" + fx.paths[0],
                              "host:file:" + fx.paths[1], "host:file:" + fx.paths[2], "view:destroyBar",
                              "host:notBusy", "host:unhideLogo", "view:close",
                              "msg:" + texts::packedSuccessfully(out, 223463), "host:arrow"}));
        QVERIFY(!log.contains("host:errorResume"));
        QCOMPARE(host.view.closed, 1);
        QCOMPARE(File64::OpenHandleCount(), 0);
        QVERIFY(fx.sourcesUnchanged());
    }

    void replacesAnExistingOutput()
    {
        Fixture fx;
        fx.addSource("a.mpg", 30000);
        fx.addSource("b.mpg", 12345);
        // A longer old output, and a link in its place whose target must survive.
        const QString out = fx.path("out.mpg");
        QVERIFY(writeFile(out, QByteArray(500000, 'x')));
        const QString linked = fx.path("linked.mpg");
        const QString target = fx.path("target.bin");
        QVERIFY(writeFile(target, "keep me"));
        QVERIFY(QFile::link(target, linked));
        EventLog log;
        LoggingMessageBox box(log);
        FakePackHost host(log);
        File64 file;

        QCOMPARE(JoinFiles(fx.job(out, kSlow), host, host.view, file).outcome, PackOutcome::Packed);
        QCOMPARE(fileBytes(out), fx.joined());
        FakePackHost host2(log);
        QCOMPARE(JoinFiles(fx.job(linked, kSlow), host2, host2.view, file).outcome, PackOutcome::Packed);
        QCOMPARE(fileBytes(linked), fx.joined());
        QVERIFY(!QFileInfo(linked).isSymLink());
        QCOMPARE(fileBytes(target), QByteArray("keep me"));
    }

    void createsAMissingOutputFolder()
    {
        Fixture fx;
        fx.addSource("a.mpg", 5000);
        fx.addSource("b.mpg", 6000);
        EventLog log;
        LoggingMessageBox box(log);
        FakePackHost host(log);
        File64 file;
        const QString out = fx.path("new/deeper/out.mpg");

        QCOMPARE(JoinFiles(fx.job(out, kSlow), host, host.view, file).outcome, PackOutcome::Packed);
        QCOMPARE(fileBytes(out), fx.joined());
        QCOMPARE(box.texts.size(), 1); // only the success
    }

    void cancelLeavesExactlyTheBlocksWritten_data()
    {
        QTest::addColumn<int>("cancelAtBar");
        QTest::addColumn<int>("written");
        // 25,000 bytes: blocks 1, 2 and a remainder of 5,000; 30,000 bytes: blocks 4, 5, 6.
        QTest::newRow("first block") << 1 << 10000;
        QTest::newRow("second block") << 2 << 20000;
        QTest::newRow("remainder") << 3 << 25000;
        QTest::newRow("first block of the second file") << 4 << 35000;
        QTest::newRow("very last block") << 6 << 55000;
    }
    void cancelLeavesExactlyTheBlocksWritten()
    {
        QFETCH(int, cancelAtBar);
        QFETCH(int, written);
        Fixture fx;
        fx.addSource("a.mpg", 25000);
        fx.addSource("b.mpg", 30000);
        EventLog log;
        LoggingMessageBox box(log);
        ScriptedShell trash;
        FakePackHost host(log);
        host.view.cancelAtBar = cancelAtBar;
        File64 file;
        const QString out = fx.path("out.mpg");

        const JoinResult r = JoinFiles(fx.job(out, kSlow, DeleteAfterAction::NoPrompt), host, host.view, file);

        QCOMPARE(r.outcome, PackOutcome::Cancelled);
        QCOMPARE(host.view.bars.size(), cancelAtBar); // nothing moved after the click
        QCOMPARE(fileBytes(out), fx.joined().left(written));
        QCOMPARE(box.texts, QStringList{texts::packingAborted()});
        QCOMPARE(box.styles, QList<int>{MB_ICONINFORMATION});
        QVERIFY(inOrder(log, {"host:notBusy", "msg:" + texts::packingAborted(), "host:destroyMainBar",
                              "host:unhideLogo", "view:close"}));
        QVERIFY(!log.contains("host:errorResume"));
        QVERIFY(trash.trashRequests().isEmpty());
        QCOMPARE(File64::OpenHandleCount(), 0);
        QVERIFY(fx.sourcesUnchanged());
    }

    void outputThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("outputName");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("lastMessage");
        QTest::addColumn<int>("questions");
        QTest::newRow("retry, then cancel") << "folder.mpg" << QList<int>{IDRETRY, IDCANCEL}
                                            << texts::packingAborted() << 2;
        QTest::newRow("cancel at once") << "folder.mpg" << QList<int>{IDCANCEL} << texts::packingAborted() << 1;
        QTest::newRow("retry on a hidden output") << ".hidden.mpg" << QList<int>{IDRETRY} << QString() << 1;
    }
    void outputThatCannotBeOpened()
    {
        QFETCH(QString, outputName);
        QFETCH(QList<int>, answers);
        QFETCH(QString, lastMessage);
        QFETCH(int, questions);
        Fixture fx;
        fx.addSource("a.mpg", 5000);
        fx.addSource("b.mpg", 6000);
        const QString out = fx.path(outputName);
        QVERIFY(QDir().mkdir(out)); // a folder where the output should go
        if (lastMessage.isEmpty())
            lastMessage = texts::hiddenOutput(out);
        EventLog log;
        LoggingMessageBox box(log);
        for (int a : answers)
            box.answers.enqueue(a);
        ScriptedShell trash;
        FakePackHost host(log);
        File64 file;

        const JoinResult r = JoinFiles(fx.job(out, kSlow, DeleteAfterAction::NoPrompt), host, host.view, file);

        QCOMPARE(r.outcome, PackOutcome::Failed);
        QCOMPARE(box.texts.count(texts::cannotOverwrite(out)), questions);
        QCOMPARE(box.styles[box.texts.indexOf(texts::cannotOverwrite(out))], MB_RETRYCANCEL | MB_ICONHAND);
        QCOMPARE(box.texts.count(QStringLiteral("Error opening '%1'!").arg(out)), questions);
        QCOMPARE(box.texts.last(), lastMessage);
        QVERIFY(inOrder(log, {"msg:" + lastMessage, "host:errorResume", "view:close"}));
        QVERIFY(QFileInfo(out).isDir());
        QVERIFY(trash.trashRequests().isEmpty());
        QCOMPARE(File64::OpenHandleCount(), 0);
        QVERIFY(fx.sourcesUnchanged());
    }

    void writeFailureAsksRetryOrCancel()
    {
        if (!QFileInfo(QStringLiteral("/dev/full")).exists())
            QSKIP("no /dev/full");
        Fixture fx;
        fx.addSource("a.mpg", 25000);
        fx.addSource("b.mpg", 6000);
        EventLog log;
        LoggingMessageBox box(log);
        box.answers << IDRETRY << IDRETRY << IDCANCEL;
        ScriptedShell trash;
        FakePackHost host(log);
        File64 file;
        const QString out = QStringLiteral("/dev/full");

        const JoinResult r = JoinFiles(fx.job(out, kSlow, DeleteAfterAction::NoPrompt), host, host.view, file);

        QCOMPARE(r.outcome, PackOutcome::Failed);
        const QString asked = texts::cannotWrite(out, texts::errnoText(ENOSPC));
        QVERIFY(asked.contains("No space left on device") || !QLocale().name().startsWith("en"));
        QCOMPARE(box.texts, QStringList({asked, asked, asked, texts::packingAborted()}));
        QCOMPARE(box.styles.first(), MB_RETRYCANCEL | MB_ICONHAND);
        QVERIFY(host.view.bars.isEmpty()); // the failed block never counted
        QVERIFY(log.contains("host:errorResume"));
        QVERIFY(trash.trashRequests().isEmpty());
        QVERIFY(QFileInfo(out).exists()); // a device is written to, never deleted
        QVERIFY(fx.sourcesUnchanged());
    }

    void diskFullPartWay_data()
    {
        QTest::addColumn<bool>("freeSpaceAndRetry");
        QTest::addColumn<bool>("sourcesOnSameVolume"); // blocks then move inside the kernel
        QTest::newRow("space freed, retry") << true << false;
        QTest::newRow("cancel") << false << false;
        QTest::newRow("same volume, space freed, retry") << true << true;
        QTest::newRow("same volume, cancel") << false << true;
    }
    void diskFullPartWay()
    {
        QFETCH(bool, freeSpaceAndRetry);
        QFETCH(bool, sourcesOnSameVolume);
        Fixture fx;
        const QString mnt = fx.path("small");
        QVERIFY(QDir().mkdir(mnt));
        if (!run("mount", {"-t", "tmpfs", "-o", "size=8M", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { run("umount", {mnt}); });
        fx.addSource(sourcesOnSameVolume ? "small/a.mpg" : "a.mpg", 1500000);
        fx.addSource(sourcesOnSameVolume ? "small/b.mpg" : "b.mpg", 1700000);
        const QString filler = mnt + "/filler";
        const qint64 left = 2 * 1024 * 1024; // room for less than the output
        QVERIFY(writeFile(filler, QByteArray(QStorageInfo(mnt).bytesAvailable() - left, 'f')));
        const QString out = mnt + "/out.mpg";
        EventLog log;
        LoggingMessageBox box(log);
        box.answers << (freeSpaceAndRetry ? IDRETRY : IDCANCEL);
        box.onAsk = [&](const QString& text) {
            if (freeSpaceAndRetry && text.startsWith("Cannot write"))
                QFile::remove(filler);
        };
        ScriptedShell trash;
        FakePackHost host(log);
        File64 file;

        const JoinResult r = JoinFiles(fx.job(out, kFast, DeleteAfterAction::NoPrompt), host, host.view, file);

        const QString asked = texts::cannotWrite(out, texts::errnoText(ENOSPC));
        QCOMPARE(box.texts.first(), asked);
        if (freeSpaceAndRetry) {
            QCOMPARE(r.outcome, PackOutcome::Packed);
            QCOMPARE(fileBytes(out), fx.joined()); // the retried block landed where it belongs
            QCOMPARE(box.texts.last(), texts::packedSuccessfully(out, 3200000));
            QCOMPARE(trash.trashRequests().size(), 1); // sources go only after a whole output
        } else {
            QCOMPARE(r.outcome, PackOutcome::Failed);
            QCOMPARE(box.texts, QStringList({asked, texts::packingAborted()}));
            const QByteArray partial = fileBytes(out);
            QVERIFY(partial.size() >= 1000000 && partial.size() < 3200000);
            QVERIFY(fx.joined().startsWith(partial));
            QVERIFY(trash.trashRequests().isEmpty());
            QVERIFY(fx.sourcesUnchanged());
        }
    }

    void sourceChangedWhilePacking_data()
    {
        QTest::addColumn<int>("changeAtBar");
        QTest::addColumn<int>("victim");
        QTest::addColumn<qint64>("newSize");
        QTest::addColumn<QString>("kind");
        // Sources of 25,000, 30,000 and 12,000 bytes at the slow rate; b's first block is bar 4.
        QTest::newRow("truncated between two blocks") << 4 << 1 << qint64(15000) << "ended";
        QTest::newRow("truncated before its turn") << 1 << 2 << qint64(100) << "size";
        QTest::newRow("grown before its turn") << 2 << 2 << qint64(50000) << "size";
        QTest::newRow("deleted before its turn") << 3 << 1 << qint64(-1) << "missing";
    }
    void sourceChangedWhilePacking()
    {
        QFETCH(int, changeAtBar);
        QFETCH(int, victim);
        QFETCH(qint64, newSize);
        QFETCH(QString, kind);
        Fixture fx;
        fx.addSource("a.mpg", 25000);
        fx.addSource("b.mpg", 30000);
        fx.addSource("c.mpg", 12000);
        EventLog log;
        LoggingMessageBox box(log);
        ScriptedShell trash;
        FakePackHost host(log);
        const QString victimPath = fx.paths[victim];
        host.view.onBar = [&](int bar) {
            if (bar != changeAtBar)
                return;
            if (newSize < 0)
                QFile::remove(victimPath);
            else
                QFile(victimPath).resize(newSize);
        };
        File64 file;
        const QString out = fx.path("out.mpg");

        const JoinResult r = JoinFiles(fx.job(out, kSlow, DeleteAfterAction::NoPrompt), host, host.view, file);

        QCOMPARE(r.outcome, PackOutcome::Failed);
        QString expected;
        if (kind == "ended")
            expected = texts::sourceEndedEarly(victimPath, 15000, 30000);
        else if (kind == "size")
            expected = texts::sourceChangedSize(victimPath, 12000, quint64(newSize));
        else
            expected = texts::notFound(victimPath);
        QCOMPARE(box.texts, QStringList{expected});
        QCOMPARE(box.styles, QList<int>{MB_ICONHAND});
        QVERIFY(inOrder(log, {"msg:" + expected, "host:errorResume", "view:close"}));
        QVERIFY(trash.trashRequests().isEmpty());
        QVERIFY(fx.sourcesUnchanged({victim}));
        if (newSize < 0)
            QVERIFY(!QFileInfo::exists(victimPath)); // never recreated by the open
        QCOMPARE(File64::OpenHandleCount(), 0);
    }

    void afterPackActions_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("failSecond");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("trashed");
        QTest::newRow("keep") << int(DeleteAfterAction::No) << QList<int>{} << false << 0 << false;
        QTest::newRow("prompt, yes") << int(DeleteAfterAction::Prompt) << QList<int>{IDYES} << false << 1 << true;
        QTest::newRow("prompt, no") << int(DeleteAfterAction::Prompt) << QList<int>{IDNO} << false << 1 << false;
        QTest::newRow("prompt, unanswered") << int(DeleteAfterAction::Prompt) << QList<int>{} << false << 1 << false;
        QTest::newRow("no prompt") << int(DeleteAfterAction::NoPrompt) << QList<int>{} << false << 0 << true;
        QTest::newRow("one file refuses") << int(DeleteAfterAction::NoPrompt) << QList<int>{} << true << 0 << true;
    }
    void afterPackActions()
    {
        QFETCH(int, action);
        QFETCH(QList<int>, answers);
        QFETCH(bool, failSecond);
        QFETCH(int, questions);
        QFETCH(bool, trashed);
        Fixture fx;
        fx.addSource("a.mpg", 3000);
        fx.addSource("b.mpg", 4000);
        fx.addSource("c.mpg", 5000);
        const QString trashDir = fx.path("trash");
        QVERIFY(QDir().mkdir(trashDir));
        EventLog log;
        LoggingMessageBox box(log);
        for (int a : answers)
            box.answers.enqueue(a);
        ScriptedShell trash;
        trash.setTrashFolder(trashDir);
        if (failSecond)
            trash.failFor << fx.paths[1];
        FakePackHost host(log);
        File64 file;
        const QString out = fx.path("out.mpg");

        const JoinResult r = JoinFiles(fx.job(out, kSlow, DeleteAfterAction(action)), host, host.view, file);

        QCOMPARE(r.outcome, PackOutcome::Packed);
        QCOMPARE(fileBytes(out), fx.joined());
        int asked = 0;
        for (int s : box.styles)
            asked += msgButtons(s) == MB_YESNO;
        QCOMPARE(asked, questions);
        QCOMPARE(trash.trashRequests().size(), trashed ? 1 : 0);
        if (trashed)
            QCOMPARE(trash.trashRequests().first(), fx.paths); // all rows, in order, one request
        for (int i = 0; i < 3; ++i)
            QCOMPARE(QFileInfo::exists(fx.paths[i]), !trashed || (failSecond && i == 1));
        QVERIFY(QFileInfo::exists(out));
        const QString success = texts::packedSuccessfully(out, 12000);
        QCOMPARE(box.texts.last(), success); // reported after the trash, whatever it did
        if (failSecond)
            QVERIFY(box.texts.contains(texts::notTrashed({{fx.paths[1], "refused by the test"}})));
        QVERIFY(inOrder(log, {"host:notBusy", "host:unhideLogo", "view:close", "msg:" + success}));
    }
};

QTEST_GUILESS_MAIN(TestJoin)
#include "tst_join.moc"
