#pragma once
// Real files for the data-file tests: a private folder, whole-file reads and
// writes as bytes, and the ANSI text of a wide string.
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with what it holds.
struct ScratchFolder {
    std::wstring path; // with a final backslash
    ScratchFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        path = std::wstring(temp) + L"idler-store-" + std::to_wstring(GetCurrentProcessId()) +
               L"-" + std::to_wstring(++serial) + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::wstring& name : Names()) {
            SetFileAttributesW((path + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW((path + name).c_str())) RemoveDirectoryW((path + name).c_str());
        }
        RemoveDirectoryW(path.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::wstring operator/(const std::wstring& name) const { return path + name; }

    // Everything in the folder but "." and "..".
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }
};

inline std::optional<std::string> FileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

inline void PutFile(const std::wstring& path, const std::string& bytes) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

inline void RemoveFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// Code page 1252 in the test prefix.
inline std::string Ansi(const std::wstring& text) {
    std::string out(text.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                      out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

inline std::wstring Wide(const std::string& bytes) {
    std::wstring out(bytes.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), static_cast<int>(bytes.size()),
                                      out.data(), static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

inline std::string Narrow(const std::wstring& path) {
    return Ansi(path);
}
