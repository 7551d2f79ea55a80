#include "client/aolkit_client.h"
#include "client/client_windows.h"
#include "client/send.h"

namespace AolKit {

// The client's idle prompt is answered "stay signed on" by its first icon.
void DismissModal() {
    using namespace client_windows;
    Click(FirstChild(FindWindowA("_AOL_Modal", nullptr), kIcon));
}

} // namespace AolKit
