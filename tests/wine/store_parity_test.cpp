// ReadIni and WriteIni against the platform's own profile functions
// (GetPrivateProfileStringA with the lower-cased key and a 750-character
// buffer, WritePrivateProfileStringA with the upper-cased key): the same
// operations on two copies of the same file, read results and file bytes
// compared after every step.
#include "store/aolkit_store.h"
#include "tests/wine/store_file_util.h"
#include <gtest/gtest.h>
#include <cctype>
#include <cstdio>
#include <map>

namespace {

enum class Expect {
    Same,       // the same read result; the same file, byte for byte
    SameLayout, // the same file once the platform has laid both out its way
                // (it rewrites the whole file on every change: blank lines
                // dropped, blanks trimmed, CR LF everywhere)
    Ours,       // on purpose not what the platform does: ours must give `expected`
};

struct Op {
    char kind; // 'r' read, 'w' write
    std::string section, key, value;
    Expect expect = Expect::Same;
    std::string expected = {}; // Ours: the read's result, or "refused" for a write
    const char* why = "";      // Ours: the reason, for the figures
};

struct Case {
    const char* name;
    std::optional<std::string> file; // nullopt: no data file yet
    std::vector<Op> ops;
};

Op R(std::string section, std::string key, Expect expect = Expect::Same) {
    return {'r', std::move(section), std::move(key), "", expect};
}
Op W(std::string section, std::string key, std::string value, Expect expect = Expect::Same) {
    return {'w', std::move(section), std::move(key), std::move(value), expect};
}
Op ROurs(std::string section, std::string key, std::string expected, const char* why) {
    return {'r', std::move(section), std::move(key), "", Expect::Ours, std::move(expected), why};
}
Op WOurs(std::string section, std::string key, std::string value, std::string expected,
         const char* why) {
    return {'w',
            std::move(section),
            std::move(key),
            std::move(value),
            Expect::Ours,
            std::move(expected),
            why};
}

std::string Cased(std::string key, int (*to)(int)) {
    for (char& c : key) c = static_cast<char>(to(static_cast<unsigned char>(c)));
    return key;
}

std::string PlatformRead(const std::string& section, const std::string& key,
                         const std::wstring& file) {
    char buffer[750];
    std::fill(buffer, buffer + 750, '\0');
    const DWORD n = GetPrivateProfileStringA(section.c_str(), Cased(key, ::tolower).c_str(), "",
                                             buffer, 750, Narrow(file).c_str());
    return std::string(buffer, n);
}

bool PlatformWrite(const std::string& section, const std::string& key, const std::string& value,
                   const std::wstring& file) {
    return WritePrivateProfileStringA(section.c_str(), Cased(key, ::toupper).c_str(), value.c_str(),
                                      Narrow(file).c_str()) != 0;
}

std::string OursRead(const std::string& section, const std::string& key, const std::wstring& file) {
    return Ansi(AolKit::ReadIni(Wide(section), Wide(key), file));
}

bool OursWrite(const std::string& section, const std::string& key, const std::string& value,
               const std::wstring& file) {
    return AolKit::WriteIni(Wide(section), Wide(key), Wide(value), file);
}

// The file as the platform lays it out: a copy is made to change (an entry
// added and its section deleted again), so the platform writes it anew.
std::optional<std::string> LaidOut(const std::wstring& file, const ScratchFolder& folder) {
    const std::optional<std::string> bytes = FileBytes(file);
    if (!bytes) return std::nullopt;
    static int serial = 0;
    const std::wstring copy = folder / (L"layout" + std::to_wstring(++serial) + L".ini");
    PutFile(copy, *bytes);
    WritePrivateProfileStringA("layout~", "k", "1", Narrow(copy).c_str());
    WritePrivateProfileStringA("layout~", nullptr, nullptr, Narrow(copy).c_str());
    std::optional<std::string> laid = FileBytes(copy);
    RemoveFile(copy);
    return laid;
}

std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

std::string Utf16Be(const std::u16string& text) {
    std::string bytes = "\xFE\xFF";
    for (char16_t u : text) {
        bytes += static_cast<char>(u >> 8);
        bytes += static_cast<char>(u & 0xFF);
    }
    return bytes;
}

std::vector<Case> Cases() {
    const std::string a800(800, 'a'), b749(749, 'b'), c750(750, 'c'), d800(800, 'd');
    const std::string q749(749, 'q');
    return {
        {"no file: reads, then Reset All's five writes",
         std::nullopt,
         {R("Prefs", "Reason"), R("Time", "Time"), W("Time", "Time", "0"), W("Prefs", "Reason", ""),
          W("Prefs", "Link", ""), W("Prefs", "Text", ""), W("Checks", "Checked", "UnChecked"),
          R("Checks", "Checked"), R("Prefs", "Reason"), R("Time", "Time")}},
        {"Save Prefs and Save Time, then replacements",
         std::nullopt,
         {W("Prefs", "Reason", "brb"), W("Prefs", "Link", "http://example.com/a?b=c"),
          W("Prefs", "Text", "my site"), W("Checks", "Checked", "Checked"), W("Time", "Time", "17"),
          W("Time", "Time", "19"), W("Prefs", "Link", "x"), R("Time", "Time"), R("Prefs", "Link"),
          R("Checks", "Checked")}},
        {"keys in any case; a replacement keeps the file's spelling",
         "[prefs]\r\nreason=a\r\nLink=b\r\nTEXT=c\r\n",
         {R("Prefs", "Reason"), R("Prefs", "Link"), R("Prefs", "Text"), W("Prefs", "Reason", "z"),
          R("Prefs", "Reason")}},
        {"values between matching quotes",
         "[Prefs]\r\nREASON=\"brb\"\r\nLINK='x'\r\nTEXT=\"x'\r\n[Time]\r\nTIME=\"\"\r\n"
         "[Checks]\r\nCHECKED=\"\r\n",
         {R("Prefs", "Reason"), R("Prefs", "Link"), R("Prefs", "Text"), R("Time", "Time"),
          R("Checks", "Checked")}},
        {"blanks around section names, keys and values",
         " [ Prefs ] \r\n  reason  =  brb  \r\n\tLINK\t=\t\x1Ax\x1A\r\nTEXT=\xA0y\xA0\r\n",
         {R("Prefs", "Reason"), R("Prefs", "Link"), R("Prefs", "Text"),
          W("Prefs", "Reason", "new", Expect::SameLayout), R("Prefs", "Reason")}},
        {"only a semicolon at the start makes a comment",
         "; settings\r\n[Prefs]\r\n;REASON=hidden\r\n#LINK=hash\r\nTEXT=a ;b # c\r\n",
         {R("Prefs", "Reason"), R("Prefs", "Link"), R("Prefs", "Text"), W("Prefs", "Reason", "x"),
          R("Prefs", "Reason")}},
        {"CR, LF and CR LF end lines; the last line has no break",
         "[Prefs]\nREASON=a\rLINK=b\r\r\nTEXT=c",
         {R("Prefs", "Reason"), R("Prefs", "Link"), R("Prefs", "Text"),
          W("Prefs", "Text", "d", Expect::SameLayout), W("Time", "Time", "1", Expect::SameLayout),
          R("Prefs", "Text")}},
        {"a key without \"=\" reads empty and is filled in its place",
         "[Prefs]\r\nREASON\r\nLINK=x\r\n",
         {R("Prefs", "Reason"), W("Prefs", "Reason", "brb"), R("Prefs", "Reason")}},
        {"only the first of two same-named sections counts",
         "[Prefs]\r\nREASON=1\r\n[Time]\r\nTIME=5\r\n[prefs]\r\nREASON=2\r\nLINK=3\r\n",
         {R("Prefs", "Reason"), R("Prefs", "Link"), W("Prefs", "Link", "L"),
          W("Prefs", "Reason", "9"), R("Prefs", "Reason"), R("Prefs", "Link")}},
        {"only the first of two same keys counts",
         "[Prefs]\r\nREASON=1\r\nreason=2\r\n",
         {R("Prefs", "Reason"), W("Prefs", "Reason", "3"), R("Prefs", "Reason")}},
        {"storing the stored value changes nothing, even in a file laid out by hand",
         "[Prefs]\n  reason =  brb \t\n\n[Time]\nTIME=4\n",
         {W("Prefs", "Reason", "brb"), W("Time", "Time", "4"), R("Prefs", "Reason")}},
        {"a file without a final line break gets a new section",
         "[Prefs]\r\nREASON=a",
         {W("Time", "Time", "0"), R("Time", "Time")}},
        {"a last line without a break is replaced",
         "[Time]\r\nTIME=5",
         {R("Time", "Time"), W("Time", "Time", "6", Expect::SameLayout), R("Time", "Time")}},
        {"values read back cut to 749 characters",
         "[Prefs]\r\nREASON=" + a800 + "\r\nLINK=" + b749 + "\r\nTEXT=" + c750 +
             "\r\n[Time]\r\nTIME=\"" + d800 + "\"\r\n",
         {R("Prefs", "Reason"), R("Prefs", "Link"), R("Prefs", "Text"), R("Time", "Time"),
          W("Prefs", "Reason", a800), R("Prefs", "Reason")}},
        {"code page 1252 text",
         "[Prefs]\r\nREASON=caf\xE9 \x95 \x9B\x8B\r\n",
         {R("Prefs", "Reason"), W("Prefs", "Link", "\x80\x9F\xFF"), R("Prefs", "Link")}},
        {"a UTF-8 file (with its mark) stays UTF-8",
         "\xEF\xBB\xBF[Prefs]\r\nREASON=caf\xC3\xA9\r\n",
         {R("Prefs", "Reason"), W("Prefs", "Link", "\xE9t\xE9"), R("Prefs", "Link")}},
        {"a UTF-16 file stays UTF-16",
         Utf16Le(u"[Prefs]\r\nREASON=caf\u00e9\r\n"),
         {R("Prefs", "Reason"), W("Prefs", "Link", "\xE9t\xE9"), W("Time", "Time", "3"),
          R("Prefs", "Link")}},
        {"a big-endian UTF-16 file stays so",
         Utf16Be(u"[Time]\r\nTIME=8\r\n"),
         {R("Time", "Time"), W("Time", "Time", "9"), R("Time", "Time")}},
        {"an empty file", "", {R("Prefs", "Reason"), W("Prefs", "Reason", "a")}},
        {"a file of comments and blank lines",
         "; a\r\n\r\n; b\r\n",
         {W("Prefs", "Reason", "x", Expect::SameLayout), R("Prefs", "Reason")}},
        {"text after a section's closing bracket",
         "[Prefs] extra\r\nREASON=a\r\n",
         {R("Prefs", "Reason"), W("Prefs", "Link", "b", Expect::SameLayout)}},
        {"a section without its closing bracket",
         "[Prefs\r\nREASON=a\r\n",
         {R("Prefs", "Reason"), W("Prefs", "Reason", "b"), R("Prefs", "Reason")}},
        {"values the platform would change come back exactly",
         std::nullopt,
         {W("Prefs", "Reason", "brb"), WOurs("Prefs", "Reason", " brb ", "", "blanks at the ends"),
          ROurs("Prefs", "Reason", " brb ", "blanks at the ends"),
          WOurs("Prefs", "Link", "\"brb\"", "", "a pair of quotes"),
          ROurs("Prefs", "Link", "\"brb\"", "a pair of quotes"),
          WOurs("Prefs", "Text", "'x'", "", "a pair of quotes"),
          ROurs("Prefs", "Text", "'x'", "a pair of quotes")}},
        {"a line break in a value is refused",
         "[Prefs]\r\nREASON=old\r\n",
         {WOurs("Prefs", "Reason", "a\r\nINJ=1", "refused", "a line break in the value"),
          ROurs("Prefs", "Inj", "", "a line break in the value"),
          ROurs("Prefs", "Reason", "old", "a line break in the value")}},
        {"a quoted value of exactly 749 characters",
         "[Prefs]\r\nREASON=\"" + q749 + "\"\r\n",
         {ROurs("Prefs", "Reason", q749, "the platform cuts a quoted 749-character value to 748")}},
    };
}

struct Figures {
    int ops = 0, agreed = 0, laidOut = 0;
    std::map<std::string, int> ours; // on-purpose differences, by reason
};

void Replay(const Case& c, const ScratchFolder& folder, Figures& figures) {
    SCOPED_TRACE(c.name);
    static int serial = 0;
    const std::wstring platform = folder / (L"platform" + std::to_wstring(++serial) + L".ini");
    const std::wstring ours = folder / (L"ours" + std::to_wstring(serial) + L".ini");
    if (c.file) {
        PutFile(platform, *c.file);
        PutFile(ours, *c.file);
    }
    int index = 0;
    for (const Op& op : c.ops) {
        SCOPED_TRACE("operation " + std::to_string(++index) + ": " + op.kind + " [" + op.section +
                     "] " + op.key);
        ++figures.ops;
        if (op.expect == Expect::Ours) {
            ++figures.ours[op.why];
            if (op.kind == 'r') {
                EXPECT_EQ(OursRead(op.section, op.key, ours), op.expected);
                EXPECT_NE(PlatformRead(op.section, op.key, platform), op.expected);
                continue;
            }
            const std::optional<std::string> before = FileBytes(ours);
            EXPECT_TRUE(PlatformWrite(op.section, op.key, op.value, platform));
            if (op.expected == "refused") {
                EXPECT_FALSE(OursWrite(op.section, op.key, op.value, ours));
                EXPECT_EQ(FileBytes(ours), before);
            } else {
                EXPECT_TRUE(OursWrite(op.section, op.key, op.value, ours));
                // The platform reads the value back exactly from our file too.
                EXPECT_EQ(PlatformRead(op.section, op.key, ours), op.value);
            }
            continue;
        }
        bool agreed = true;
        if (op.kind == 'r') {
            const std::string expected = PlatformRead(op.section, op.key, platform);
            EXPECT_EQ(OursRead(op.section, op.key, ours), expected);
            agreed = OursRead(op.section, op.key, ours) == expected;
        } else {
            const bool platformDone = PlatformWrite(op.section, op.key, op.value, platform);
            const bool oursDone = OursWrite(op.section, op.key, op.value, ours);
            EXPECT_EQ(oursDone, platformDone);
            const auto expected =
                op.expect == Expect::Same ? FileBytes(platform) : LaidOut(platform, folder);
            const auto actual = op.expect == Expect::Same ? FileBytes(ours) : LaidOut(ours, folder);
            EXPECT_EQ(actual, expected);
            // And the platform reads what we wrote as it reads its own.
            EXPECT_EQ(PlatformRead(op.section, op.key, ours),
                      PlatformRead(op.section, op.key, platform));
            agreed = oursDone == platformDone && actual == expected;
            figures.laidOut += agreed && op.expect == Expect::SameLayout;
        }
        figures.agreed += agreed;
    }
}

TEST(StoreParity, ReadIniAndWriteIniDoWhatTheProfileFunctionsDo) {
    ScratchFolder folder;
    Figures figures;
    const std::vector<Case> cases = Cases();
    for (const Case& c : cases) Replay(c, folder, figures);
    int ours = 0;
    for (const auto& [why, count] : figures.ours) ours += count;
    std::printf("parity: %zu files, %d operations compared, %d agree with the platform "
                "(%d of them once the platform has laid out both files), %d differ on purpose:\n",
                cases.size(), figures.ops, figures.agreed, figures.laidOut, ours);
    for (const auto& [why, count] : figures.ours) std::printf("  %d: %s\n", count, why.c_str());
    EXPECT_GE(figures.ops, 30);
    EXPECT_EQ(figures.agreed + ours, figures.ops);
}

} // namespace
