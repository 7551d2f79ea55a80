#pragma once
// Reading the screen name from the Welcome window's caption. Portable.
#include <optional>
#include <string>

namespace screen_name {

// The screen name a Welcome caption ("Welcome, " + name + "!") carries:
// nullopt when the caption does not begin with "Welcome, " (case-sensitive);
// otherwise the text after it up to the first "!", or all of it without one.
std::optional<std::wstring> FromWelcomeCaption(const std::wstring& caption);

} // namespace screen_name
