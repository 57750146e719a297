#pragma once

#include <QString>
#include <QStringList>

namespace tavelor {

/// The languages the user asked for, best first, as gettext reads them: the
/// locale of messages is LC_ALL, else LC_MESSAGES, else LANG; with a C or POSIX
/// locale (or none) there are none, and the program's texts show as written;
/// otherwise the LANGUAGE list comes before that locale. Each entry is reduced
/// to its language and country ("fr_CA.UTF-8@euro" gives "fr_CA").
QStringList preferredLanguages();

/// Loads the first of `languages` that has a table ("fr_CA" also finds "fr")
/// and installs it on the application, which must exist. Tables are looked for
/// beside the executable (the build tree), in ../share/tavelor/translations
/// from it, and in the installed data folder. Answers the language loaded, or
/// an empty string when the texts stay as written.
QString installTranslations(const QStringList& languages = preferredLanguages());

} // namespace tavelor
