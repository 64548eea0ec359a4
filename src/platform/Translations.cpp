#include "Translations.h"

#include "Program.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kt {
namespace {

const QString kProgramCatalog = QStringLiteral("klivatarn");

bool isEnglish(const QString& language)
{
    return language == QLatin1String("C") || language == QLatin1String("POSIX") ||
           language.section(QLatin1Char('-'), 0, 0).compare(QLatin1String("en"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString translationsFolder()
{
    return programDataDir(QCoreApplication::applicationDirPath()) + QStringLiteral("/translations");
}

QString findTranslatedLanguage(const QStringList& uiLanguages, const QString& folder, const QString& base,
                               const QString& suffix)
{
    for (const QString& language : uiLanguages) {
        if (isEnglish(language))
            return {};
        QString name = language;
        name.replace(QLatin1Char('-'), QLatin1Char('_'));
        for (; !name.isEmpty(); name = name.section(QLatin1Char('_'), 0, -2)) {
            if (QFileInfo(folder + QLatin1Char('/') + base + QLatin1Char('_') + name + suffix).isFile())
                return name;
        }
    }
    return {};
}

QString programLanguage(const QString& folder)
{
    return findTranslatedLanguage(QLocale::system().uiLanguages(), folder, kProgramCatalog,
                                  QStringLiteral(".qm"));
}

QString installTranslations(QCoreApplication& app, const QString& folder)
{
    const QString language = programLanguage(folder);
    if (language.isEmpty())
        return {};
    // Qt's texts in the same language as the program's, so a message box never mixes two;
    // a missing Qt catalog leaves its buttons English.
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const auto& [name, in] :
         {std::pair{kProgramCatalog, folder}, std::pair{QStringLiteral("qtbase"), qtFolder}}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(name + QLatin1Char('_') + language, in))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
    return language;
}

} // namespace kt
