#pragma once

#include "Models/HotKey.hpp"
#include "Platform/Fake/FakeBackend.hpp"
#include "QtPrinters.hpp"
#include "Services/ProfileStore.hpp"
#include "TestProfiles.hpp"
#include "UI/Alert.hpp"
#include "UI/AlertSound.hpp"
#include "UI/MenuController.hpp"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tavelor::test {

/// A controller over the fake platform with its files in a fresh folder, on a desktop with
/// one application, A, whose windows the tests add. Alerts are answered by `answer` and kept
/// as "style|message|informative|buttons|field" (the field as left after the answer, "-"
/// without one); beeps are counted.
class MenuFixture : public testing::Test {
protected:
    MenuFixture()
    {
        backend.source.applications = {{platform::ApplicationKind::Regular, 7, "org.example.A", "A",
                                        std::vector<platform::LiveWindow>{}}};
        Alert::setModalHookForTesting([this](Alert& a) {
            const int response = answer(a);
            const char* styles[] = {"warning", "info", "critical"};
            alerts << QStringList{styles[int(a.style)], a.messageText, a.informativeText,
                                  a.buttons().join(','),
                                  a.hasTextField() ? a.textFieldString() : "-"}
                          .join('|');
            return response;
        });
        AlertSound::setHookForTesting([this] { ++beeps; });
    }
    ~MenuFixture() override
    {
        Alert::setModalHookForTesting({});
        AlertSound::setHookForTesting({});
    }

    /// Makes the controller and builds the menu once, as start-up does.
    void start()
    {
        controller = std::make_unique<MenuController>(backend, locations);
        controller->setMenu(&menu);
        controller->refresh(&menu);
    }
    QByteArray fileBytes() const { return readFile(locations.profilesFolder + "/profiles.json"); }
    void saveHotKey(int keyCode, int modifiers)
    {
        QSettings settings(locations.defaultsFile, QSettings::IniFormat);
        settings.setValue("hotKeyKeyCode", keyCode);
        settings.setValue("hotKeyModifiers", modifiers);
    }
    /// Each alert answers `response` with `typed` in its field.
    void answerWith(int response, const QString& typed)
    {
        answer = [response, typed](Alert& alert) {
            alert.setTextFieldString(typed);
            return response;
        };
    }
    /// The menu as lines: "---" for a separator, "[x] " before a checked item,
    /// "(disabled) " before a disabled one, submenu items indented under their parent.
    static QStringList outline(const QMenu* menu, int depth = 0)
    {
        QStringList lines;
        for (const QAction* a : menu->actions()) {
            lines << QString(depth * 2, ' ') +
                         (a->isSeparator() ? "---"
                                           : QString(a->isChecked() ? "[x] " : "") +
                                                 (a->isEnabled() ? "" : "(disabled) ") + a->text());
            if (a->menu())
                lines << outline(a->menu(), depth + 1);
        }
        return lines;
    }
    /// The item reached by following titles down the submenus, or null.
    QAction* item(const QStringList& path) const
    {
        const QMenu* current = &menu;
        QAction* found = nullptr;
        for (const QString& title : path) {
            found = nullptr;
            for (QAction* a : current ? current->actions() : QList<QAction*>{})
                if (!found && !a->isSeparator() && a->text() == title)
                    found = a;
            if (!found)
                return nullptr;
            current = found->menu();
        }
        return found;
    }
    static WindowProfile profile(const QString& name, bool active,
                                 const QList<std::optional<QString>>& appNames = {})
    {
        WindowProfile p{QUuid::createUuid(), name, {}, active, 100, 200};
        double x = 0;
        for (const std::optional<QString>& app : appNames)
            p.snapshots.append(
                {"org.example." + app.value_or("x"), app, "Window", {x += 10, 20, 300, 200}});
        return p;
    }

    QTemporaryDir dir;
    fake::FakeBackend backend;
    MenuController::Locations locations{dir.filePath("data/Tavelor"),
                                        dir.filePath("config/Tavelor/Tavelor.conf")};
    ProfileStore store{locations.profilesFolder};
    QMenu menu;
    std::unique_ptr<MenuController> controller;
    QStringList alerts;
    std::function<int(Alert&)> answer = [](Alert&) { return Alert::kFirstButtonReturn; };
    int beeps = 0;
};

} // namespace tavelor::test
