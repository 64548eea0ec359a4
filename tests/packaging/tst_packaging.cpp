// The installed layout, its validators, the data folder, System Info's tool, the packer's completion.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "app/StartupValues.h"
#include "auxiliary/about/SysInfo.h"
#include "platform/Program.h"

#include <QImageReader>
#include <QtTest>
#include <sys/stat.h>

using namespace kt;

namespace {

const QString kAppId = QStringLiteral(KT_APP_ID);

// The validator, its arguments with the file last (in the prefix, or the package), the issues it may report.
using Validation = std::tuple<QString, QStringList, QString>;
using DataDirCase = std::tuple<QString, QString, bool>;

using Run = std::tuple<int, QString, QString>; // exit code (-1: it did not end by itself), stdout, stderr

// Every file cmake --install puts under the prefix, and cpack under /usr.
QStringList expectedFiles()
{
    QStringList expected = QString("bin/klivatarn bin/klivatarn-pack share/applications/%1.desktop "
                                   "share/metainfo/%1.metainfo.xml share/icons/hicolor/scalable/apps/%1.svg "
                                   "share/man/man1/klivatarn.1.gz share/man/man1/klivatarn-pack.1.gz "
                                   "share/doc/klivatarn/copyright share/doc/klivatarn/changelog.gz "
                                   "share/lintian/overrides/klivatarn "
                                   "share/bash-completion/completions/klivatarn-pack")
                               .arg(kAppId)
                               .split(' ');
    for (const char* name : {"tod.ctd", "tod_de.ctd", "KlvTarn.ir", "Radur.ir", "Busy.ir", "Idle.ir",
                             "Tod.ir", "KlvTarn.html", "KlvTarn.css", "translations/klivatarn_de.qm"})
        expected << QStringLiteral("share/klivatarn/") + QLatin1String(name);
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size) + kAppId + ".png";
    expected.sort();
    return expected;
}

Run run(const QString& program, const QStringList& args, const QString& workDir = {})
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(program, args);
    const bool ended = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {ended ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

template <typename... T> void row(const char* name, const T&... values)
{
    (QTest::newRow(name) << ... << values);
}

} // namespace

class TestPackaging : public QObject
{
    Q_OBJECT
    QTemporaryDir m_prefix, m_package;
    QString m_deb;

