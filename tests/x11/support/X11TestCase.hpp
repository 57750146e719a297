#pragma once

#include "Platform/X11/X11Backend.hpp"
#include "Services/WindowScanner.hpp"
#include "support/TestDesktop.hpp"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace tavelor::x11::testing {

/// A fresh backend on the test desktop, which starts each test without
/// client windows.
class X11TestCase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("TAVELOR_TEST_DESKTOP"))
            << "run inside tests/desktop/test-desktop";
        qputenv("LANG", "fr_FR.UTF-8");
        m_backend = std::make_unique<X11Backend>();
        ASSERT_NE(m_backend->connection(), nullptr);
        // Clients of an earlier test may still be on their way out.
        ASSERT_TRUE(waitUntil([&] { return clientList(connection()).empty(); }));
    }

    X11Backend& backend() { return *m_backend; }
    X11Connection& connection() { return *m_backend->connection(); }
    std::vector<WindowScanner::ScanResult> scan()
    {
        return WindowScanner(m_backend->windowSource()).scan();
    }

    /// Into $XDG_DATA_HOME, which the test desktop makes private.
    static void writeDesktopFile(const QString& id, const QByteArray& contents)
    {
        const QString dir = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
        QDir().mkpath(dir);
        QFile file(dir + u'/' + id + QStringLiteral(".desktop"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }

private:
    std::unique_ptr<X11Backend> m_backend;
};

/// The window a scan result stands for.
inline xcb_window_t windowOf(const WindowScanner::ScanResult& result)
{
    return result.window.toUInt();
}

} // namespace tavelor::x11::testing
