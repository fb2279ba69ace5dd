#include "app/update/http/CHttpTransfer.h"

#include "app/core/MainWindowMessages.h"

#include <algorithm>
#include <vector>

namespace
{
constexpr DWORD kReadSize = 10240;

// Refuses a body whose stated length already passes maxBytes.
bool FitsCap(HttpResponse& response, unsigned long long maxBytes)
{
    return !response.HasLength() || response.Length() <= maxBytes ||
           response.Failure("body over the size cap");
}

// The one read loop of every transfer: hands each chunk of the body, and the count received so
// far, to take until the body's proper end. False when a read fails, the body passes maxBytes or
// ends short of its Content-Length, or take refuses (having recorded why in the response).
template <typename Take> bool ReadBody(HttpResponse& response, unsigned long long maxBytes, Take take)
{
    std::vector<char> chunk(kReadSize);
    unsigned long long received = 0;
    for (;;)
    {
        DWORD read = 0;
        if (!response.Read(chunk.data(), kReadSize, read))
            return false;
        if (read == 0)
            break;
        received += read;
        if (received > maxBytes)
            return response.Failure("body over the size cap");
        if (!take(chunk.data(), read, received))
            return false;
    }
    return !response.HasLength() || received == response.Length() ||
           response.Failure("body shorter than its Content-Length");
}

std::wstring DecodeUtf8UpToNul(const std::string& bytes)
{
    const std::size_t length = std::min(bytes.find('\0'), bytes.size());
    if (length == 0)
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                         static_cast<int>(length), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring text(size, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(length), text.data(),
                        size);
    return text;
}
} // namespace

void CHttpTransfer::SetTimeLimits(const HttpTimeLimits& small, DWORD downloadDeadlineMs)
{
    m_smallLimits = small;
    m_downloadLimits = {small.stepMs, std::max(small.deadlineMs, downloadDeadlineMs)};
}

int CHttpTransfer::GetBytes(const std::wstring& url, std::string& bytes, std::size_t maxBytes)
{
    m_lastError = {};
    HttpResponse response;
    const int opened = response.Open(url, m_smallLimits, [] {});
    if (opened != 1)
        return Fail(opened, response.Error());
    std::string body;
    const auto append = [&body](const char* data, DWORD size, unsigned long long)
    {
        body.append(data, size);
        return true;
    };
    if (!FitsCap(response, maxBytes) || !ReadBody(response, maxBytes, append))
        return Fail(-1, response.Error());
    bytes = std::move(body);
    return 1;
}

int CHttpTransfer::GetText(const std::wstring& url, std::wstring& text)
{
    std::string body;
    const int result = GetBytes(url, body, kMaxTextBytes);
    if (result == 1)
        text = DecodeUtf8UpToNul(body);
    return result;
}

int CHttpTransfer::DownloadTo(const std::wstring& url, HANDLE file, HWND window, unsigned long long maxBytes)
{
    m_lastError = {};
    PostProgress(window, 0);
    HttpResponse response;
    const int opened = response.Open(url, m_downloadLimits, [&] { PostProgress(window, 2); });
    if (opened != 1)
        return Fail(opened, response.Error());
    PostProgress(window, 8);
    const unsigned long long length = response.HasLength() ? response.Length() : 0;
    if (!FitsCap(response, maxBytes))
        return Fail(-1, response.Error());
    PostProgress(window, 10);
    const auto write = [&](const char* data, DWORD size, unsigned long long received)
    {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written != size)
            return response.SystemFailure("file write failed");
        if (length > 0)
        {
            const unsigned long long percent = 10 + (90ULL * received) / length;
            PostProgress(window, percent > 100 ? 100 : static_cast<int>(percent));
        }
        return true;
    };
    if (!ReadBody(response, maxBytes, write))
        return Fail(-1, response.Error());
    PostProgress(window, 100);
    return 1;
}

int CHttpTransfer::Fail(int result, const HttpError& error)
{
    m_lastError = error;
    return result;
}

void CHttpTransfer::PostProgress(HWND window, int value)
{
    if (window == nullptr || value == m_lastProgress)
        return;
    m_lastProgress = value;
    PostMessageW(window, WM_TRAY_NOTIFY, 0, value);
}
