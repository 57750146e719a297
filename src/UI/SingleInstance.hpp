#pragma once

#include <QLockFile>

#include <memory>

namespace tavelor {

/// Keeps a second copy of Tavelor from running for the same user session: a
/// lock file in $XDG_RUNTIME_DIR (the session's own folder, so two test
/// desktops or two seats do not see each other). A copy that died without
/// releasing it leaves a stale lock, which the next start takes over.
class SingleInstance {
public:
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance() = default;

    /// True when this process now holds the lock; false when another running
    /// copy holds it.
    bool tryAcquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tavelor
