#pragma once

#include "Platform/X11/X11Backend.hpp"
#include "Services/WindowScanner.hpp"
#include "support/TestDesktop.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace tavelor::x11::testing {

/// A fresh backend on the test desktop, which starts each test without
/// client windows. Desktop entries are written to $XDG_DATA_HOME, which the
/// test desktop makes private.
class X11TestCase : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    X11Backend& backend() { return *m_backend; }
    X11Connection& connection() { return *m_backend->connection(); }
    std::vector<WindowScanner::ScanResult> scan();

    static void writeDesktopFile(const QString& id, const QByteArray& contents);

private:
    std::unique_ptr<X11Backend> m_backend;
};

/// The window a scan result stands for.
xcb_window_t windowOf(const WindowScanner::ScanResult& result);

} // namespace tavelor::x11::testing
