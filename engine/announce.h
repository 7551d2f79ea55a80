#pragma once
// Every line the program says in the chat room: the announcement frame, then
// a tail that opens with "></b>" and the program tag. Values are inserted as
// they stand, unescaped: the room receives exactly what the user typed.
#include <string>

namespace announce {

// The 47-character frame: two font tags, the second left open so that the
// tail's first character closes it.
const std::wstring& Frame();

// The maker's site, used by the site link line and the advert link line.
inline constexpr const wchar_t* kSiteAddress = L"http://www.example.com/idler/";

std::wstring StatusLine(const std::wstring& count, const std::wstring& reason);
std::wstring LinkLine(const std::wstring& address, const std::wstring& text);
std::wstring LoadLine();
std::wstring SiteLinkLine();
std::wstring UnloadLine();
std::wstring ClosingUnloadLine();
std::wstring AdvertLine();
std::wstring AdvertLinkLine();
std::wstring SilentLine(bool on);
std::wstring MouseLine(bool on);
std::wstring MessagesLine(bool on);
std::wstring UserLine(const std::wstring& screenName);
std::wstring TotalLine(const std::wstring& storedTotal);

} // namespace announce
