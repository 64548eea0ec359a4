// Tip of the Day, About, technical support, help and links, through their widgets.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "auxiliary/about/Credits.h"
#include "auxiliary/about/Links.h"
#include "auxiliary/about/SysInfo.h"
#include "auxiliary/ui/AboutBox.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "auxiliary/ui/IconPictures.h"
#include "auxiliary/ui/TechSupportDialog.h"
#include "auxiliary/ui/TipOfTheDay.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace kt;

namespace {
const QString kBinDir = qEnvironmentVariable("KT_BIN_DIR");

// The credits (1..4) shown, each with its mail image; "!" for one shown without the other.
QString visibleCredits(AboutBox& box)
{
    QString shown;
    for (int i = 1; i <= 4; ++i) {
        const bool label = box.findChild<QLabel*>(QStringLiteral("lblCredit%1").arg(i))->isVisible();
        const bool image = box.findChild<QLabel*>(QStringLiteral("Email_Img%1").arg(i - 1))->isVisible();
        shown += label != image ? QStringLiteral("!") : label ? QString::number(i) : QString();
    }
    return shown;
}

} // namespace

class TestAuxWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    // The label's text at start and after each Next Tip: a draw r shows tip int(r * count) + 1;
    // the draws are 0.0, 0.5, 0.9999, 0.333.
    void tipWindow_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("three tips") << QByteArray("first\r\nsecond\r\nthird")
                                    << QStringList{"first", "second", "third", "first"};
        QTest::newRow("no file") << QByteArray() << QStringList{tipsNotFoundText(), tipsNotFoundText()};
        QTest::newRow("empty file") << QByteArray("") << QStringList{"", ""};
    }
    void tipWindow()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        QFile::copy(kBinDir + "/Tod.ir", dir.filePath("Tod.ir"));
        if (!file.isNull())
            QVERIFY(test::writeFile(dir.filePath("tod.ctd"), file));
        QVector<double> draws{0.0, 0.5, 0.9999, 0.333};
        TipOfTheDay tips(dir.path(), nullptr, [&draws] { return draws.isEmpty() ? 0.0 : draws.takeFirst(); });
        auto* text = tips.findChild<QLabel*>("lblTipText");
        QCOMPARE(text->text(), shown.first());
        for (const QString& next : shown.mid(1)) {
            QTest::mouseClick(tips.findChild<QPushButton*>("cmdNextTip"), Qt::LeftButton);
            QCOMPARE(text->text(), next);
        }
        // The icon's transparent corner is drawn in the white of the panel.
        QCOMPARE(tips.findChild<QLabel*>("PicIcon")->pixmap().toImage().pixel(0, 0), qRgb(255, 255, 255));
        QVERIFY(box.asked().isEmpty());
    }

    // Links open on the left button going down; right and middle do nothing.
    void links_data()
    {
        QTest::addColumn<QString>("label"); // in About or the technical support window
        QTest::addColumn<QString>("target");
        QTest::newRow("maker") << "vantu_URL"
                               << "https://www.vantu.example/";
        for (int i = 0; i < 4; ++i)
            QTest::addRow("mail %d", i)
                << QStringLiteral("Email_Img%1").arg(i) << "mailto:" + credits().at(i).mail;
        QTest::newRow("product family") << "KlivaURL_lbl" << webTargetAddress(WebTarget::ProductFamily);
        QTest::newRow("support mail") << "SupportEmail_lbl"
                                      << "mailto:support@vantu.example";
        QTest::newRow("support page") << "SupportURL_lbl" << webTargetAddress(WebTarget::Support);
    }
    void links()
    {
        QFETCH(QString, label);
        QFETCH(QString, target);
        test::ScriptedShell shell;
        AboutBox about;
        TechSupportDialog support;
        QLabel* link = about.findChild<QLabel*>(label);
        if (!link)
            link = support.findChild<QLabel*>(label);
        QVERIFY(link);
        QTest::mousePress(link, Qt::RightButton);
        QTest::mousePress(link, Qt::MiddleButton);
        QVERIFY(shell.opened().isEmpty());
        QTest::mousePress(link, Qt::LeftButton); // no release needed
        QCOMPARE(shell.opened(), QStringList{target});
    }

    // The Help menu: About, Help Topics, Tip of the Day. KlvTarn.ir missing: one message, and Radur.ir is not
    // even tried; both present: the pictures are drawn over the background.
    void helpMenu()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        QFile::copy(kBinDir + "/Radur.ir", dir.filePath("Radur.ir"));
        prepareAboutPictures(dir.path(), QColor(1, 2, 3));
        QCOMPARE(box.asked().size(), 1);
        QVERIFY(aboutProductPicture().isNull() && aboutMailPicture().isNull());
        QFile::copy(kBinDir + "/KlvTarn.ir", dir.filePath("KlvTarn.ir"));
        prepareAboutPictures(dir.path(), QColor(1, 2, 3));
        QCOMPARE(aboutMailPicture().toImage().pixel(0, 0), qRgb(1, 2, 3));
        AboutBox about;
        // Its System Info button asks the desktop; with no tool on the search path it says so.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        QTest::mouseClick(about.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        qputenv("PATH", path);
        QCOMPARE(box.texts().mid(1), QStringList{sysInfoUnavailableText()}); // none from the pictures
        QCOMPARE(box.asked().last().style, int(MB_OK | MB_TOPMOST));
        // Each tick of ChangeSplash moves the credits on: none, 1+2, 3+4, none again.
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTimer* timer = about.findChild<QTimer*>("ChangeSplash");
        QVERIFY(timer && timer->isActive());
        QCOMPARE(visibleCredits(about), QString());
        for (const char* expected : {"12", "34", "", "12"}) {
            QVERIFY(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
            QCOMPARE(visibleCredits(about), expected);
        }
        // Help Topics: the help file, or what is said when it is missing.
        test::ScriptedShell shell;
        openHelpTopics("/opt/kt");
        QCOMPARE(shell.opened(), QStringList{"/opt/kt/KlvTarn.html"});
        shell.openResult = ShellOpenResult::NotFound;
        openHelpTopics("/opt/kt");
        QCOMPARE(box.texts().mid(2), QStringList{"'/opt/kt/KlvTarn.html' was not found!"});
        QCOMPARE(box.asked().last().style, 16);
        // Tip of the Day comes forward when open; a new one only after Close. With ShowTod
        // absent the box is ticked and "1" written back; unticking writes "0", and the next
        // window shows it.
        const auto showTod = [] { return QSettings("Vantu", "KlivaTARN").value("ShowTod").toString(); };
        QSettings("Vantu", "KlivaTARN").remove("ShowTod");
        QWidget owner;
        const auto open = [&owner] { return owner.findChildren<TipOfTheDay*>(); };
        const char* showAtStart = "chkLoadTipsAtStartup";
        openTipOfTheDay(&owner);
        TipOfTheDay* first = open().value(0);
        QVERIFY(first && first->isVisible() && !first->isModal() &&
                first->findChild<QCheckBox*>(showAtStart)->isChecked());
        QCOMPARE(showTod(), QStringLiteral("1"));
        first->findChild<QCheckBox*>(showAtStart)->click();
        QCOMPARE(showTod(), QStringLiteral("0"));
        openTipOfTheDay(&owner);
        QCOMPARE(open(), QList<TipOfTheDay*>{first});
        QTest::mouseClick(first->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(open().isEmpty()); // deleted on close
        openTipOfTheDay(&owner);
        QCOMPARE(open().size(), 1);
        QVERIFY(!open().first()->findChild<QCheckBox*>(showAtStart)->isChecked());
        QCOMPARE(showTod(), QStringLiteral("0"));
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestAuxWindows)
#include "tst_auxwindows.moc"
