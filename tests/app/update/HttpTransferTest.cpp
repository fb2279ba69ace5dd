#include "app/update/HttpTransfer.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestMessageWindow.h"
#include "tests/app/update/TestServer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
constexpr UINT kProgress = CHttpTransfer::kProgressMessage;

std::string Payload(std::size_t size)
{
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return data;
}

class HttpTransferTest : public ::testing::Test
{
protected:
    HttpTransferTest() : m_folder(L"kelvane-http") {}

    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsAvailable()) << "the update_server fixture is not running";
    }

    std::wstring Text(const std::wstring& path, int* result = nullptr)
    {
        std::wstring text = L"unchanged";
        CHttpTransfer transfer;
        const int r = transfer.GetText(m_server.Url(path), text);
        if (result != nullptr)
            *result = r;
        return text;
    }

    std::wstring Target() const { return m_folder.Path() + L"download.bin"; }

    TestServer m_server;
    TestFolder m_folder;
    TestMessageWindow m_window;
};

// Every value after the fixed 0, 2, 8, 10 rises, and the last is 100.
void ExpectRisingTo100(const std::vector<int>& values, std::size_t from)
{
    ASSERT_GT(values.size(), from);
    for (std::size_t i = from; i + 1 < values.size(); ++i)
        EXPECT_LT(values[i], values[i + 1]) << "at " << i;
    EXPECT_GT(values[from], 10);
    EXPECT_EQ(values.back(), 100);
}
} // namespace

TEST_F(HttpTransferTest, VersionTextsArriveAsTheServerSendsThem)
{
    ASSERT_TRUE(m_server.Put(L"text\\plain", "1.0.0.20"));
    ASSERT_TRUE(m_server.Put(L"text\\lf", "1.0.0.20\n"));
    ASSERT_TRUE(m_server.Put(L"text\\eleven", "1.0.0.20.11"));
    ASSERT_TRUE(m_server.Put(L"text\\nulbyte", std::string("1.0.0.20\0junk", 13)));
    ASSERT_TRUE(m_server.Put(L"text\\empty", ""));
    ASSERT_TRUE(m_server.Put(L"text\\utf8", "v\xC3\xA9rsion"));
    ASSERT_TRUE(m_server.Put(L"text\\broken", "1.0\xC3"));

    int result = 0;
    EXPECT_EQ(Text(L"/text/plain", &result), L"1.0.0.20");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Text(L"/text/lf"), L"1.0.0.20\n");
    EXPECT_EQ(Text(L"/text/eleven"), L"1.0.0.20.11");
    EXPECT_EQ(Text(L"/text/nulbyte"), L"1.0.0.20");
    EXPECT_EQ(Text(L"/text/empty", &result), L"");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Text(L"/text/utf8"), L"v\u00e9rsion");
    EXPECT_EQ(Text(L"/text/broken"), L"");
    EXPECT_EQ(Text(L"/nolength/text/plain"), L"1.0.0.20");
    EXPECT_EQ(Text(L"/slow/text/plain"), L"1.0.0.20");
}

TEST_F(HttpTransferTest, RequestsCarryTheAgentTheAcceptHeaderAndNoCache)
{
    ASSERT_TRUE(m_server.Put(L"text\\agent", "x"));
    Text(L"/text/agent?marker");
    const auto log = m_server.Log();
    const auto line =
        std::find_if(log.begin(), log.end(),
                     [](const std::string& l) { return l.find("/text/agent?marker") != std::string::npos; });
    ASSERT_NE(line, log.end());
    EXPECT_NE(line->find("| IIC2.0/PC 5.5.0000 | */* | no-cache"), std::string::npos) << *line;
}

TEST_F(HttpTransferTest, ErrorAnswersAndRefusedConnectionsAreFailures)
{
    int result = 0;
    // "Not Found" is short enough to pass for a version text: it must not be taken as one.
    EXPECT_EQ(Text(L"/status/404/text/plain", &result), L"unchanged");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Text(L"/no/such/file", &result), L"unchanged");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Text(L"/status/500/x", &result), L"unchanged");
    EXPECT_EQ(result, -1);

    std::wstring text = L"unchanged";
    CHttpTransfer transfer;
    EXPECT_EQ(transfer.GetText(L"http://127.0.0.1:1/version", text), -1);
    EXPECT_EQ(text, L"unchanged");
}

