#pragma once
// The signed-on screen name, read from the Welcome window's caption: the
// reading (portable, here) and the routine that finds the window
// (AolKit::UserScreenName, in screen_name.cpp).
#include <optional>
#include <string>
#include <string_view>

namespace screen_name {

// The screen name a Welcome caption ("Welcome, " + name + "!") carries:
// nullopt when the caption does not begin with "Welcome, " (case-sensitive);
// otherwise the text after it up to the first "!", or all of it without one.
inline std::optional<std::wstring> FromWelcomeCaption(const std::wstring& caption) {
    constexpr std::wstring_view kWelcome = L"Welcome, ";
    if (caption.compare(0, kWelcome.size(), kWelcome) != 0) return std::nullopt;
    const std::size_t bang = caption.find(L'!', kWelcome.size()); // npos: to the end
    return std::optional<std::wstring>(std::in_place, caption, kWelcome.size(),
                                       bang - kWelcome.size());
}

} // namespace screen_name
