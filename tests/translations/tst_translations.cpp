// The translations from the outside: the catalogs against the sources (lupdate run as the
// build runs it), both programs started in German, and every window built in English and in
// German, text by text.
#include "../support/ProgramWindows.h"
#include "../support/Rows.h"
#include "platform/Translations.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTreeView>
#include <QtTest>

using namespace kt;

namespace {

const QString kBinDir = qEnvironmentVariable("KT_BIN_DIR");
const QString kSourceDir = qEnvironmentVariable("KT_SOURCE_DIR");

// The German the test program runs in: set before the application object reads the locale.
// LANG names a locale that need not be installed: Qt reads these variables itself.
const char* const kGerman[][2] = {{"LANGUAGE", "de"}, {"LANG", "de_DE.UTF-8"}};

// An object's place in its window: object names, or class and index among its siblings.
QString pathOf(const QObject* o, const QObject* window)
{
    QStringList parts;
    for (; o && o != window; o = o->parent()) {
        QString part = o->objectName();
        if (part.isEmpty()) {
            const QObjectList siblings = o->parent() ? o->parent()->children() : QObjectList{};
            int index = 0;
            for (const QObject* s : siblings) {
                if (s == o)
                    break;
                index += s->metaObject() == o->metaObject();
            }
            part = QStringLiteral("%1#%2").arg(QLatin1String(o->metaObject()->className())).arg(index);
        }
        parts.prepend(part);
    }
    return window->objectName() + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

// An action the user can reach: visible, and so is every menu it sits in.
bool reachable(const QAction* a)
{
    for (const QObject* o = a; o; o = o->parent()) {
        if (const auto* m = qobject_cast<const QMenu*>(o); m && !m->menuAction()->isVisible())
            return false;
    }
    return a->isVisible() && !a->isSeparator();
}

// Every text a window shows or gives a screen reader, by place and kind.
QMap<QString, QString> shownTexts(QWidget* window)
{
    QMap<QString, QString> texts;
    auto add = [&texts](const QString& key, const QString& text) {
        if (!text.trimmed().isEmpty())
            texts.insert(key, text);
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : std::as_const(widgets)) {
        if (w != window && !w->isVisibleTo(window))
            continue;
        const QString at = pathOf(w, window);
        add(at + QStringLiteral("|title"), w->isWindow() ? w->windowTitle() : QString());
        add(at + QStringLiteral("|tooltip"), w->toolTip());
        add(at + QStringLiteral("|name"), w->accessibleName());
        add(at + QStringLiteral("|description"), w->accessibleDescription());
        if (auto* l = qobject_cast<QLabel*>(w))
            add(at + QStringLiteral("|text"), l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            add(at + QStringLiteral("|text"), b->text());
        if (auto* e = qobject_cast<QLineEdit*>(w))
            add(at + QStringLiteral("|text"), e->text());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                add(at + QStringLiteral("|item%1").arg(i), c->itemText(i));
        if (auto* h = qobject_cast<QHeaderView*>(w); h && h->model())
            for (int i = 0; i < h->count(); ++i)
                add(at + QStringLiteral("|section%1").arg(i),
                    h->model()->headerData(i, h->orientation()).toString());
    }
    for (QAction* a : window->findChildren<QAction*>()) {
        if (!reachable(a))
            continue;
        const QString at = pathOf(a, window);
        add(at + QStringLiteral("|text"), a->text());
        add(at + QStringLiteral("|tooltip"), a->toolTip());
        add(at + QStringLiteral("|shortcut"), a->shortcut().toString(QKeySequence::NativeText));
    }
    return texts;
}

// What may read the same in German, and why.
bool sameInGerman(const QString& at, const QString& text)
{
    // Names (the program, the maker, people), addresses, the version, the separator entry
    // of the Preferences pages, "OK", and keys that have no German name (F1, Del's "Entf" is
    // translated by Qt).
    static const QRegularExpression names(QStringLiteral(
        "^(Vantu Kliva TARN( v[0-9.]+)?|Vantu Software|&?OK|F1|[0-9.]+|_+|\\S+@\\S+|https://\\S+)$"));
    if (names.match(text).hasMatch())
        return true;
    // The select-all button's letter: "a" for "alle" too.
    if (at.endsWith(QLatin1String("/packlst_SelectAll_cmd|text")))
        return true;
    // Texts of parts that come with their owners' translation: the Pack List's column
    // headers and the list buttons' tooltips (packlist/ui).
    static const QRegularExpression otherParts(
        QStringLiteral("/PackList_ListView/.*\\|section[0-9]+$|/packlst_\\w+_cmd\\|tooltip$"));
    return otherParts.match(at).hasMatch();
}

// The controls a screen reader names, with every one below `parent` that has no name.
void findNameless(QAccessibleInterface* parent, const QString& at, QStringList& nameless)
{
    static const QSet<QAccessible::Role> controls{
        QAccessible::PushButton,  QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::List,        QAccessible::Tree,     QAccessible::Table,       QAccessible::EditableText,
        QAccessible::ProgressBar, QAccessible::Slider,   QAccessible::SpinBox,     QAccessible::ButtonMenu,
        QAccessible::PageTabList};
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* child = parent->child(i);
        if (!child || child->state().invisible)
            continue;
        const QObject* o = child->object();
        const QString place =
            at + QLatin1Char('/') +
            (o && !o->objectName().isEmpty() ? o->objectName() : QString::number(child->role(), 16));
        if (controls.contains(child->role()) && child->text(QAccessible::Name).trimmed().isEmpty())
            nameless << place;
        findNameless(child, place, nameless);
    }
}

struct ProgramRun
{
    const char* program;
    QStringList arguments;
    const char* language; // LANGUAGE; LANG is de_DE.UTF-8, and there is no display
    int exit;
    QString shown; // the start of stdout, or else of stderr
};

} // namespace
Q_DECLARE_METATYPE(ProgramRun)

class TestTranslations : public QObject
{
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        QSettings(m_config.filePath(QStringLiteral("Vantu/KlivaTARN.conf")), QSettings::IniFormat)
            .setValue("ShowTod", "0");
    }

