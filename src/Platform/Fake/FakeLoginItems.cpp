#include "Platform/Fake/FakeLoginItems.hpp"

namespace tavelor::fake {

bool FakeLoginItems::registerAndReturnError(QString& error)
{
    ++m_registerCalls;
    if (!m_failure.isEmpty()) {
        error = m_failure;
        return false;
    }
    m_status = m_statusAfterRegister;
    return true;
}

bool FakeLoginItems::unregisterAndReturnError(QString& error)
{
    ++m_unregisterCalls;
    if (!m_failure.isEmpty()) {
        error = m_failure;
        return false;
    }
    m_status = 0;
    return true;
}

} // namespace tavelor::fake
