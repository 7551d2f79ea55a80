// The IMs Off/On and Scroll Stats commands against the stand-in client: the
// lines they post, byte for byte, and when they post none.
#include "client/commands.h"
#include "engine/announce.h"
#include "tests/unit/cp1252.h"
#include "tests/wine/standin_harness.h"
#include "window/form1.h"
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>

using standin_log::Named;
using namespace std::chrono_literals;

namespace {

// The data file, put back as it was when the test ends.
struct DataFile {
    static constexpr const wchar_t* kPath = L"c:\\windows\\vexidle.dat";
    bool existed = false;
    std::string saved;

    DataFile() {
        std::ifstream in(kPath, std::ios::binary);
        existed = in.good();
        saved.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;
    ~DataFile() {
        if (existed) {
            Write(saved);
        } else {
            DeleteFileW(kPath);
        }
    }
    void Write(const std::string& text) const {
        std::ofstream(kPath, std::ios::binary | std::ios::trunc) << text;
    }
};

} // namespace

TEST(ClientCommands, ImsOffAndOnSwitchThenAnnounce) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    Form1 form;
    mnu_off_Click(form);
    ASSERT_TRUE(client->WaitFor(Named("chat"), 5s));
    mnu_on_Click(form);
    ASSERT_TRUE(client->WaitFor(Named("chat"), 5s, 2));

    const auto events = client->Events();
    EXPECT_EQ(standin_log::ChatBytes(events),
              (std::vector<std::string>{ToCp1252(announce::MessagesLine(false)),
                                        ToCp1252(announce::MessagesLine(true))}));
    std::vector<std::string> order;
    for (const auto& e : events) {
        if (e.Name() == "im") order.push_back("im " + e.Get("to") + " " + e.Get("text"));
        if (e.Name() == "ims") order.push_back("ims " + e.Get("on"));
        if (e.Name() == "chat") order.push_back("chat");
    }
    EXPECT_EQ(order, (std::vector<std::string>{"im $IM_OFF Zorvik ownz!", "ims false", "chat",
                                               "im $IM_ON Zorvik ownz!", "ims true", "chat"}));
    EXPECT_TRUE(client->WaitFor(Named("box_answered"), 5s, 2));
}

TEST(ClientCommands, NoLineWhenTheImWindowNeverBecameReady) {
    // Without a Send button the IM cannot go; announcing the switch would
    // report a failure as success.
    auto client = standin_harness::Start(L"--im-icons=8");
    ASSERT_TRUE(client);
    Form1 form;
    mnu_off_Click(form);
    EXPECT_EQ(standin_log::Count(client->Events(), Named("im")), 0u);
    EXPECT_EQ(standin_log::Count(client->Events(), Named("chat")), 0u);
}

TEST(ClientCommands, ScrollStatsPostsTheScreenNameThenTheSavedTotal) {
    DataFile file;
    file.Write("[Prefs]\r\nReason=lunch\r\n[Time]\r\nTime=1234\r\n");
    {
        auto client = standin_harness::Start(L"\"--name=Bj\u00F8rn Q\"");
        ASSERT_TRUE(client);
        Form1 form;
        mnu_stats_Click(form);
        ASSERT_TRUE(client->WaitFor(Named("chat"), 5s, 2));
        const auto events = client->Events();
        EXPECT_EQ(standin_log::ChatBytes(events),
                  (std::vector<std::string>{ToCp1252(announce::UserLine(L"Bj\u00F8rn Q")),
                                            ToCp1252(announce::TotalLine(L"1234"))}));
    }
    {
        // No total saved and no Welcome window: both lines still go, empty-handed.
        DeleteFileW(DataFile::kPath);
        auto client = standin_harness::Start(L"\"--welcome=Signed off\"");
        ASSERT_TRUE(client);
        Form1 form;
        mnu_stats_Click(form);
        ASSERT_TRUE(client->WaitFor(Named("chat"), 5s, 2));
        EXPECT_EQ(standin_log::ChatBytes(client->Events()),
                  (std::vector<std::string>{ToCp1252(announce::UserLine(L"")),
                                            ToCp1252(announce::TotalLine(L""))}));
    }
}
