#include "client/screen_name.h"
#include "client/aolkit_client.h"
#include "client/client_windows.h"

namespace AolKit {

std::wstring UserScreenName() {
    std::wstring name;
    client_windows::FindDocument([&](HWND document) {
        const auto found = screen_name::FromWelcomeCaption(GetCaption(document));
        if (found) name = *found;
        return found.has_value();
    });
    return name;
}

} // namespace AolKit
