// Today's bar from the companion: the strict reading of its reply, and the exchange with a
// real local socket that answers well, answers badly, refuses, stalls or floods.
#include "acquisition/CompanionToday.h"
#include "support/CompanionPeer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace tavora;
using acquisition::AskCompanionToday;
using acquisition::ParseTodayReply;

namespace {

constexpr const char* kDate = "2024-04-01";

TEST(CompanionReply, AcceptsExactlySevenFieldsForTheBarsDay) {
    const auto t = ParseTodayReply("2024-04-01,1001.T,1600,1700.5,1590,1650,3797444701", kDate);
    ASSERT_TRUE(t) << t.english();
    EXPECT_EQ(t->date, kDate);
    EXPECT_DOUBLE_EQ(t->open, 1600);
    EXPECT_DOUBLE_EQ(t->high, 1700.5);
    EXPECT_DOUBLE_EQ(t->low, 1590);
    EXPECT_DOUBLE_EQ(t->close, 1650);
    EXPECT_EQ(t->volume, 3797444701LL); // beyond 32 bits
    EXPECT_TRUE(ParseTodayReply("2024-04-01,,1,2,0.5,1.5,0", kDate));
    EXPECT_TRUE(ParseTodayReply("2024-04-01,x, 1600 ,1700,1590,1650, 7", kDate)); // blanks around numbers
}

TEST(CompanionReply, IgnoresEveryOtherShape) {
    const struct {
        const char* reply;
        const char* why;
    } cases[] = {
        {"ERROR", "the companion answered ERROR"},
        {"2024-04-01,ERROR,1,2,1,2,5", "the companion answered ERROR"},
        {"", "the reply has 1 fields, not 7"},
        {"2024-04-01,x,1600,1700,1590,1650", "the reply has 6 fields, not 7"},
        {"2024-04-01,x,1600,1700,1590,1650,7,8", "the reply has 8 fields, not 7"},
        {"2024-03-29,x,1600,1700,1590,1650,7", "the reply is for 2024-03-29, not 2024-04-01"},
        {"2024-4-1,x,1600,1700,1590,1650,7", "the reply is for 2024-4-1, not 2024-04-01"},
        {"2024-04-01,x,,1700,1590,1650,7", "the open is not a price: ''"},
        {"2024-04-01,x,abc,1700,1590,1650,7", "the open is not a price: 'abc'"},
        {"2024-04-01,x,1600,inf,1590,1650,7", "the high is not a price: 'inf'"},
        {"2024-04-01,x,1600,1700,nan,1650,7", "the low is not a price: 'nan'"},
        {"2024-04-01,x,1600,1700,1590,1e999,7", "the close is not a price: '1e999'"},
        {"2024-04-01,x,1600,1700,1590,-1650,7", "the close is not a price: '-1650'"},
        {"2024-04-01,x,0,1700,1590,1650,7", "the open is not a price: '0'"},
        {"2024-04-01,x,1600 yen,1700,1590,1650,7", "the open is not a price: '1600 yen'"},
        {"2024-04-01,x,1600,1700,1590,1650,-7", "the volume is not a whole number of shares: '-7'"},
        {"2024-04-01,x,1600,1700,1590,1650,7.5", "the volume is not a whole number of shares: '7.5'"},
        {"2024-04-01,x,1600,1700,1590,1650,99999999999999999999",
         "the volume is not a whole number of shares: '99999999999999999999'"},
    };
    for (const auto& c : cases) {
        const auto ignored = ParseTodayReply(c.reply, kDate);
        EXPECT_FALSE(ignored) << c.reply;
        EXPECT_EQ(ignored.english(), c.why) << c.reply;
        EXPECT_EQ(ignored.message(), c.why) << c.reply; // the log and the command line share it
    }
}

class CompanionExchangeTest : public ::testing::Test {
protected:
    framework::PipeLimits limits() const {
        framework::PipeLimits l;
        l.timeout = framework::Millis(400); // the program waits 3 s; the tests need not
        return l;
    }
    acquisition::TodayAnswer ask() {
        return AskCompanionToday(peer.path().string(), "1001.T", kDate, limits());
    }

    test::TempDir dir;
    test::CompanionPeer peer{dir / "moravelPipe"};
};

TEST_F(CompanionExchangeTest, SendsTheSymbolAndReadsOneLine) {
    ASSERT_TRUE(peer.listening());
    const struct {
        std::string sent;
        bool accepted;
    } cases[] = {
        {"2024-04-01,1001.T,1600,1700.5,1590,1650,777\n", true},
        {"2024-04-01,1001.T,1600,1700.5,1590,1650,777\r\n", true},
        {"2024-04-01,1001.T,1600,1700.5,1590,1650,777", true}, // ended by the end of the stream
        {"2024-04-01,1001.T,1600,1700.5,1590,1650,777\nmore,after,the,line\n", true},
        {"ERROR\n", false},
        {"2024-04-01,1001.T,1600,1700.5,1590,1650\n", false},
        {"2024-03-29,1001.T,1600,1700.5,1590,1650,777\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        peer.answer(c.sent);
        const auto a = ask();
        EXPECT_EQ(a.accepted(), c.accepted) << c.sent << ": " << a.prices.english();
        if (a.accepted()) {
            EXPECT_EQ(a.prices->volume, 777);
        }
    }
    const auto requests = peer.requests();
    ASSERT_EQ(requests.size(), std::size(cases));
    EXPECT_EQ(requests[0], "TODAY 1001.T");
}

TEST_F(CompanionExchangeTest, AStallIsBoundedAndAFloodIsCutOff) {
    ASSERT_TRUE(peer.listening());
    peer.stall();
    const auto start = framework::Clock::now();
    auto a = ask();
    const auto waited = framework::Clock::now() - start;
    EXPECT_FALSE(a.accepted());
    EXPECT_NE(a.prices.english().find("timed out"), std::string::npos) << a.prices.english();
    EXPECT_LT(waited, std::chrono::seconds(3));

    // A valid line, but only after more than 4 KiB.
    peer.answer(std::string(5000, ' ') + "2024-04-01,x,1,2,1,2,3\n");
    a = ask();
    EXPECT_FALSE(a.accepted());
    EXPECT_EQ(a.prices.english(), "the reply is longer than 4096 bytes");
    // Exactly 4 KiB with its line end still counts.
    const std::string line = "2024-04-01,x,1,2,1,2,3";
    peer.answer(line + std::string(4096 - line.size() - 1, ' ') + "\n");
    a = ask();
    EXPECT_TRUE(a.accepted()) << a.prices.english();
}

TEST(CompanionExchange, AMissingOrRefusingSocketIsNoPeer) {
    test::TempDir dir;
    const auto missing = framework::SendCommandToPipe((dir / "moravelPipe").string(), "TODAY 1001.T");
    EXPECT_EQ(missing.status, framework::PipeStatus::NoPeer) << missing.error;

    // A socket file left behind by a companion that is gone: nobody accepts.
    const std::string stale = (dir / "stale").string();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    std::memcpy(sa.sun_path, stale.data(), stale.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
    ::close(fd);
    const auto refused = framework::SendCommandToPipe(stale, "TODAY 1001.T");
    EXPECT_EQ(refused.status, framework::PipeStatus::NoPeer) << refused.error;

    // A symbol with a line break would frame a second request: refused before connecting.
    const auto framed = framework::SendCommandToPipe(stale, "TODAY 1001.T\nTODAY 7203.T");
    EXPECT_EQ(framed.status, framework::PipeStatus::Failed);
}

} // namespace
