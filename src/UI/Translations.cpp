#include "UI/Translations.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTranslator>

namespace tavelor {

namespace {

QString environment(const char* name)
{
    return qEnvironmentVariable(name).trimmed();
}

// "fr_CA.UTF-8@euro" -> "fr_CA"; the table names carry no codeset or modifier.
QString languageOf(QString locale)
{
    const qsizetype end = locale.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    if (end >= 0)
        locale.truncate(end);
    return locale;
}

bool isUntranslatedLocale(const QString& language)
{
    return language.isEmpty() || language == QLatin1String("C") ||
           language == QLatin1String("POSIX");
}

QStringList tableFolders()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    return {exeDir + QStringLiteral("/translations"),
            QDir::cleanPath(exeDir + QStringLiteral("/../share/tavelor/translations")),
            QStringLiteral(TAVELOR_TRANSLATIONS_DIR)};
}

} // namespace

QStringList preferredLanguages()
{
    QString locale = environment("LC_ALL");
    if (locale.isEmpty())
        locale = environment("LC_MESSAGES");
    if (locale.isEmpty())
        locale = environment("LANG");
    const QString base = languageOf(locale);
    // As gettext: LANGUAGE is not consulted when the locale itself is C.
    if (isUntranslatedLocale(base))
        return {};
    QStringList languages;
    for (const QString& entry :
         environment("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString language = languageOf(entry);
        // "C" in LANGUAGE stands for the untranslated texts: nothing after it counts.
        if (isUntranslatedLocale(language))
            return languages;
        languages.append(language);
    }
    languages.append(base);
    return languages;
}

QString installTranslations(const QStringList& languages)
{
    QStringList candidates;
    for (const QString& language : languages) {
        candidates.append(language);
        const QString bare = language.section(QLatin1Char('_'), 0, 0);
        if (bare != language)
            candidates.append(bare);
    }
    const QStringList folders = tableFolders();
    for (const QString& language : std::as_const(candidates)) {
        for (const QString& folder : folders) {
            // The exact file: QTranslator would otherwise try shorter names too.
            const QString file =
                folder + QStringLiteral("/tavelor_") + language + QStringLiteral(".qm");
            if (!QFileInfo::exists(file))
                continue;
            auto* translator = new QTranslator(QCoreApplication::instance());
            if (translator->load(file) && QCoreApplication::installTranslator(translator))
                return language;
            delete translator;
        }
    }
    return {};
}

} // namespace tavelor