    // lupdate over the sources leaves the committed catalogs as they are: none is behind a
    // changed text, and the German one has every text translated, with its placeholders and
    // one accelerator where the English has one.
    void catalogsFollowTheSources()
    {
        QTemporaryDir copy;
        const QStringList catalogs{QStringLiteral("klivatarn.ts"), QStringLiteral("klivatarn_de.ts")};
        for (const QString& name : catalogs)
            QVERIFY(QFile::copy(kSourceDir + QStringLiteral("/translations/") + name, copy.filePath(name)));
        QProcess lupdate;
        lupdate.setWorkingDirectory(copy.path());
        lupdate.start(QStringLiteral(KT_LUPDATE),
                      QString::fromLatin1(KT_LUPDATE_OPTIONS).split(QLatin1Char(' ')) +
                          QStringList{kSourceDir + QStringLiteral("/src"), QStringLiteral("-ts")} + catalogs);
        QVERIFY(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0);
        QCOMPARE(QString::fromLocal8Bit(lupdate.readAllStandardError()),
                 QString()); // no tr() it cannot place
        for (const QString& name : catalogs) {
            QFile updated(copy.filePath(name)),
                committed(kSourceDir + QStringLiteral("/translations/") + name);
            QVERIFY(updated.open(QIODevice::ReadOnly) && committed.open(QIODevice::ReadOnly));
            QVERIFY2(updated.readAll() == committed.readAll(),
                     qPrintable(
                         name +
                         QStringLiteral(" is behind the sources: cmake --build build --target kt_lupdate")));
        }
        QFile german(copy.filePath(QStringLiteral("klivatarn_de.ts")));
        QVERIFY(german.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&german);
        QString source;
        int messages = 0;
        QStringList faults;
        static const QRegularExpression placeholders(QStringLiteral("%[0-9]"));
        auto marks = [](const QString& text) {
            QStringList found;
            for (auto m = placeholders.globalMatch(text); m.hasNext();)
                found << m.next().captured();
            found.sort();
            return found;
        };
        auto accelerators = [](QString text) {
            return text.remove(QStringLiteral("&&")).count(QLatin1Char('&'));
        };
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            // A carriage return is an element of its own inside a text: read over it.
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (xml.name() == QLatin1String("translation")) {
                ++messages;
                const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
                const QString translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (!finished || translation.isEmpty() || marks(source) != marks(translation) ||
                    accelerators(source) != accelerators(translation))
                    faults << source;
            }
        }
        QVERIFY(!xml.hasError());
        QVERIFY(messages > 200);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // Both programs in German from their first line, with a display and without one;
    // English first in the user's languages keeps them English, another language without
    // a catalog passes on to the next.
    void programsInGerman_data()
    {
        test::addRows<ProgramRun>({
            {"packer usage",
             {"klivatarn-pack", {"--help"}, "de", 0, "Aufruf: klivatarn-pack --info [-z] DATEI...\n"}},
            {"packer usage error",
             {"klivatarn-pack",
              {"--bogus"},
              "de",
              2,
              "klivatarn-pack: unbekannte Option '--bogus'\n"
              "„klivatarn-pack --help“ gibt weitere Informationen.\n"}},
            {"packer message",
             {"klivatarn-pack",
              {"-o", "/", "a.mpg"},
              "de",
              1,
              "klivatarn-pack: '/' ist ein Ordner; -o braucht den Namen einer Datei.\n"}},
            {"French, then German",
             {"klivatarn-pack",
              {"x.mpg"},
              "fr:de",
              2,
              "klivatarn-pack: die Ausgabedatei fehlt (-o AUSGABE)\n"}},
            {"English, then German",
             {"klivatarn-pack",
              {"x.mpg"},
              "en:de",
              2,
              "klivatarn-pack: the output file is missing (-o OUTPUT)\n"}},
            {"window usage", {"klivatarn", {"--help"}, "de", 0, "Aufruf: klivatarn [--] [DATEI...]\n"}},
            {"window usage error",
             {"klivatarn", {"--bogus"}, "de", 2, "klivatarn: unbekannte Option '--bogus'\n"}},
            {"no display",
             {"klivatarn",
              {},
              "de",
              1,
              "klivatarn: Anzeige kann nicht geöffnet werden: DISPLAY und WAYLAND_DISPLAY sind "
              "nicht gesetzt\n"}},
        });
    }
    void programsInGerman()
    {
        QFETCH(ProgramRun, row);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        env.insert(QStringLiteral("LANGUAGE"), QLatin1String(row.language));
        QTemporaryDir runtime; // a lock of its own, whatever else runs
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kBinDir + QLatin1Char('/') + QLatin1String(row.program), row.arguments);
        QVERIFY(p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE((out.isEmpty() ? err : out).left(row.shown.size()), row.shown);
        QCOMPARE(p.exitCode(), row.exit);
    }

