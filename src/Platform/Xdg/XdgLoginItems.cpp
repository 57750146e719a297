#include "Platform/Xdg/XdgLoginItems.hpp"

#include <QFile>
#include <QStandardPaths>

namespace tavelor::xdg {

namespace {

// Desktop entries are small; a larger file is not one of ours.
constexpr qint64 kMaxEntrySize = 64 * 1024;

bool isTrue(QByteArrayView value)
{
    return value.trimmed() == "true";
}

bool isFalse(QByteArrayView value)
{
    return value.trimmed() == "false";
}

} // namespace

QString XdgLoginItems::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/tavelor.desktop");
}

int XdgLoginItems::status()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxEntrySize)
        return platform::kLoginItemNotRegistered;
    const QByteArray content = file.read(kMaxEntrySize);
    bool inMainGroup = false;
    for (QByteArrayView line : content.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArrayView key = line.first(equals).trimmed();
        const QByteArrayView value = line.sliced(equals + 1);
        if ((key == "Hidden" && isTrue(value)) ||
            (key == "X-GNOME-Autostart-enabled" && isFalse(value)))
            return platform::kLoginItemNotRegistered;
    }
    return platform::kLoginItemEnabled;
}

bool XdgLoginItems::registerAndReturnError(QString& error)
{
    error = QStringLiteral("writing the autostart entry is not supported yet");
    return false;
}

bool XdgLoginItems::unregisterAndReturnError(QString& error)
{
    error = QStringLiteral("removing the autostart entry is not supported yet");
    return false;
}

} // namespace tavelor::xdg
