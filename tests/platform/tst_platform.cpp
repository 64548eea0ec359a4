// The seams: the message-box routine's last answer, style parts, filter conversion.
#include <QtTest>

#include "../support/ScriptedSeams.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"

using namespace kt;

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
