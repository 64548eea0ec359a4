// LastInStr, TakeDialogItem, FormatDir (measured with a fixed-width rule) and how messages quote names.
#include "base/TextUtils.h"

#include <QtTest>

using namespace kt;

class TestTextUtils : public QObject
{
    Q_OBJECT
private slots:
    // LastInStr: 1-based, 0 for none; TakeDialogItem: the item keeps its delimiter.
    void lastInStrAndTakeDialogItem()
    {
        QCOMPARE((QList<int>{LastInStr("C:\\dir\\file.mpg", "\\"), LastInStr("file.mpg", "\\"),
                             LastInStr("aaa", "aa"), LastInStr("abc", "")}),
                 (QList<int>{7, 0, 2, 0}));
        const QString nul(QChar(0));
        for (auto [text, delimiter, item, rest] :
             {std::array<QString, 4>{"a.mpg" + nul + "b.mpg" + nul + nul, nul, "a.mpg" + nul,
                                     "b.mpg" + nul + nul},
              {"a||b||c", "||", "a||", "b||c"},
              {"abc", ";", "", "abc"}}) {
            QCOMPARE(TakeDialogItem(text, delimiter), item);
            QCOMPARE(text, rest);
        }
    }

    // 100 twips a character; the start is cut to at most (max - width(".../name") - 350); a name
    // alone too wide cuts the whole path to max - 200, then "...".
    void formatDir()
    {
        const QString longPath = QStringLiteral("/home/someone/videos/holiday/2004/summer/clip.mpg"); // 49
        const QString longName = "/x/" + QString(60, QLatin1Char('n')) + ".mpg";
        for (auto [path, maxWidth, shown] :
             {std::tuple<QString, int, QString>{longPath, 4900, longPath},
              {longPath, 4600, "/home/someone/videos/holiday/2.../clip.mpg"},
              {longPath, 1400, ".../clip.mpg"},
              {longName, 4600, longName.left(44) + "..."},
              {"averyveryverylongfilename.mpg", 2000, "averyveryverylongf..."}}) {
            QString out = QStringLiteral("untouched");
            FormatDir(path, out, maxWidth, [](const QString& s) { return int(s.size()) * 100; });
            QCOMPARE(out, shown);
        }
    }

    // As `ls --quoting-style=shell-escape-always` when the name holds controls; escaped for --info.
    void quotedName()
    {
        for (auto [name, quoted, escaped] :
             {std::array<QString, 3>{"/v/it's a\\b.mpg", "'/v/it's a\\b.mpg'", "/v/it's a\\\\b.mpg"},
              {"\t\nb\n", "''$'\\t\\n''b'$'\\n'", "\\t\\nb\\n"},
              {"e\x1b[2J\x7f\u009b", "'e'$'\\033''[2J'$'\\177\\302\\233'", "e\\033[2J\\177\\302\\233"},
              {"'it's\t'", "''\\''it'\\''s'$'\\t'\\'''", "'it's\\t'"}}) {
            QCOMPARE(kt::quotedName(name), quoted);
            QCOMPARE(escapeControls(name, true), escaped);
        }
    }
};

QTEST_GUILESS_MAIN(TestTextUtils)
#include "tst_textutils.moc"
