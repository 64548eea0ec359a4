// The seams: the message-box routine's last answer, style parts, filter conversion.
#include "../support/ScriptedSeams.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/ui/DesktopShell.h"

#include <QtTest>

using namespace kt;

namespace {
// What the desktop's opener does when asked to open something.
struct OpenerCase
{
    QString target;        // relative names live in the test's folder
    QByteArray openerExit; // the fake xdg-open's exit status; empty: no opener is run
    ShellOpenResult result;
};
} // namespace

Q_DECLARE_METATYPE(OpenerCase)

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void msgBoxStoresLastAnswerAndDefaultsTitle()
    {
        test::ScriptedMessageBox box;
        box.answer({IDRETRY, IDNO});
        QCOMPARE(MsgBox(QStringLiteral("a"), MB_RETRYCANCEL | MB_ICONHAND), int(IDRETRY));
        QCOMPARE(lastMsgBoxAnswer(), int(IDRETRY));
        QCOMPARE(MsgBox(QStringLiteral("b"), MB_YESNO, QStringLiteral("T")), int(IDNO));
        QCOMPARE(lastMsgBoxAnswer(), int(IDNO));
        // Unscripted questions take the safe answer.
        QCOMPARE(MsgBox(QStringLiteral("c"), MB_YESNO), int(IDNO));
        QCOMPARE(MsgBox(QStringLiteral("d"), MB_RETRYCANCEL), int(IDCANCEL));
        QCOMPARE(box.unscriptedCount(), 2);
        QCOMPARE(box.asked().at(0).title, QStringLiteral("Vantu Kliva TARN"));
        QCOMPARE(box.asked().at(1).title, QStringLiteral("T"));
    }

    // The window's shell opens through xdg-open and hears when nothing could open the target.
    void desktopShellOpen_data()
    {
        QTest::addColumn<OpenerCase>("c");
        QTest::newRow("file opened") << OpenerCase{"clip.mpg", "0", ShellOpenResult::Opened};
        QTest::newRow("no program for the file") << OpenerCase{"clip.mpg", "3", ShellOpenResult::Failed};
        QTest::newRow("the program failed") << OpenerCase{"clip.mpg", "4", ShellOpenResult::Failed};
        QTest::newRow("address opened")
            << OpenerCase{"https://www.vantu.example/", "0", ShellOpenResult::Opened};
        QTest::newRow("no browser") << OpenerCase{"https://www.vantu.example/", "3", ShellOpenResult::Failed};
        QTest::newRow("no mail program")
            << OpenerCase{"mailto:support@vantu.example", "3", ShellOpenResult::Failed};
        QTest::newRow("missing file") << OpenerCase{"gone.mpg", {}, ShellOpenResult::NotFound};
    }
    void desktopShellOpen()
    {
        QFETCH(OpenerCase, c);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile clip(dir.filePath("clip.mpg"));
        QVERIFY(clip.open(QIODevice::WriteOnly));
        clip.close();
        const QString opener = dir.filePath("xdg-open");
        QFile script(opener);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"${0%/*}/asked\"\nexit " +
                     (c.openerExit.isEmpty() ? QByteArray("0") : c.openerExit) + "\n");
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()));
        const bool isFile = !c.target.contains(QLatin1Char(':'));
        const QString target = isFile ? dir.filePath(c.target) : c.target;
        DesktopShell desktop;
        const ShellOpenResult result = desktop.open(target);
        qputenv("PATH", path);
        QCOMPARE(result, c.result);
        QFile asked(dir.filePath("asked"));
        if (c.openerExit.isEmpty()) {
            QVERIFY(!asked.exists());
            return;
        }
        QVERIFY(asked.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(asked.readAll()), target);
    }

    void styleParts_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("topmost");
        QTest::newRow("stop topmost") << 0x40010 << int(MB_OK) << int(MB_ICONHAND) << false << true;
        QTest::newRow("yesno stop") << 20 << int(MB_YESNO) << int(MB_ICONHAND) << false << false;
        QTest::newRow("retry stop") << 0x15 << int(MB_RETRYCANCEL) << int(MB_ICONHAND) << false << false;
        QTest::newRow("reset question") << (MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST)
                                        << int(MB_YESNO) << int(MB_ICONINFORMATION) << true << true;
        QTest::newRow("exclamation") << 48 << int(MB_OK) << int(MB_ICONEXCLAMATION) << false << false;
    }
    void styleParts()
    {
        QFETCH(int, style);
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(bool, second);
        QFETCH(bool, topmost);
        QCOMPARE(msgButtons(style), buttons);
        QCOMPARE(msgIcon(style), icon);
        QCOMPARE(msgDefaultIsSecond(style), second);
        QCOMPARE(msgTopmost(style), topmost);
    }

    void qtFilter()
    {
        QCOMPARE(toQtFilter(mediaFileFilter()),
                 QStringLiteral("Mpeg (*.mpg *.mpeg *.mpe *.m1v *.mv2);;Mp3 (*.mp3 *.mp2);;All Files (*)"));
        QCOMPARE(toQtFilter(QStringLiteral("Text|*.txt|")), QStringLiteral("Text (*.txt)"));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
