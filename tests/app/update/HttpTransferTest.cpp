#include "app/core/MainWindowMessages.h"
#include "app/platform/KernelHandle.h"
#include "app/update/UpdateService.h"
#include "app/update/http/CHttpTransfer.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestMessageWindow.h"
#include "tests/app/update/TestServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace
{
constexpr UINT kProgress = WM_TRAY_NOTIFY;

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

    // Downloads into a new file through its handle, as the update does.
    int Download(CHttpTransfer& transfer, const std::wstring& path, HWND window,
                 unsigned long long maxBytes = UpdateService::kMaxArchiveBytes)
    {
        KernelHandle file(CreateFileW(Target().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(file);
        return transfer.DownloadTo(m_server.Url(path), file.get(), window, maxBytes);
    }

    int Download(const std::wstring& path, unsigned long long maxBytes = UpdateService::kMaxArchiveBytes)
    {
        CHttpTransfer transfer;
        return Download(transfer, path, nullptr, maxBytes);
    }

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
    // Redirects on the same server are followed, a few at most.
    EXPECT_EQ(Text(L"/redirect/3/text/plain"), L"1.0.0.20");
    EXPECT_EQ(Text(L"/redirectto/relative/text/plain"), L"1.0.0.20");
    EXPECT_EQ(Text(L"/status/307/text/plain"), L"1.0.0.20");
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
    ASSERT_TRUE(m_server.Put(L"text\\long", "1.0.0.200"));
    int result = 0;
    // Each of these once passed for a version: a cut or partial body reads as a shorter, "newer" one.
    for (const wchar_t* path :
         {L"/status/206/text/long", L"/status/204/text/long", L"/chunkcut/text/long",
          L"/hugelength/text/long", L"/nostatus/text/long", L"/short/text/long", L"/drop/text/long",
          L"/status/201/text/long", L"/status/304/text/long", L"/redirectto/host/text/long",
          L"/redirectto/port/text/long", L"/redirectto/scheme/text/long", L"/redirect/4/text/long",
          L"/redirectloop/text/long", L"/endless/text/long"})
    {
        EXPECT_EQ(Text(path, &result), L"unchanged") << path;
        EXPECT_EQ(result, -1) << path;
    }

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

TEST_F(HttpTransferTest, FailuresSayWhatFailed)
{
    ASSERT_TRUE(m_server.Put(L"text\\why", "1.0.0.20"));
    ASSERT_TRUE(m_server.Put(L"text\\whylong", std::string(CHttpTransfer::kMaxTextBytes + 1, '7')));
    struct Case
    {
        const wchar_t* path;
        unsigned long status;
        const char* detail;
    };
    const Case cases[] = {
        {L"/status/404/text/why", 404, "status other than 200"},
        {L"/redirectto/host/text/why", 302, "redirect to another server"},
        {L"/redirect/4/text/why", 302, "too many redirects"},
        {L"/chunked/text/why", 200, "chunked body refused"},
        {L"/nostatus/text/why", 0, "no status line"},
        {L"/text/whylong", 200, "body over the size cap"},
        {L"/nolength/text/whylong", 200, "body over the size cap"},
    };
    CHttpTransfer transfer;
    std::wstring text;
    for (const Case& c : cases)
    {
        EXPECT_EQ(transfer.GetText(m_server.Url(c.path), text), -1) << c.path;
        EXPECT_EQ(transfer.LastError().httpStatus, c.status) << c.path;
        EXPECT_EQ(transfer.LastError().systemError, 0u) << c.path;
        EXPECT_EQ(transfer.LastError().detail, c.detail) << c.path;
    }
    EXPECT_EQ(transfer.GetText(L"http://127.0.0.1:1/version", text), -1);
    EXPECT_EQ(transfer.LastError().httpStatus, 0u);
    EXPECT_EQ(transfer.LastError().systemError, 12029u) << "cannot connect";
    EXPECT_EQ(transfer.GetText(m_server.Url(L"/text/why"), text), 1);
    EXPECT_EQ(transfer.LastError().systemError + transfer.LastError().httpStatus, 0u);
    EXPECT_EQ(transfer.LastError().detail, "");

    EXPECT_EQ(Download(transfer, L"/status/404/text/why", nullptr), -1);
    EXPECT_EQ(transfer.LastError().httpStatus, 404u);
    // A file that takes no writing: the server's 200 stays beside the system's code.
    KernelHandle readOnly(CreateFileW(Target().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(transfer.DownloadTo(m_server.Url(L"/text/why"), readOnly.get(), nullptr, 1024), -1);
    EXPECT_EQ(transfer.LastError().httpStatus, 200u);
    EXPECT_EQ(transfer.LastError().systemError, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(transfer.LastError().detail, "file write failed");
}

TEST_F(HttpTransferTest, TextsAndSmallFilesHaveASizeCap)
{
    ASSERT_TRUE(m_server.Put(L"text\\cap", std::string(CHttpTransfer::kMaxTextBytes, '7')));
    ASSERT_TRUE(m_server.Put(L"text\\over", std::string(CHttpTransfer::kMaxTextBytes + 1, '7')));
    int result = 0;
    EXPECT_EQ(Text(L"/text/cap", &result).size(), CHttpTransfer::kMaxTextBytes);
    EXPECT_EQ(result, 1);
    for (const wchar_t* path : {L"/text/over", L"/nolength/text/over"})
    {
        EXPECT_EQ(Text(path, &result), L"unchanged") << path;
        EXPECT_EQ(result, -1) << path;
    }

    const std::string signature(64, '\x9C');
    ASSERT_TRUE(m_server.Put(L"files\\a.zip.sig", signature));
    ASSERT_TRUE(m_server.Put(L"files\\b.zip.sig", signature + '\n'));
    CHttpTransfer transfer;
    std::string bytes = "unchanged";
    EXPECT_EQ(transfer.GetBytes(m_server.Url(L"/files/a.zip.sig"), bytes, 64), 1);
    EXPECT_EQ(bytes, signature);
    bytes = "unchanged";
    EXPECT_EQ(transfer.GetBytes(m_server.Url(L"/files/b.zip.sig"), bytes, 64), -1);
    EXPECT_EQ(transfer.GetBytes(m_server.Url(L"/files/missing.zip.sig"), bytes, 64), -1);
    EXPECT_EQ(bytes, "unchanged");
}

TEST_F(HttpTransferTest, DownloadPostsProgressAndTwoDownloadsShareTheLastValue)
{
    const std::string payload = Payload(300000);
    ASSERT_TRUE(m_server.Put(L"files\\big.bin", payload));
    CHttpTransfer transfer;

    // A fresh instance already holds 0, so the first download starts at 2.
    EXPECT_EQ(Download(transfer, L"/files/big.bin", m_window.Handle()), 1);
    EXPECT_EQ(ReadFileBytes(Target()), payload);
    auto first = m_window.DrainValues(kProgress);
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(std::vector<int>(first.begin(), first.begin() + 3), (std::vector<int>{2, 8, 10}));
    ExpectRisingTo100(first, 3);

    EXPECT_EQ(Download(transfer, L"///files//big.bin", m_window.Handle()), 1);
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
    EXPECT_EQ(Download(transfer, L"/nolength/files/nolength.bin", m_window.Handle()), 1);
    EXPECT_EQ(ReadFileBytes(Target()), payload);
    EXPECT_EQ(m_window.DrainValues(kProgress), (std::vector<int>{2, 8, 10, 100}));
    EXPECT_EQ(Download(transfer, L"/nolength/files/nolength.bin", m_window.Handle()), 1);
    EXPECT_EQ(m_window.DrainValues(kProgress), (std::vector<int>{0, 2, 8, 10, 100}));
}

TEST_F(HttpTransferTest, IncompleteOrForeignDownloadsAreFailures)
{
    const std::string payload = Payload(120000);
    ASSERT_TRUE(m_server.Put(L"files\\cut.bin", payload));
    for (const wchar_t* path :
         {L"/short/files/cut.bin", L"/drop/files/cut.bin", L"/chunkcut/files/cut.bin",
          L"/hugelength/files/cut.bin", L"/nostatus/files/cut.bin", L"/status/206/files/cut.bin",
          L"/status/204/files/cut.bin", L"/status/404/files/cut.bin", L"/redirectto/host/files/cut.bin",
          L"/redirectto/port/files/cut.bin"})
        EXPECT_EQ(Download(path), -1) << path;

    CHttpTransfer transfer;
    EXPECT_EQ(Download(transfer, L"/drop/files/cut.bin", m_window.Handle()), -1);
    const auto values = m_window.DrainValues(kProgress);
    EXPECT_TRUE(std::find(values.begin(), values.end(), 100) == values.end());
    EXPECT_EQ(transfer.DownloadTo(L"http://127.0.0.1:1/x.zip", INVALID_HANDLE_VALUE, nullptr, 1024), -1);
}

TEST_F(HttpTransferTest, DownloadsStopAtTheSizeCap)
{
    ASSERT_TRUE(m_server.Put(L"files\\capped.bin", Payload(100001)));
    EXPECT_EQ(Download(L"/files/capped.bin", 100001), 1);
    for (const wchar_t* path :
         {L"/files/capped.bin", L"/nolength/files/capped.bin", L"/chunked/files/capped.bin"})
        EXPECT_EQ(Download(path, 100000), -1) << path;
    EXPECT_EQ(Download(L"/endless/files/none", 1 << 20), -1);
    EXPECT_LE(ReadFileBytes(Target()).size(), 1u << 20);
}

TEST_F(HttpTransferTest, StalledAndTricklingServersAreGivenUp)
{
    ASSERT_TRUE(m_server.Put(L"files\\stall.bin", Payload(40000)));
    ASSERT_TRUE(m_server.Put(L"text\\trickle", "1.0.0.20"));
    CHttpTransfer transfer;
    transfer.SetTimeLimits({1000, 3000}, 3000);
    std::wstring text = L"unchanged";
    EXPECT_EQ(transfer.GetText(m_server.Url(L"/stall/text/trickle"), text), -1);
    // One byte every second never waits a whole step, so only the deadline ends it.
    EXPECT_EQ(transfer.GetText(m_server.Url(L"/trickle/1/text/trickle"), text), -1);
    EXPECT_EQ(text, L"unchanged");
    EXPECT_EQ(Download(transfer, L"/stall/files/stall.bin", nullptr), -1);
    EXPECT_EQ(Download(transfer, L"/stallbody/files/stall.bin", nullptr), -1);
}

TEST_F(HttpTransferTest, TricklingHeadersAreGivenUpAtTheDeadlineAndTheNextRequestIsAnswered)
{
    // Header lines without end, one byte a second, never wait a whole step: only the deadline (the
    // text's, then the archive's) ends them, and the next request is answered meanwhile.
    ASSERT_TRUE(m_server.Put(L"text\\headers", "1.0.0.20"));
    CHttpTransfer transfer;
    transfer.SetTimeLimits({3000, 5000}, 8000);
    std::wstring text = L"unchanged";
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(transfer.GetText(m_server.Url(L"/once/trickleheaders/1/text/headers"), text), -1);
    const ULONGLONG textGaveUp = GetTickCount64();
    EXPECT_EQ(Download(transfer, L"/trickleheaders/1/text/headers", nullptr), -1);
    EXPECT_EQ(transfer.LastError().detail, "deadline passed");
    std::printf("trickling headers given up after: text %llu ms, download %llu ms\n", textGaveUp - start,
                GetTickCount64() - textGaveUp);
    EXPECT_EQ(transfer.GetText(m_server.Url(L"/once/trickleheaders/1/text/headers"), text), 1);
    EXPECT_EQ(text, L"1.0.0.20");
}

TEST_F(HttpTransferTest, SlowServerAndNoWindow)
{
    const std::string payload = Payload(100000);
    ASSERT_TRUE(m_server.Put(L"files\\slow.bin", payload));
    CHttpTransfer transfer;
    EXPECT_EQ(Download(transfer, L"/slow/files/slow.bin", nullptr), 1);
    EXPECT_EQ(ReadFileBytes(Target()), payload);
    EXPECT_TRUE(m_window.Drain().empty());
    EXPECT_EQ(transfer.LastProgress(), 0);
}
