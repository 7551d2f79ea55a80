// The stand-in's portable parts: its command line, its log lines, and the
// reader the tests use on them.
#include "standin/log_format.h"
#include "standin/log_reader.h"
#include "standin/options.h"
#include <gtest/gtest.h>
#include <fstream>

using namespace standin;

TEST(StandinLog, LinesRoundTripThroughTheReader) {
    const std::string awkward = "quote \" backslash \\ tab \t newline \n bell \x07 \xE2\x80\xA2";
    const std::string line = FormatEvent(
        12.3456, "chat",
        {Text("room", awkward), Number("hwnd", 65612), Flag("on", false), Text("empty", "")});
    ASSERT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1) << "one event, one line";
    const auto event = standin_log::ParseEvent(line.substr(0, line.size() - 1));
    ASSERT_TRUE(event);
    EXPECT_EQ(event->Name(), "chat");
    EXPECT_DOUBLE_EQ(event->Time(), 12.346);
    EXPECT_EQ(event->Get("room"), awkward);
    EXPECT_EQ(event->Number("hwnd"), 65612);
    EXPECT_EQ(event->Get("on"), "false");
    EXPECT_EQ(event->Get("empty"), "");
    EXPECT_EQ(event->fields.count("empty"), 1u);
}

TEST(StandinLog, BytesAreLoggedExactlyAndDecodedFromWindows1252) {
    EXPECT_EQ(Hex(std::string("\x00\x95\xff A", 5)), "0095ff2041");
    EXPECT_EQ(standin_log::FromHex("0095ff2041"), std::string("\x00\x95\xff A", 5));
    // The announcement characters, the euro sign, an undefined byte, Latin-1.
    EXPECT_EQ(Cp1252ToUtf8("\x95\x9B\x8B\xB7\xF8\xE5"), "\u2022\u203A\u2039\u00B7\u00F8\u00E5");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81\x9F\xFF"), "\u20AC\u0081\u0178\u00FF");
    EXPECT_EQ(Cp1252ToUtf8("plain <b>"), "plain <b>");
}

TEST(StandinLog, ReaderTakesCompleteLinesOnlyAndSkipsNoise) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "standin-r.log";
    {
        std::ofstream out(path, std::ios::binary);
        out << FormatEvent(0.1, "ready", {}) << "not json\r\n"
            << FormatEvent(0.2, "chat", Bytes("\x95 one")) << FormatEvent(0.3, "chat", Bytes("two"))
            << "{\"t\":0.4,\"event\":\"cha"; // still being written
    }
    const auto events = standin_log::ReadEvents(path);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(standin_log::Count(events, standin_log::Named("chat")), 2u);
    EXPECT_EQ(standin_log::ChatBytes(events), (std::vector<std::string>{"\x95 one", "two"}));
    const auto second = standin_log::WaitForEvent(path, standin_log::Named("chat"),
                                                  std::chrono::milliseconds(0), 2);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Get("text"), "two");
    EXPECT_FALSE(standin_log::WaitForEvent(path, standin_log::Named("chat"),
                                           std::chrono::milliseconds(50), 3));
    std::filesystem::remove(path);
    EXPECT_TRUE(standin_log::ReadEvents(path).empty());
    for (const char* bad : {"", "{", "{\"a\":}", "{\"a\" 1}", "{\"a\":\"x}", "[1]", "{\"a\":1,}"}) {
        EXPECT_FALSE(standin_log::ParseEvent(bad)) << bad;
    }
}

TEST(StandinOptions, ValuesAreReadAndDefaultsKept) {
    const ParseResult none = ParseOptions({});
    EXPECT_EQ(none.error, L"");
    EXPECT_EQ(none.options.rooms, 1);
    EXPECT_EQ(none.options.imIcons, 10);
    EXPECT_EQ(none.options.idleAfter, 0);

    const ParseResult all = ParseOptions({L"--name=Some One",
                                          L"--rooms=3",
                                          L"--decoys=no-icon,grandchildren",
                                          L"--welcome=Welcome, a!",
                                          L"--welcome=welcome, b!",
                                          L"--idle-after=0.25",
                                          L"--signoff-after=2",
                                          L"--prompts=2",
                                          L"--prompt-decoy",
                                          L"--hang-at=1",
                                          L"--hang-for=3.5",
                                          L"--im-icons=8",
                                          L"--im-open=Pal",
                                          L"--no-box",
                                          L"--im-delay=1",
                                          L"--box-delay=2",
                                          L"--box-open",
                                          L"--box-button-after=0.5",
                                          L"--quit-after=60",
                                          L"--log=c:\\x.log"});
    ASSERT_EQ(all.error, L"");
    const Options& o = all.options;
    EXPECT_EQ(o.name, L"Some One");
    EXPECT_EQ(o.rooms, 3);
    EXPECT_EQ(o.decoys, (std::vector<Decoy>{Decoy::NoIcon, Decoy::Grandchildren}));
    EXPECT_EQ(o.welcomes, (std::vector<std::wstring>{L"Welcome, a!", L"welcome, b!"}));
    EXPECT_DOUBLE_EQ(o.idleAfter, 0.25);
    EXPECT_DOUBLE_EQ(o.signOffAfter, 2);
    EXPECT_EQ(o.prompts, 2);
    EXPECT_TRUE(o.promptDecoy);
    EXPECT_DOUBLE_EQ(o.hangFor, 3.5);
    EXPECT_EQ(o.imIcons, 8);
    EXPECT_TRUE(o.imOpen);
    EXPECT_EQ(o.imOpenTo, L"Pal");
    EXPECT_TRUE(o.noBox);
    EXPECT_DOUBLE_EQ(o.boxDelay, 2);
    EXPECT_TRUE(o.boxOpen);
    EXPECT_DOUBLE_EQ(o.boxButtonAfter, 0.5);
    EXPECT_DOUBLE_EQ(o.quitAfter, 60);
    EXPECT_EQ(o.log, L"c:\\x.log");
    // "all" is the five windows that fail the chat-room test.
    EXPECT_EQ(ParseOptions({L"--decoys=all"}).options.decoys.size(), 5u);
}

TEST(StandinOptions, NonsenseIsRefused) {
    for (const wchar_t* bad :
         {L"rooms=2", L"--rooms", L"--rooms=", L"--rooms=-1", L"--rooms=21", L"--rooms=2x",
          L"--prompts=3", L"--idle-after=-1", L"--idle-after=nan", L"--idle-after=1e9",
          L"--idle-after=1s", L"--decoys=no-icon,,", L"--decoys=nothing", L"--log=",
          L"--frobnicate", L"--no-box=1"}) {
        EXPECT_NE(ParseOptions({bad}).error, L"") << bad;
    }
}
