#include "support/X11TestCase.hpp"

#include <QDir>
#include <QFile>

namespace tavelor::x11::testing {

void X11TestCase::SetUp()
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("TAVELOR_TEST_DESKTOP"))
        << "run inside tests/desktop/test-desktop";
    qputenv("LANG", "fr_FR.UTF-8");
    m_backend = std::make_unique<X11Backend>();
    ASSERT_NE(m_backend->connection(), nullptr);
    // Clients of an earlier test may still be on their way out.
    ASSERT_TRUE(waitUntil([&] { return clientList(connection()).empty(); }));
}

void X11TestCase::TearDown()
{
    m_backend.reset();
}

std::vector<WindowScanner::ScanResult> X11TestCase::scan()
{
    return WindowScanner(m_backend->windowSource()).scan();
}

void X11TestCase::writeDesktopFile(const QString& id, const QByteArray& contents)
{
    const QString dir = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
    QDir().mkpath(dir);
    QFile file(dir + u'/' + id + QStringLiteral(".desktop"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

xcb_window_t windowOf(const WindowScanner::ScanResult& result)
{
    return result.window.toUInt();
}

} // namespace tavelor::x11::testing
