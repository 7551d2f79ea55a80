#include "client/screen_name.h"

namespace screen_name {

std::optional<std::wstring> FromWelcomeCaption(const std::wstring& caption) {
    static const std::wstring kWelcome = L"Welcome, ";
    if (caption.compare(0, kWelcome.size(), kWelcome) != 0) return std::nullopt;
    const std::wstring rest = caption.substr(kWelcome.size());
    return rest.substr(0, rest.find(L'!'));
}

} // namespace screen_name
