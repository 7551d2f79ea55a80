#include "client/aolkit_client.h"
#include "client/client_windows.h"
#include "client/send.h"

namespace AolKit {

// The room's second "RICHCNTL" is its input box (the first shows the room's
// lines); the client sends the box's content when it gets character 13.
void ChatSend(const std::wstring& line) {
    using namespace client_windows;
    HWND room = FindChatRoom();
    TypeInto(NextChild(room, FirstChild(room, kRichText), kRichText), line, "\r");
}

} // namespace AolKit
