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
    EXPECT_EQ(none.error, "");
    EXPECT_EQ(none.options.rooms, 1);
    EXPECT_EQ(none.options.imIcons, 10);
    EXPECT_EQ(none.options.idleAfter, 0);

    const ParseResult all = ParseOptions({"--name=Some One",
                                          "--rooms=3",
                                          "--decoys=no-icon,grandchildren",
                                          "--welcome=Welcome, a!",
                                          "--welcome=welcome, b!",
                                          "--idle-after=0.25",
                                          "--signoff-after=2",
                                          "--prompts=2",
                                          "--prompt-decoy",
                                          "--hang-at=1",
                                          "--hang-for=3.5",
                                          "--im-icons=8",
                                          "--im-open=Pal",
                                          "--no-box",
                                          "--im-delay=1",
                                          "--box-delay=2",
                                          "--box-open",
                                          "--box-button-after=0.5",
                                          "--quit-after=60",
                                          "--log=c:\\x.log"});
    ASSERT_EQ(all.error, "");
    const Options& o = all.options;
    EXPECT_EQ(o.name, "Some One");
    EXPECT_EQ(o.rooms, 3);
    EXPECT_EQ(o.decoys, (std::vector<Decoy>{Decoy::NoIcon, Decoy::Grandchildren}));
    EXPECT_EQ(o.welcomes, (std::vector<std::string>{"Welcome, a!", "welcome, b!"}));
    EXPECT_DOUBLE_EQ(o.idleAfter, 0.25);
    EXPECT_DOUBLE_EQ(o.signOffAfter, 2);
    EXPECT_EQ(o.prompts, 2);
    EXPECT_TRUE(o.promptDecoy);
    EXPECT_DOUBLE_EQ(o.hangFor, 3.5);
    EXPECT_EQ(o.imIcons, 8);
    EXPECT_TRUE(o.imOpen);
    EXPECT_EQ(o.imOpenTo, "Pal");
    EXPECT_TRUE(o.noBox);
    EXPECT_DOUBLE_EQ(o.boxDelay, 2);
    EXPECT_TRUE(o.boxOpen);
    EXPECT_DOUBLE_EQ(o.boxButtonAfter, 0.5);
    EXPECT_DOUBLE_EQ(o.quitAfter, 60);
    EXPECT_EQ(o.log, "c:\\x.log");
    // "all" is the five windows that fail the chat-room test.
    EXPECT_EQ(ParseOptions({"--decoys=all"}).options.decoys.size(), 5u);
}

TEST(StandinOptions, NonsenseIsRefused) {
    for (const char* bad :
         {"rooms=2", "--rooms", "--rooms=", "--rooms=-1", "--rooms=21", "--rooms=2x", "--prompts=3",
          "--idle-after=-1", "--idle-after=nan", "--idle-after=1e9", "--idle-after=1s",
          "--idle-after=604801", "--idle-after=.", "--idle-after=1.2.3", "--decoys=no-icon,,",
          "--decoys=nothing", "--log=", "--frobnicate", "--no-box=1"}) {
        EXPECT_NE(ParseOptions({bad}).error, "") << bad;
    }
}

TEST(StandinOptions, TheCommandLineSplitsAsWindowsSplitsIt) {
    EXPECT_EQ(
        CommandLineArguments(R"("C:\a b\standin.exe" --rooms=2  "--name=Some One" --log=c:\x)"),
        (std::vector<std::string>{"--rooms=2", "--name=Some One", "--log=c:\\x"}));
    EXPECT_EQ(CommandLineArguments(R"(standin --welcome=a\"b\\"c d" --x=\\\"q)"),
              (std::vector<std::string>{"--welcome=a\"b\\c d", "--x=\\\"q"}));
    EXPECT_TRUE(CommandLineArguments("standin.exe  ").empty());
}