    QString prefixed(const QString& relative) const { return m_prefix.filePath(relative); }

private slots:
    void initTestCase()
    {
        const auto [installed, out, err] =
            run(KT_CMAKE_COMMAND, {"--install", KT_BUILD_DIR, "--prefix", m_prefix.path()});
        QVERIFY2(installed == 0, qPrintable(out + err));
        // Built under a group-writable umask, which must not reach the package's folder modes.
        const mode_t umaskBefore = umask(002);
        const auto [packed, packOut, packErr] =
            run(KT_CPACK_COMMAND,
                {"-G", "DEB", "-B", m_package.path(), "--config", KT_BUILD_DIR "/CPackConfig.cmake"});
        umask(umaskBefore);
        QVERIFY2(packed == 0, qPrintable(packOut + packErr));
        const QStringList debs = QDir(m_package.path()).entryList({"klivatarn_*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = m_package.filePath(debs.first());
    }

    // Expected files only, installed and packaged; programs executable, PNGs sized, gzip reproducible.
    void installedFiles()
    {
        const QStringList expected = expectedFiles();
        for (const QString& f : expected) {
            const QFileInfo info(prefixed(f));
            QVERIFY2(info.isFile() && info.size() > 0 && info.isExecutable() == f.startsWith("bin/"),
                     qPrintable(f));
            static const QRegularExpression icon(QStringLiteral("/(\\d+)x\\1/apps/.*\\.png$"));
            if (const int size = icon.match(f).captured(1).toInt())
                QCOMPARE(QImageReader(prefixed(f), "png").size(), QSize(size, size));
            // gzip's header: no file name (flags 0), no time stamp, "maximum compression" (2).
            QVERIFY2(!f.endsWith(".gz") ||
                         test::fileBytes(prefixed(f)).startsWith(QByteArray("\x1f\x8b\x08\0\0\0\0\0\x02", 9)),
                     qPrintable(f));
        }
        QStringList found;
        for (QDirIterator it(m_prefix.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();)
            found << QDir(m_prefix.path()).relativeFilePath(it.next());
        found.sort();
        QCOMPARE(found, expected);
        // cpack's package: the same regular files under /usr ("-rw-r--r-- root/root 477 <date> ./usr/...").
        QStringList packed =
            std::get<1>(run("dpkg-deb", {"-c", m_deb})).split('\n').filter(QRegularExpression("^-"));
        packed.replaceInStrings(QRegularExpression("^.* \\./usr/"), {}).sort();
        QCOMPARE(packed, expected);
        // Away from the build and the prefix the packer starts; the window finds its data in ../share.
        QTemporaryDir elsewhere;
        const auto [code, out, err] = run(prefixed("bin/klivatarn-pack"), {"--version"}, elsewhere.path());
        QVERIFY2(code == 0 && out.startsWith(QLatin1String("klivatarn-pack ")), qPrintable(out + err));
        QCOMPARE(detectStartupValues(prefixed("bin")).programDir, prefixed("share/klivatarn"));
    }

    // Each validator passes its file; of its errors, warnings, notes and hints only the allowed remain.
    void validator_data()
    {
        QTest::addColumn<Validation>("v");
        const QString share = prefixed("share/");
        row("desktop entry",
            Validation{"desktop-file-validate", {share + "applications/" + kAppId + ".desktop"}, ""});
        // The reserved example domain is not a known top-level domain.
        row("metainfo",
            Validation{"appstreamcli",
                       {"validate", "--no-net", "--pedantic", share + "metainfo/" + kAppId + ".metainfo.xml"},
                       "^I:.*not-rdns"});
        for (const char* page :
             {"klivatarn", "klivatarn-pack"}) // the output is the page: it may say "error:"
            QTest::addRow("%s(1)", page)
                << Validation{"man", {"--warnings", "-l", share + "man/man1/" + page + ".1.gz"}, "."};
        // lintian: owners, modes, stripping, hardening; the HTML help stays where Help opens it from.
        row("package", Validation{"lintian",
                                  {"--no-cfg", "--display-info", "--fail-on", "none", m_deb},
                                  ": package-contains-documentation-outside-usr-share-doc\\b"});
    }

    void validator()
    {
        QFETCH(Validation, v);
        const auto& [program, arguments, allowed] = v;
        const QString tool = QStandardPaths::findExecutable(program);
        if (tool.isEmpty())
            QSKIP(qPrintable(program + " is not installed (scripts/install-deps installs it)"));
        qputenv("MANWIDTH", "80");
        const auto [code, out, err] = run(tool, arguments);
        QVERIFY2(code == 0, qPrintable(out + err));
        // man prints its warnings on stderr; lintian its advice against running as root.
        QVERIFY2(program == "lintian" || err.trimmed().isEmpty(), qPrintable(err));
        QVERIFY(program != "man" || out.contains("EXIT STATUS"));
        static const QRegularExpression issue(QStringLiteral("^[EWPI]:.*|.*(error|warning):.*"),
                                              QRegularExpression::MultilineOption);
        QStringList issues;
        for (const QRegularExpressionMatch& m : issue.globalMatch(out))
            if (allowed.isEmpty() || !m.captured().contains(QRegularExpression(allowed)))
                issues << m.captured();
        QVERIFY2(issues.isEmpty(), qPrintable(issues.join('\n')));
    }

    void dataDirLookup()
    {
        // A file beside the executable, if any; what ../share/klivatarn is; whether the data is there.
        for (const auto& [beside, share, fromShare] :
             std::initializer_list<DataDirCase>{{"tod.ctd", "folder", false},
                                                {"KlvTarn.ir", "folder", false},
                                                {"klivatarn-pack", "folder", true}, // strangers in bin
                                                {"", "", false},
                                                {"", "file", false}}) {
            QTemporaryDir root;
            const QString bin = root.filePath("opt/bin"), data = root.filePath("opt/share/klivatarn");
            QVERIFY(QDir().mkpath(bin) && QDir().mkpath(root.filePath("opt/share")));
            QVERIFY(beside.isEmpty() || test::writeFile(bin + '/' + beside, "x"));
            QVERIFY(share.isEmpty() ||
                    (share == "folder" ? QDir().mkpath(data) : test::writeFile(data, "x")));
            QCOMPARE(programDataDir(bin), fromShare ? data : bin);
            // A trailing separator on the executable's folder changes nothing.
            QCOMPARE(detectStartupValues(bin + '/').programDir, fromShare ? data : bin);
        }
    }

    // XDG_CURRENT_DESKTOP, the tools installed, and what the one started records: its name and arguments.
    void sysInfoTool()
    {
        const QStringList all = {"hardinfo", "kinfocenter", "xfce4-about", "gnome-control-center"};
        for (const auto& [desktop, installed, started] :
             std::initializer_list<std::tuple<QString, QStringList, QString>>{
                 {"ubuntu:GNOME", all, "gnome-control-center info-overview"},
                 {"KDE", all, "kinfocenter"},
                 {"xfce", all, "xfce4-about"},
                 {"XFCE", {"kinfocenter", "hardinfo"}, "hardinfo"}, // neutral before another desktop's
                 {"", {"hardinfo", "hardinfo2"}, "hardinfo2"},
                 {"LXQt", {"kinfocenter"}, "kinfocenter"}}) {
            QTemporaryDir bin;
            const QString record = bin.filePath("started.txt");
            const QByteArray script =
                ("#!/bin/sh\necho \"$(basename \"$0\") $*\" > '" + record + "'\n").toUtf8();
            for (const QString& name : installed)
                QVERIFY(test::writeFile(bin.filePath(name), script) &&
                        ::chmod(qPrintable(bin.filePath(name)), 0500) == 0);
            test::ScriptedMessageBox box; // through the About box's routine, with the tool's arguments
            DesktopSysInfoProbe probe({bin.path()}, desktop);
            StartSysInfo(probe);
            QCOMPARE(box.texts(), QStringList{});
            QTRY_COMPARE_WITH_TIMEOUT(QString::fromUtf8(test::fileBytes(record)).trimmed(), started, 20000);
        }
    }

    void completion()
    {
        const QString completion = "/usr/share/bash-completion/bash_completion";
        if (!QFileInfo(completion).isFile())
            QSKIP("bash-completion is not installed (scripts/install-deps installs it)");
        QTemporaryDir dir;
        for (const char* name : {"a.mpg", "b.mp3", "-dash.mpg"})
            QVERIFY(test::writeFile(dir.filePath(name), "x"));
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        // Typed after "klivatarn-pack " up to the cursor, and what is offered then.
        for (const auto& [typed, offered] : std::initializer_list<std::pair<QString, QStringList>>{
                 {"--rate ", {"fast", "normal", "slow", "ufast"}},
                 {"--tr", {"--trash", "--trash-prompt"}},
                 {"--ou", {"--output="}},
                 {"--ra=s", {"slow"}}, // abbreviated
                 {"--info -", {"--", "--json", "--null", "-z"}},
                 {"-o all.mpg ", {"-dash.mpg", "a.mpg", "b.mp3", "sub"}},
                 {"--output=b", {"b.mp3"}},
                 {"-o x -- -", {"-dash.mpg"}}}) {
            const QString line = "klivatarn-pack " + typed;
            // The words as bash splits the line: at blanks, and "=" a word of its own.
            const QStringList words = QString(line).replace('=', QStringLiteral(" = ")).split(' ');
            const QString script =
                QStringLiteral("source '%1'; source '%2'; COMP_WORDS=(%3); COMP_CWORD=%4; COMP_LINE='%5'; "
                               "COMP_POINT=${#COMP_LINE}; _klivatarn_pack klivatarn-pack; printf '%s\\n' "
                               "\"${COMPREPLY[@]}\"")
                    .arg(completion, prefixed("share/bash-completion/completions/klivatarn-pack"),
                         "'" + words.join("' '") + "'", QString::number(words.size() - 1), line);
            const auto [code, out, err] = run("bash", {"--norc", "--noprofile", "-c", script}, dir.path());
            QVERIFY2(code == 0, qPrintable(err));
            QStringList got = out.split('\n', Qt::SkipEmptyParts);
            got.sort();
            QCOMPARE(got, offered);
        }
    }
};

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
