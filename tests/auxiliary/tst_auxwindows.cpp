// Tip of the Day, About, technical support, help, links and System Info, driven through
// their widgets with scripted seams.
#include "../support/ScriptedSeams.h"
#include "auxiliary/about/Credits.h"
#include "auxiliary/about/Links.h"
#include "auxiliary/about/SysInfo.h"
#include "auxiliary/ui/AboutBox.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "auxiliary/ui/IconPictures.h"
#include "auxiliary/ui/TipOfTheDay.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace kt;

namespace {
QString binDir()
{
    return qEnvironmentVariable("KT_BIN_DIR");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A program folder with the chosen shipped files copied in.
QString programDir(QTemporaryDir& dir, const QStringList& files)
{
    for (const QString& f : files)
        QFile::copy(binDir() + QLatin1Char('/') + f, dir.filePath(f));
    return dir.path();
}

void press(QWidget* w, Qt::MouseButton button)
{
    QTest::mousePress(w, button, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseRelease(w, button, Qt::NoModifier, QPoint(2, 2));
}

QStringList visibleCredits(abtfrm& box)
{
    QStringList shown;
    for (int i = 1; i <= 4; ++i) {
        auto* label = box.findChild<QLabel*>(QStringLiteral("lblCredit%1").arg(i));
        auto* image = box.findChild<QLabel*>(QStringLiteral("Email_Img%1").arg(i - 1));
        if (!label || !image)
            qFatal("credit %d missing", i);
        if (label->isVisible() != image->isVisible())
            shown << QStringLiteral("mismatch %1").arg(i);
        else if (label->isVisible())
            shown << QString::number(i);
    }
    return shown;
}

class FakeProbe final : public SysInfoProbe
{
public:
    QMap<QString, RegValue> values; // by value name
    QStringList existing;
    QStringList started;
    bool startWorks = true;
    std::optional<RegValue> queryValue(RegRoot root, const QString&, const QString& name) override
    {
        if (root != RegRoot::LocalMachine || !values.contains(name))
            return std::nullopt;
        return values.value(name);
    }
    bool fileExists(const QString& path) override { return existing.contains(path); }
    bool startProgram(const QString& path) override
    {
        started << path;
        return startWorks;
    }
};

RegValue sz(const QByteArray& s)
{
    return RegValue{RegSz, s + '\0'};
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
    void init() { QSettings(QStringLiteral("Vantu"), QStringLiteral("KlivaTARN")).clear(); }

    void tipWindowShowsTipsAndTheIcon()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        programDir(dir, {QStringLiteral("Tod.ir")});
        writeFile(dir.filePath(QStringLiteral("tod.ctd")), "first\r\nsecond\r\nthird");
        QVector<double> draws{0.0, 0.5, 0.9, 0.4};
        Tipfrm tips(dir.path(), nullptr, [&draws] { return draws.isEmpty() ? 0.0 : draws.takeFirst(); });
        QCOMPARE(tips.windowTitle(), QStringLiteral("Vantu Kliva TARN Tip of the Day"));
        auto* text = tips.findChild<QLabel*>(QStringLiteral("lblTipText"));
        QVERIFY(text);
        QCOMPARE(text->text(), QStringLiteral("first"));
        auto* next = tips.findChild<QPushButton*>(QStringLiteral("cmdNextTip"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(text->text(), QStringLiteral("second"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(text->text(), QStringLiteral("third"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(text->text(), QStringLiteral("second"));
        auto* icon = tips.findChild<QLabel*>(QStringLiteral("PicIcon"));
        QVERIFY(icon && !icon->pixmap().isNull());
        // Transparent corner drawn in the white of the panel.
        QCOMPARE(icon->pixmap().toImage().pixel(0, 0), qRgb(255, 255, 255));
        QVERIFY(box.asked().isEmpty());
    }

    void tipWindowWithoutFiles()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        Tipfrm tips(dir.path());
        auto* text = tips.findChild<QLabel*>(QStringLiteral("lblTipText"));
        QCOMPARE(text->text(), QStringLiteral("That the tod.ctd file was not found? "));
        tips.NextRandomTip();
        QCOMPARE(text->text(), QStringLiteral("That the tod.ctd file was not found? "));
        // The missing icon was reported once, by the loader.
        QCOMPARE(box.texts(), QStringList{QStringLiteral(
                                  "Invalid icon file or file does not contain 32x32 or 16x16 icon")});
    }

    void emptyTipsFileLeavesLabelEmpty()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        programDir(dir, {QStringLiteral("Tod.ir")});
        writeFile(dir.filePath(QStringLiteral("tod.ctd")), "");
        Tipfrm tips(dir.path());
        auto* text = tips.findChild<QLabel*>(QStringLiteral("lblTipText"));
        QCOMPARE(text->text(), QString());
        tips.NextRandomTip();
        QCOMPARE(text->text(), QString());
    }

    void showAtStartCheckBox()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        QSettings settings(QStringLiteral("Vantu"), QStringLiteral("KlivaTARN"));
        {
            Tipfrm tips(dir.path()); // ShowTod absent: checked, and "1" written back
            auto* check = tips.findChild<QCheckBox*>(QStringLiteral("chkLoadTipsAtStartup"));
            QVERIFY(check->isChecked());
            settings.sync();
            QCOMPARE(settings.value(QStringLiteral("ShowTod")).toString(), QStringLiteral("1"));
            QTest::mouseClick(check, Qt::LeftButton);
            settings.sync();
            QCOMPARE(settings.value(QStringLiteral("ShowTod")).toString(), QStringLiteral("0"));
            QVERIFY(!tipOfTheDayAtStart());
        }
        Tipfrm again(dir.path());
        QVERIFY(!again.findChild<QCheckBox*>(QStringLiteral("chkLoadTipsAtStartup"))->isChecked());
        settings.sync();
        QCOMPARE(settings.value(QStringLiteral("ShowTod")).toString(), QStringLiteral("0"));
    }

    void enterAndEscClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void enterAndEscClose()
    {
        QFETCH(int, key);
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        Tipfrm tips(dir.path());
        tips.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tips));
        QTest::keyClick(&tips, Qt::Key(key));
        QVERIFY(!tips.isVisible());
    }

    void aboutBoxTexts()
    {
        abtfrm about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Vantu Kliva TARN"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(),
                 QStringLiteral("Vantu Kliva TARN"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("2.5.0"));
        QVERIFY(about.findChild<QPushButton*>(QStringLiteral("cmdOK"))->isDefault());
    }

    void creditsRotateThroughThreeStates()
    {
        abtfrm about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTimer* timer = about.findChild<QTimer*>(QStringLiteral("ChangeSplash"));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 5000);
        QCOMPARE(visibleCredits(about), QStringList{});
        const QList<QStringList> cycle{{"1", "2"}, {"3", "4"}, {}};
        for (int round = 0; round < 2; ++round)
            for (const QStringList& expected : cycle) {
                QVERIFY(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection)); // a tick
                QCOMPARE(visibleCredits(about), expected);
            }
        QCOMPARE(about.rotation().state(), 1);
    }

    void linksOpenOnLeftButtonDown()
    {
        test::ScriptedShell shell;
        abtfrm about;
        auto* maker = about.findChild<QLabel*>(QStringLiteral("vantu_URL"));
        QCOMPARE(maker->cursor().shape(), Qt::PointingHandCursor);
        QTest::mousePress(maker, Qt::RightButton);
        QTest::mousePress(maker, Qt::MiddleButton);
        QVERIFY(shell.opened().isEmpty());
        QTest::mousePress(maker, Qt::LeftButton); // no release needed
        QCOMPARE(shell.opened(), QStringList{QStringLiteral("https://www.vantu.example/")});

        for (int i = 0; i < 4; ++i) {
            auto* image = about.findChild<QLabel*>(QStringLiteral("Email_Img%1").arg(i));
            QCOMPARE(image->cursor().shape(), Qt::PointingHandCursor);
            press(image, Qt::LeftButton);
            QCOMPARE(shell.opened().last(), QStringLiteral("mailto:") + credits().at(i).mail);
        }

        TechSupportDialog support;
        QCOMPARE(support.windowTitle(), QStringLiteral("Vantu Kliva Technical Support"));
        const QList<QPair<QString, QString>> links{
            {QStringLiteral("KlivaURL_lbl"), webTargetAddress(WebTarget::ProductFamily)},
            {QStringLiteral("SupportEmail_lbl"), QStringLiteral("mailto:support@vantu.example")},
            {QStringLiteral("SupportURL_lbl"), webTargetAddress(WebTarget::Support)},
        };
        for (const auto& [name, target] : links) {
            auto* label = support.findChild<QLabel*>(name);
            QVERIFY2(label, qPrintable(name));
            QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
            press(label, Qt::RightButton);
            QVERIFY(shell.opened().last() != target);
            press(label, Qt::LeftButton);
            QCOMPARE(shell.opened().last(), target);
        }
    }

    void webTargetsAreDistinctReservedAddresses()
    {
        test::ScriptedShell shell;
        QSet<QString> seen;
        for (WebTarget t : {WebTarget::MakerHome, WebTarget::ProductFamily, WebTarget::ThisEdition,
                            WebTarget::Faq, WebTarget::Support}) {
            const QUrl url(webTargetAddress(t));
            QVERIFY(url.isValid());
            QVERIFY(url.host().endsWith(QLatin1String(".example")));
            seen.insert(url.toString());
            openWebTarget(t);
            QCOMPARE(shell.opened().last(), webTargetAddress(t));
        }
        QCOMPARE(seen.size(), 5);
        for (const Credit& c : credits())
            QVERIFY(c.mail.endsWith(QLatin1String("@vantu.example")));
    }

    void picIconClickClosesAbout()
    {
        abtfrm about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mousePress(about.findChild<QLabel*>(QStringLiteral("PicIcon")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }

    void helpFile()
    {
        test::ScriptedMessageBox box;
        test::ScriptedShell shell;
        openHelpTopics(QStringLiteral("/opt/kt"));
        QCOMPARE(shell.opened(), QStringList{QStringLiteral("/opt/kt/KlvTarn.html")});
        QVERIFY(box.asked().isEmpty());
        shell.openResult = ShellOpenResult::NotFound;
        openHelpTopics(QStringLiteral("/opt/kt"));
        QCOMPARE(box.texts(), QStringList{QStringLiteral("'/opt/kt/KlvTarn.html' was not found!")});
        QCOMPARE(box.asked().last().style, 16);
        QCOMPARE(box.asked().last().title, QStringLiteral("Vantu Kliva TARN"));
        shell.openResult = ShellOpenResult::Failed; // no browser: silent
        openHelpTopics(QStringLiteral("/opt/kt"));
        QCOMPARE(box.asked().size(), 1);
        // The shipped help file is there.
        QVERIFY(QFileInfo(binDir() + QStringLiteral("/KlvTarn.html")).isFile());
    }

    void regValueTexts()
    {
        QCOMPARE(regValueText(sz("C:\\x.exe")), std::optional<QString>(QStringLiteral("C:\\x.exe")));
        QCOMPARE(regValueText(RegValue{RegSz, "abc"}), std::optional<QString>(QStringLiteral("abc")));
        QCOMPARE(regValueText(RegValue{RegDword, QByteArray("\x10\x27\x00\x00", 4)}),
                 std::optional<QString>(QStringLiteral("10000")));
        // Bytes are joined without leading zeros, as the classic routine does.
        QCOMPARE(regValueText(RegValue{RegDword, QByteArray("\x05\x01\x00\x00", 4)}),
                 std::optional<QString>(QStringLiteral("21")));
        QVERIFY(!regValueText(RegValue{3, "zz"}).has_value());
    }

    void sysInfo()
    {
        test::ScriptedMessageBox box;
        FakeProbe probe;
        StartSysInfo(probe); // nothing known
        QCOMPARE(box.texts(), QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
        QCOMPARE(box.asked().last().style, int(MB_OK | MB_TOPMOST));
        QVERIFY(probe.started.isEmpty());

        box.clear();
        probe.values.insert(QStringLiteral("MSINFO"), sz("/opt/tools"));
        StartSysInfo(probe); // folder known, program missing
        QCOMPARE(box.asked().size(), 1);
        probe.existing << QStringLiteral("/opt/tools/MSINFO32.EXE");
        StartSysInfo(probe);
        QCOMPARE(probe.started, QStringList{QStringLiteral("/opt/tools/MSINFO32.EXE")});

        probe.started.clear();
        probe.values.insert(QStringLiteral("PATH"), sz("/usr/bin/hardinfo"));
        StartSysInfo(probe); // the PATH value wins
        QCOMPARE(probe.started, QStringList{QStringLiteral("/usr/bin/hardinfo")});
        QCOMPARE(box.asked().size(), 1);

        QString value = QStringLiteral("old");
        QVERIFY(!GetKeyValue(probe, RegRoot::CurrentUser, QString(), QStringLiteral("PATH"), value));
        QCOMPARE(value, QString());
    }

    void desktopProbeFindsAnInstalledProgram()
    {
        QTemporaryDir empty;
        QTemporaryDir bin;
        DesktopSysInfoProbe none({empty.path()});
        QString value;
        const QString key = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
        QVERIFY(!GetKeyValue(none, RegRoot::LocalMachine, key, QStringLiteral("PATH"), value));

        const QString program = bin.filePath(QStringLiteral("kinfocenter"));
        writeFile(program, "#!/bin/sh\n");
        QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        DesktopSysInfoProbe found({empty.path(), bin.path()});
        QVERIFY(GetKeyValue(found, RegRoot::LocalMachine, key, QStringLiteral("PATH"), value));
        QCOMPARE(value, program);

        // Through the About box's button, with nothing installed.
        test::ScriptedMessageBox box;
        installSysInfoProbe(&none);
        abtfrm about;
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
        installSysInfoProbe(nullptr);
        QCOMPARE(box.texts(), QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
    }

    void aboutPicturesAtStartUp()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        programDir(dir, {QStringLiteral("Radur.ir")});
        prepareAboutPictures(dir.path(), QColor(1, 2, 3));
        // KlvTarn.ir is missing: one message, and Radur.ir is not even tried.
        QCOMPARE(box.texts(), QStringList{QStringLiteral(
                                  "Invalid icon file or file does not contain 32x32 or 16x16 icon")});
        QVERIFY(aboutProductPicture().isNull());
        QVERIFY(aboutMailPicture().isNull());

        box.clear();
        programDir(dir, {QStringLiteral("KlvTarn.ir")});
        prepareAboutPictures(dir.path(), QColor(1, 2, 3));
        QVERIFY(box.asked().isEmpty());
        QCOMPARE(aboutProductPicture().size(), QSize(32, 32));
        QCOMPARE(aboutMailPicture().toImage().pixel(0, 0), qRgb(1, 2, 3));
        abtfrm about;
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("PicIcon"))->pixmap().size(), QSize(32, 32));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("Email_Img2"))->pixmap().size(), QSize(32, 32));
        clearAboutPictures();
    }

    void statusLogosAndApplicationIcon()
    {
        test::ScriptedMessageBox box;
        for (const char* name : {"Busy.ir", "Idle.ir"}) {
            const QPixmap logo =
                loadIconFilePicture(binDir() + QLatin1Char('/') + QLatin1String(name), QColor(200, 201, 202));
            QCOMPARE(logo.size(), QSize(32, 32));
            QCOMPARE(logo.toImage().pixel(0, 0), qRgb(200, 201, 202));
        }
        QVERIFY(box.asked().isEmpty());
        const QIcon icon = programIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}}));
        QWidget owner;
        QDialog child(&owner);
        SetWindowIcons(&child);
        QVERIFY(!owner.windowIcon().isNull());
        QVERIFY(!child.windowIcon().isNull());
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestAuxWindows)
#include "tst_auxwindows.moc"
