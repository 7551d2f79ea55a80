#pragma once
// Posting a pair of fixed lines: the first, a pause, then the second. Events
// that come in meanwhile (a tick, a menu command) run inside the pause and
// may post their own lines between the two.
#include "client/aolkit_client.h"
#include "engine/pause.h"
#include <string>

inline void PostPair(const std::wstring& first, const std::wstring& second) {
    AolKit::ChatSend(first);
    AolKit::Pause(0);
    AolKit::ChatSend(second);
}
