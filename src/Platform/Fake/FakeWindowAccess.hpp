#pragma once

#include "Platform/WindowAccess.hpp"

namespace tavelor::fake {

/// Access the test grants or withholds; a prompt may grant it. Both kinds of
/// query are counted.
class FakeWindowAccess final : public platform::WindowAccess {
public:
    bool canWorkWithWindows(bool mayPrompt) override
    {
        ++(mayPrompt ? promptingCalls : silentCalls);
        if (mayPrompt && promptGrants)
            granted = true;
        return granted;
    }

    bool granted = true;
    bool promptGrants = false;
    int silentCalls = 0;
    int promptingCalls = 0;
};

} // namespace tavelor::fake
