#pragma once

#include "Platform/Fake/FakeBackend.hpp"
#include "Services/ProfileStore.hpp"
#include "UI/Alert.hpp"
#include "UI/MenuController.hpp"

#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace tavelor::test {

/// What an alert showed, copied when it ran.
struct ShownAlert {
    QString messageText;
    QString informativeText;
    Alert::Style style = Alert::Style::Warning;
    QStringList buttons;
    bool hasTextField = false;
    QString textField;
};

/// A controller over the fake platform, with its files in a fresh folder, its
/// alerts answered by `answer` and its beeps counted.
class MenuFixture : public testing::Test {
protected:
    MenuFixture();
    ~MenuFixture() override;

    /// Makes the controller (after the test has set up the file and the
    /// settings) and builds the menu once, as start-up does.
    MenuController& start();

    void writeProfiles(const QList<WindowProfile>& profiles) { m_fileStore.save(profiles); }
    QList<WindowProfile> fileProfiles() { return m_fileStore.load(); }
    QByteArray fileBytes() const;
    void saveHotKey(int keyCode, int modifiers);

    /// The menu as lines: "---" for a separator, "[x] " before a checked
    /// item, "(disabled) " before a disabled one, items of a submenu indented
    /// by two spaces under their parent.
    static QStringList outline(const QMenu* menu, int depth = 0);
    /// The item reached by following titles down the submenus, or null.
    static QAction* find(const QMenu* menu, const QStringList& path);
    QAction* item(const QStringList& path) { return find(&menu, path); }

    static WindowProfile profile(const QString& name, bool active,
                                 const QList<std::optional<QString>>& appNames = {});

    QTemporaryDir dir;
    fake::FakeBackend backend;
    MenuController::Locations locations;
    QMenu menu;
    std::unique_ptr<MenuController> controller;

    std::vector<ShownAlert> alerts;
    /// Answers each alert; by default the first button, leaving the field as is.
    std::function<int(Alert&)> answer = [](Alert&) { return Alert::kFirstButtonReturn; };
    int beeps = 0;

private:
    ProfileStore m_fileStore;
};

} // namespace tavelor::test
