#include "Platform/Xdg/DesktopEntries.hpp"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace tavelor::xdg {

namespace {

// Desktop files are small; anything larger is not one.
constexpr qint64 kMaxDesktopFileSize = qint64{1024} * 1024;

QString unescapeValue(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's':
            out += u' ';
            break;
        case 'n':
            out += u'\n';
            break;
        case 't':
            out += u'\t';
            break;
        case 'r':
            out += u'\r';
            break;
        case '\\':
            out += u'\\';
            break;
        default:
            out += c;
            out += next;
        }
    }
    return out;
}

QString posixLocaleFromEnvironment()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QStringList dataDirsFromEnvironment()
{
    QStringList dirs;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    dirs << home;
    QString system = qEnvironmentVariable("XDG_DATA_DIRS");
    if (system.isEmpty())
        system = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : system.split(u':', Qt::SkipEmptyParts))
        dirs << dir;
    return dirs;
}

} // namespace

QStringList localeKeysFor(const QString& posixLocale)
{
    QString locale = posixLocale;
    QString modifier;
    if (const qsizetype at = locale.indexOf(u'@'); at >= 0) {
        modifier = locale.mid(at + 1);
        locale.truncate(at);
    }
    if (const qsizetype dot = locale.indexOf(u'.'); dot >= 0)
        locale.truncate(dot); // the encoding plays no part
    if (locale.isEmpty() || locale == u"C" || locale == u"POSIX")
        return {};
    QString lang = locale;
    QString country;
    if (const qsizetype underscore = locale.indexOf(u'_'); underscore >= 0) {
        lang = locale.left(underscore);
        country = locale.mid(underscore + 1);
    }
    QStringList keys;
    if (!country.isEmpty() && !modifier.isEmpty())
        keys << lang + u'_' + country + u'@' + modifier;
    if (!country.isEmpty())
        keys << lang + u'_' + country;
    if (!modifier.isEmpty())
        keys << lang + u'@' + modifier;
    keys << lang;
    return keys;
}

std::optional<DesktopEntry> parseDesktopEntry(const QByteArray& contents, const QString& id,
                                              const QStringList& localeKeys)
{
    DesktopEntry entry;
    entry.id = id;
    bool inGroup = false;
    bool sawGroup = false;
    bool hasName = false;
    qsizetype bestLocale = localeKeys.size(); // index of the Name[...] taken so far
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == u"[Desktop Entry]";
            sawGroup = sawGroup || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(QStringView(line).mid(equals + 1).trimmed());
        if (key == u"Name") {
            if (bestLocale == localeKeys.size())
                entry.name = value;
            hasName = true;
        } else if (key.startsWith(u"Name[") && key.endsWith(u']')) {
            const qsizetype index = localeKeys.indexOf(key.mid(5, key.size() - 6));
            if (index >= 0 && index < bestLocale) {
                bestLocale = index;
                entry.name = value;
            }
        } else if (key == u"StartupWMClass") {
            entry.startupWmClass = value;
        } else if (key == u"Hidden") {
            entry.hidden = value == u"true";
        }
    }
    if (!sawGroup || !hasName)
        return std::nullopt;
    return entry;
}

DesktopEntries::DesktopEntries(QStringList dataDirs, QString posixLocale)
    : m_dataDirs(std::move(dataDirs)), m_locale(std::move(posixLocale))
{}

std::vector<qint64> DesktopEntries::folderStamps() const
{
    // Adding or removing a file changes its folder's modification time; -1
    // stands for a folder that does not exist.
    std::vector<qint64> stamps;
    stamps.reserve(std::size_t(m_folders.size()));
    for (const QString& folder : m_folders) {
        const QFileInfo info(folder);
        stamps.push_back(info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1);
    }
    return stamps;
}

void DesktopEntries::reloadIfChanged()
{
    if (m_loaded && folderStamps() != m_stamps)
        load();
}

void DesktopEntries::load()
{
    m_loaded = true;
    m_entries.clear();
    m_byId.clear();
    m_byStartupWmClass.clear();
    m_folders.clear();
    const QStringList dataDirs = m_dataDirs.value_or(dataDirsFromEnvironment());
    const QStringList localeKeys = localeKeysFor(m_locale.value_or(posixLocaleFromEnvironment()));
    for (const QString& dataDir : dataDirs)
        m_folders << dataDir + QStringLiteral("/applications");
    m_stamps = folderStamps();
    QSet<QString> seenIds; // an id found in an earlier folder hides later ones
    for (const QString& base : std::as_const(m_folders)) {
        QDirIterator it(base, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString path = it.next();
            // The id is the path below applications/ with '/' made '-'.
            QString id = QDir(base).relativeFilePath(path);
            id.replace(u'/', u'-');
            id.chop(int(sizeof(".desktop") - 1));
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            QFile file(path);
            if (file.size() > kMaxDesktopFileSize || !file.open(QIODevice::ReadOnly))
                continue;
            std::optional<DesktopEntry> entry = parseDesktopEntry(file.readAll(), id, localeKeys);
            if (!entry || entry->hidden)
                continue;
            const std::size_t index = m_entries.size();
            m_byId.insert(entry->id, index);
            if (!entry->startupWmClass.isEmpty() &&
                !m_byStartupWmClass.contains(entry->startupWmClass))
                m_byStartupWmClass.insert(entry->startupWmClass, index);
            m_entries.push_back(std::move(*entry));
        }
    }
}

const DesktopEntry* DesktopEntries::find(const QString& instance, const QString& className,
                                         const QString& gtkApplicationId)
{
    if (!m_loaded)
        load();
    auto lookUp = [this](const QHash<QString, std::size_t>& table,
                         const QString& key) -> const DesktopEntry* {
        if (key.isEmpty())
            return nullptr;
        auto it = table.constFind(key);
        return it == table.constEnd() ? nullptr : &m_entries[*it];
    };
    for (const DesktopEntry* entry :
         {lookUp(m_byStartupWmClass, instance), lookUp(m_byStartupWmClass, className),
          lookUp(m_byId, instance), lookUp(m_byId, className), lookUp(m_byId, gtkApplicationId)}) {
        if (entry)
            return entry;
    }
    return nullptr;
}

} // namespace tavelor::xdg
