#include "translations/Translations.h"

#include "plain/Language.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace dw {

namespace {

void Install(QCoreApplication& app, const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(name, folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void InstallTranslations(QCoreApplication& app, bool withQtTexts)
{
    if (CurrentLanguage() == Language::English)
        Install(app, QStringLiteral("datumswecker_en"), QStringLiteral(":/i18n"));
    else if (withQtTexts)
        Install(app, QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

} // namespace dw