TEST_F(HttpTransferTest, DownloadPostsProgressAndTwoDownloadsShareTheLastValue)
{
    const std::string payload = Payload(300000);
    ASSERT_TRUE(m_server.Put(L"files\\big.bin", payload));
    CHttpTransfer transfer;

    // A fresh instance already holds 0, so the first download starts at 2.
    EXPECT_EQ(transfer.DownloadFile(m_server.Url(L"/files/big.bin"), Target(), m_window.Handle()), 1);
    EXPECT_EQ(ReadFileBytes(Target()), payload);
    auto first = m_window.DrainValues(kProgress);
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(std::vector<int>(first.begin(), first.begin() + 3), (std::vector<int>{2, 8, 10}));
    ExpectRisingTo100(first, 3);

    EXPECT_EQ(transfer.DownloadFile(m_server.Url(L"///files//big.bin"), Target(), m_window.Handle()), 1);
    auto second = m_window.DrainValues(kProgress);
    ASSERT_GE(second.size(), 5u);
    EXPECT_EQ(std::vector<int>(second.begin(), second.begin() + 4), (std::vector<int>{0, 2, 8, 10}));
    ExpectRisingTo100(second, 4);
    EXPECT_EQ(ReadFileBytes(Target()), payload);
}

TEST_F(HttpTransferTest, DownloadWithoutContentLengthPostsOnlyTheFixedSteps)
{
    const std::string payload = Payload(50000);
    ASSERT_TRUE(m_server.Put(L"files\\nolength.bin", payload));
    CHttpTransfer transfer;
    EXPECT_EQ(
        transfer.DownloadFile(m_server.Url(L"/nolength/files/nolength.bin"), Target(), m_window.Handle()), 1);
    EXPECT_EQ(m_window.DrainValues(kProgress), (std::vector<int>{2, 8, 10, 100}));
    EXPECT_EQ(ReadFileBytes(Target()), payload);

    EXPECT_EQ(
        transfer.DownloadFile(m_server.Url(L"/nolength/files/nolength.bin"), Target(), m_window.Handle()), 1);
    EXPECT_EQ(m_window.DrainValues(kProgress), (std::vector<int>{0, 2, 8, 10, 100}));
}

TEST_F(HttpTransferTest, BodiesShorterThanAnnouncedAreFailures)
{
    const std::string payload = Payload(120000);
    ASSERT_TRUE(m_server.Put(L"files\\cut.bin", payload));
    CHttpTransfer transfer;

    EXPECT_EQ(transfer.DownloadFile(m_server.Url(L"/short/files/cut.bin"), Target(), m_window.Handle()), -1);
    auto values = m_window.DrainValues(kProgress);
    EXPECT_TRUE(std::find(values.begin(), values.end(), 100) == values.end());
    EXPECT_LE(ReadFileBytes(Target()).size(), payload.size());

    EXPECT_EQ(transfer.DownloadFile(m_server.Url(L"/drop/files/cut.bin"), Target(), m_window.Handle()), -1);
    values = m_window.DrainValues(kProgress);
    EXPECT_TRUE(std::find(values.begin(), values.end(), 100) == values.end());
    EXPECT_LT(ReadFileBytes(Target()).size(), payload.size());
}

TEST_F(HttpTransferTest, FailedDownloadsLeaveAnEarlierFileAlone)
{
    ASSERT_TRUE(WriteFileBytes(Target(), "earlier"));
    CHttpTransfer transfer;
    EXPECT_EQ(transfer.DownloadFile(m_server.Url(L"/status/404/files/x.zip"), Target(), m_window.Handle()),
              -1);
    EXPECT_EQ(m_window.DrainValues(kProgress), (std::vector<int>{2}));
    EXPECT_EQ(transfer.DownloadFile(L"http://127.0.0.1:1/x.zip", Target(), m_window.Handle()), -1);
    EXPECT_EQ(ReadFileBytes(Target()), "earlier");

    ASSERT_TRUE(m_server.Put(L"files\\small.bin", "small"));
    EXPECT_EQ(transfer.DownloadFile(m_server.Url(L"/files/small.bin"), m_folder.Path() + L"missing\\x.bin",
                                    m_window.Handle()),
              -1);
}

TEST_F(HttpTransferTest, SlowServerAndNoWindow)
{
    const std::string payload = Payload(100000);
    ASSERT_TRUE(m_server.Put(L"files\\slow.bin", payload));
    CHttpTransfer transfer;
    EXPECT_EQ(transfer.DownloadFile(m_server.Url(L"/slow/files/slow.bin"), Target(), nullptr), 1);
    EXPECT_EQ(ReadFileBytes(Target()), payload);
    EXPECT_TRUE(m_window.Drain().empty());
    EXPECT_EQ(transfer.LastProgress(), 0);
}
