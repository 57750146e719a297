#include "Platform/Xdg/XdgLoginItems.hpp"

#include "Support/AtomicFile.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace tavelor::xdg {

namespace {

constexpr char kEntryName[] = "tavelor.desktop";
constexpr char kGroup[] = "[Desktop Entry]";
// Far more than any entry we write; a larger file is not ours.
constexpr qint64 kMaximumEntrySize = qint64{64} * 1024;

QString describe(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The freedesktop.org Desktop Entry standard, section "The Exec key".
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

QString unescapeString(QStringView value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            result += c;
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's':
            result += u' ';
            break;
        case 'n':
            result += u'\n';
            break;
        case 't':
            result += u'\t';
            break;
        case 'r':
            result += u'\r';
            break;
        case '\\':
            result += u'\\';
            break;
        default:
            result += c;
            result += next;
            break;
        }
    }
    return result;
}

bool isExecutableFile(const QString& path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

XdgLoginItems::XdgLoginItems(QString autostartFolder, QString executable)
    : m_folder(std::move(autostartFolder)), m_executable(std::move(executable))
{}

QString XdgLoginItems::folder() const
{
    if (!m_folder.isEmpty())
        return m_folder;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString XdgLoginItems::executable() const
{
    return m_executable.isEmpty() ? QCoreApplication::applicationFilePath() : m_executable;
}

QString XdgLoginItems::entryPath() const
{
    return folder() + u'/' + QLatin1String(kEntryName);
}

platform::LoginItemStatus XdgLoginItems::status()
{
    const QString program = executable();
    if (!isExecutableFile(program))
        return platform::LoginItemStatus::NotFound;

    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaximumEntrySize)
        return platform::LoginItemStatus::NotRegistered;
    const QString text = QString::fromUtf8(file.read(kMaximumEntrySize));

    bool inGroup = false;
    bool enabled = true;
    std::optional<QString> tryExec;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == QLatin1String(kGroup);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || line.startsWith(u'#') || equals < 0)
            continue;
        const QStringView key = line.first(equals).trimmed();
        const QStringView value = line.sliced(equals + 1).trimmed();
        if ((key == u"Hidden" && value == u"true") ||
            (key == u"X-GNOME-Autostart-enabled" && value == u"false"))
            enabled = false;
        else if (key == u"TryExec")
            tryExec = unescapeString(value);
    }
    return enabled && tryExec == program ? platform::LoginItemStatus::Enabled
                                         : platform::LoginItemStatus::NotRegistered;
}

bool XdgLoginItems::setEnabled(bool enabled, QString& error)
{
    return enabled ? add(error) : remove(error);
}

bool XdgLoginItems::add(QString& error)
{
    const QString program = executable();
    if (!isExecutableFile(program)) {
        error = QStringLiteral("Tavelor's executable cannot be found");
        return false;
    }
    errno = 0;
    if (!QDir().mkpath(folder()) || !writeFileAtomically(entryPath(), entryText(program), 0644)) {
        error = describe(errno ? errno : EIO);
        return false;
    }
    return true;
}

bool XdgLoginItems::remove(QString& error)
{
    const QByteArray path = QFile::encodeName(entryPath());
    if (::unlink(path.constData()) == 0 || errno == ENOENT)
        return true;
    error = describe(errno);
    return false;
}

QByteArray XdgLoginItems::entryText(const QString& executable)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Tavelor\n"
                                  "Comment=Puts application windows back where they were\n");
    // TryExec is a plain string value (a path, not a command line): no quotes, no %%.
    text += QStringLiteral("Exec=") + execArgument(executable) + u'\n';
    text += QStringLiteral("TryExec=") + escapeString(executable) + u'\n';
    text += QStringLiteral("Terminal=false\n"
                           "X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

QString XdgLoginItems::execArgument(const QString& argument)
{
    QString quoted;
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument) {
        needsQuotes = needsQuotes || isReserved(c);
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        // Field codes are expanded inside quotes too.
        if (c == u'%')
            quoted += u'%';
    }
    // Without a reserved character there is nothing above to escape either.
    if (needsQuotes)
        quoted = u'"' + quoted + u'"';
    // The string escapes are undone before the quoting is read, so each
    // backslash of the quoting is doubled once more.
    return escapeString(quoted);
}

QString XdgLoginItems::escapeString(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        switch (c.unicode()) {
        case '\\':
            escaped += QStringLiteral("\\\\");
            break;
        case '\n':
            escaped += QStringLiteral("\\n");
            break;
        case '\t':
            escaped += QStringLiteral("\\t");
            break;
        case '\r':
            escaped += QStringLiteral("\\r");
            break;
        // Readers trim the blanks after '='.
        case ' ':
            escaped += i == 0 ? QStringLiteral("\\s") : QStringLiteral(" ");
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

} // namespace tavelor::xdg
