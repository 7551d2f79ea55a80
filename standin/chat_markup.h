#pragma once
// What a room shows of a chat line: the HTML subset the client interprets in
// the lines it receives, turned into runs of text of one style each.
// Portable, so it is tested natively too.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

inline constexpr std::uint32_t kChatBlack = 0x000000;
// The face of text no font tag has changed.
inline constexpr const char* kChatFace = "Arial";

struct ChatStyle {
    std::uint32_t color = kChatBlack; // 0xRRGGBB
    std::string face = kChatFace;     // as the line names it; the view picks an installed one
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool link = false;

    bool operator==(const ChatStyle&) const = default;
};

struct ChatRun {
    std::string text; // the line's bytes (Windows-1252), tags taken out
    ChatStyle style;

    bool operator==(const ChatRun&) const = default;
};

// A message's runs, in order; neighbours differ in style and none is empty.
// Tags: <font color= face=> ... </font>, <b>, <i>, <u>, <a href=> and their
// end tags, names and attributes in any letter case, a blank allowed after
// "<". End tags without a start and unknown tags are dropped; a "<" that
// starts no tag, or whose tag has no ">", is text.
std::vector<ChatRun> ParseChatMarkup(std::string_view message, const ChatStyle& base = {});

// One line of the room: the screen name in bold, then ": " and the message.
std::vector<ChatRun> RoomLineRuns(std::string_view name, std::string_view message);

} // namespace standin
