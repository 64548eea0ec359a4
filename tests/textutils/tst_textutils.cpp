// LastInStr, TakeDialogItem, inverse_string and FormatDir (measured with a fixed-width rule).
#include <QtTest>

#include "packlist/TextUtils.h"

using namespace kt;

namespace {

constexpr int kTwipsPerChar = 100;
int fixedWidth(const QString& s) { return int(s.size()) * kTwipsPerChar; }

} // namespace

class TestTextUtils : public QObject
{
    Q_OBJECT
private slots:
    void lastInStr_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("position");
        QTest::newRow("backslash path") << "C:\\dir\\file.mpg" << "\\" << 7;
        QTest::newRow("none") << "file.mpg" << "\\" << 0;
        QTest::newRow("slash path") << "/home/v/clip.mpg" << "/" << 8;
        QTest::newRow("overlapping") << "aaa" << "aa" << 2;
        QTest::newRow("longer pattern") << "abcabc" << "abc" << 4;
        QTest::newRow("at the start only") << "abcd" << "ab" << 1;
        QTest::newRow("case matters") << "ABC" << "b" << 0;
        QTest::newRow("empty text") << "" << "a" << 0;
        QTest::newRow("empty pattern") << "abc" << "" << 0;
        QTest::newRow("pattern longer than text") << "ab" << "abc" << 0;
    }
    void lastInStr()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, position);
        QCOMPARE(LastInStr(text, pattern), position);
    }

    void takeDialogItem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("rest");
        const QChar nul(0);
        QTest::newRow("NUL list") << QString("a.mpg%1b.mpg%1%1").arg(nul) << QString(nul) << QString("a.mpg") + nul
                                  << QString("b.mpg%1%1").arg(nul);
        QTest::newRow("delimiter first") << QString(nul) + "x" << QString(nul) << QString(nul) << "x";
        QTest::newRow("none") << "abc" << QString(nul) << "" << "abc";
        QTest::newRow("empty") << "" << QString(nul) << "" << "";
        QTest::newRow("two-character delimiter") << "a||b||c" << "||" << "a||" << "b||c";
        QTest::newRow("last character") << "abc;" << ";" << "abc;" << "";
    }
    void takeDialogItem()
    {
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QFETCH(QString, item);
        QFETCH(QString, rest);
        QCOMPARE(TakeDialogItem(text, delimiter), item);
        QCOMPARE(text, rest);
    }

    void inverseString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reversed");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("one") << "a" << "a";
        QTest::newRow("path") << "/a/bc.mpg" << "gpm.cb/a/";
        QTest::newRow("umlaut") << "äöü/x" << "x/üöä";
        QTest::newRow("surrogate pair kept") << QString::fromUtf8("a\xF0\x9F\x8E\xAC" "b")
                                             << QString::fromUtf8("b\xF0\x9F\x8E\xAC" "a");
    }
    void inverseString()
    {
        QFETCH(QString, text);
        QFETCH(QString, reversed);
        QCOMPARE(inverse_string(text), reversed);
        QCOMPARE(inverse_string(inverse_string(text)), text);
    }

    // 100 twips a character. Suffix ".../name" is 4 + len(name) characters; the start is
    // cut to at most (max - suffix - 350) / 100 characters.
    void formatDir_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<QString>("output");
        const QString longPath = QStringLiteral("/home/someone/videos/holiday/2004/summer/clip.mpg"); // 49
        QTest::newRow("fits") << "/v/clip.mpg" << 4600 << "/v/clip.mpg";
        QTest::newRow("exactly fits") << longPath << 4900 << longPath;
        // 4600 - 1200 - 350 = 3050: 30 characters of the start.
        QTest::newRow("shortened") << longPath << 4600 << "/home/someone/videos/holiday/2.../clip.mpg";
        // 4800 - 1200 - 350 = 3250: 32 characters.
        QTest::newRow("shortened, wider") << longPath << 4800 << "/home/someone/videos/holiday/200.../clip.mpg";
        // 1200 + 175 leaves a budget under 175: nothing of the start fits.
        QTest::newRow("empty start") << longPath << 1400 << ".../clip.mpg";
        // The file name alone is too wide: the start cut to 4600 - 200 = 44 characters, then "...".
        const QString longName = QStringLiteral("/x/") + QString(60, QLatin1Char('n')) + QStringLiteral(".mpg");
        QTest::newRow("name too wide") << longName << 4600 << longName.left(44) + "...";
        // Without a separator the whole path is the name, so only the fallback can shorten it.
        QTest::newRow("no separator") << "averyveryverylongfilename.mpg" << 2000 << "averyveryverylong" "f...";
        QTest::newRow("trailing separator") << "/home/someone/videos/holiday/" << 2000 << "/home/someon.../"; // 2000 - 400 - 350 = 1250
    }
    void formatDir()
    {
        QFETCH(QString, path);
        QFETCH(int, maxWidth);
        QFETCH(QString, output);
        QString out = QStringLiteral("untouched");
        FormatDir(path, out, maxWidth, fixedWidth);
        QCOMPARE(out, output);
    }

    // With a proportional rule the start still ends up as long as the budget allows.
    void formatDirProportional()
    {
        const auto measure = [](const QString& s) {
            int w = 0;
            for (QChar c : s)
                w += c == QLatin1Char('m') || c == QLatin1Char('w') ? 180 : c == QLatin1Char('i') ? 40 : 110;
            return w;
        };
        const QString path = QStringLiteral("/mnt/media/movies/windows/mini/wild/film.mpg");
        QString out;
        FormatDir(path, out, 3000, measure);
        const QString suffix = QStringLiteral(".../film.mpg");
        QVERIFY(out.endsWith(suffix));
        const QString start = out.chopped(suffix.size());
        QVERIFY(path.startsWith(start));
        const int budget = 3000 - measure(suffix) - 350;
        QVERIFY(measure(start) <= budget);
        QVERIFY(measure(path.left(start.size() + 1)) > budget);
    }
};

QTEST_GUILESS_MAIN(TestTextUtils)
#include "tst_textutils.moc"
