#include "MenuFixture.hpp"

#include "UI/AlertSound.hpp"

#include <QAction>
#include <QFile>
#include <QSettings>

namespace tavelor::test {

MenuFixture::MenuFixture()
    : locations{dir.filePath(QStringLiteral("data/Tavelor")),
                dir.filePath(QStringLiteral("config/Tavelor/Tavelor.conf"))},
      m_fileStore(locations.profilesFolder)
{
    Alert::setModalHookForTesting([this](Alert& alert) {
        const int response = answer(alert);
        alerts.push_back({alert.messageText, alert.informativeText, alert.style, alert.buttons(),
                          alert.hasTextField(), alert.textFieldString()});
        return response;
    });
    AlertSound::setHookForTesting([this] { ++beeps; });
}

MenuFixture::~MenuFixture()
{
    Alert::setModalHookForTesting({});
    AlertSound::setHookForTesting({});
}

MenuController& MenuFixture::start()
{
    controller = std::make_unique<MenuController>(backend, locations);
    controller->setMenu(&menu);
    controller->refresh(&menu);
    return *controller;
}

QByteArray MenuFixture::fileBytes() const
{
    QFile file(locations.profilesFolder + QStringLiteral("/profiles.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

void MenuFixture::saveHotKey(int keyCode, int modifiers)
{
    QSettings settings(locations.defaultsFile, QSettings::IniFormat);
    settings.setValue(QStringLiteral("hotKeyKeyCode"), keyCode);
    settings.setValue(QStringLiteral("hotKeyModifiers"), modifiers);
}

QStringList MenuFixture::outline(const QMenu* menu, int depth)
{
    QStringList lines;
    const QString indent(depth * 2, QLatin1Char(' '));
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            lines << indent + QStringLiteral("---");
            continue;
        }
        QString line = indent;
        if (action->isChecked())
            line += QStringLiteral("[x] ");
        if (!action->isEnabled())
            line += QStringLiteral("(disabled) ");
        lines << line + action->text();
        if (action->menu())
            lines << outline(action->menu(), depth + 1);
    }
    return lines;
}

QAction* MenuFixture::find(const QMenu* menu, const QStringList& path)
{
    QAction* found = nullptr;
    for (const QString& title : path) {
        if (!menu)
            return nullptr;
        found = nullptr;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->text() == title) {
                found = action;
                break;
            }
        }
        if (!found)
            return nullptr;
        menu = found->menu();
    }
    return found;
}

WindowProfile MenuFixture::profile(const QString& name, bool active,
                                   const QList<std::optional<QString>>& appNames)
{
    WindowProfile p;
    p.id = QUuid::createUuid();
    p.name = name;
    p.isActive = active;
    p.createdAt = 100;
    p.updatedAt = 200;
    double x = 0;
    for (const std::optional<QString>& appName : appNames)
        p.snapshots.append({QStringLiteral("org.example.") + appName.value_or(QStringLiteral("x")),
                            appName,
                            QStringLiteral("Window"),
                            {x += 10, 20, 300, 200}});
    return p;
}

} // namespace tavelor::test
