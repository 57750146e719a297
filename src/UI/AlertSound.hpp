#pragma once

#include <functional>

namespace tavelor::AlertSound {

/// The system alert sound, once; no window is shown.
void beep();

/// Replaces the sound for every later beep(), so tests can count them; an
/// empty hook brings the sound back.
void setHookForTesting(std::function<void()> hook);

} // namespace tavelor::AlertSound