    // The windows in German: a menu title, the Preferences title, Qt's own button and key
    // names, the German tips; then no text of any window reads as its English source.
    void windowsInGerman()
    {
        const test::ProgramWindows inEnglish = test::buildProgramWindows(kBinDir);
        QMap<QString, QString> before;
        for (QWidget* w : inEnglish.all())
            before.insert(shownTexts(w));
        QCOMPARE(installTranslations(*qApp, kBinDir + QStringLiteral("/translations")), QStringLiteral("de"));
        const test::ProgramWindows german = test::buildProgramWindows(kBinDir);
        QCOMPARE(german.main->action(QStringLiteral("FileMnu"))->text(), QStringLiteral("&Datei"));
        QCOMPARE(german.preferences->windowTitle(), QStringLiteral("Einstellungen"));
        QCOMPARE(german.tips->findChild<QLabel*>(QStringLiteral("lblTipText"))->text().left(25),
                 QStringLiteral("Sie können viele Dateien "));
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Ja"));
        QMap<QString, QString> after;
        for (QWidget* w : german.all())
            after.insert(shownTexts(w));
        // The same texts in the same places.
        const QSet<QString> places(after.keyBegin(), after.keyEnd()),
            englishPlaces(before.keyBegin(), before.keyEnd());
        QCOMPARE(QSet<QString>(places).subtract(englishPlaces), QSet<QString>());
        QCOMPARE(QSet<QString>(englishPlaces).subtract(places), QSet<QString>());
        QStringList untranslated;
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            if (it.value() == before.value(it.key()) && !sameInGerman(it.key(), it.value()))
                untranslated << it.key() + QStringLiteral(": ") + it.value();
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    }

    // Every control of every window has a name a screen reader can read out.
    void everyControlNamed()
    {
        const test::ProgramWindows windows = test::buildProgramWindows(kBinDir);
        QStringList nameless;
        auto* pages = windows.preferences->findChild<QComboBox*>(QStringLiteral("PrefCmb"));
        QVERIFY(pages && pages->count() > 1);
        for (int page = pages->count(); page-- > 0;) {
            pages->setCurrentIndex(page); // every page of Preferences, and the other windows once
            for (QWidget* window : windows.all())
                if (page == 0 || window == windows.preferences.get())
                    findNameless(QAccessible::queryAccessibleInterface(window),
                                 window->objectName() + QString::number(page), nameless);
        }
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char* argv[])
{
    for (const auto& [name, value] : kGerman)
        qputenv(name, value);
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    QApplication app(argc, argv);
    TestTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
