#include "app/update/HttpTransfer.h"

#include "app/device/KernelHandle.h"
#include "app/update/InternetHandle.h"

#include <cstring>
#include <vector>

namespace
{
constexpr DWORD kReadSize = 10240;
constexpr DWORD kOpenFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
const char kExtraHeaders[] = "Accept: */*\r\n\r\n";

HINTERNET OpenSession()
{
    DWORD state = 0;
    InternetGetConnectedState(&state, 0);
    char agent[64] = {};
    std::strncpy(agent, "IIC2.0/PC 5.5.0000", sizeof(agent) - 1);
    const DWORD access = (state & INTERNET_CONNECTION_PROXY) != 0
                             ? INTERNET_OPEN_TYPE_PRECONFIG
                             : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
    return InternetOpenA(agent, access, nullptr, nullptr, 0);
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                            nullptr);
    return out;
}

HINTERNET OpenUrl(HINTERNET session, const std::wstring& url)
{
    return InternetOpenUrlA(session, ToUtf8(url).c_str(), kExtraHeaders, sizeof(kExtraHeaders) - 1,
                            kOpenFlags, 0);
}

// An error page must never pass for a version text or an archive.
bool IsSuccessStatus(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return false;
    return status >= 200 && status <= 299;
}

DWORD QueryContentLength(HINTERNET request)
{
    DWORD length = 0;
    DWORD size = sizeof(length);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr))
        return 0;
    return length;
}

std::wstring DecodeUtf8UpToNul(const std::vector<char>& bytes)
{
    std::size_t length = 0;
    while (length < bytes.size() && bytes[length] != '\0')
        ++length;
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

int CHttpTransfer::GetText(const std::wstring& url, std::wstring& text)
{
    InternetHandle session(OpenSession());
    if (!session.IsValid())
        return 0;
    InternetHandle request(OpenUrl(session.Get(), url));
    if (!request.IsValid() || !IsSuccessStatus(request.Get()))
        return -1;

    std::vector<char> body;
    std::vector<char> chunk(kReadSize);
    for (;;)
    {
        DWORD read = 0;
        if (!InternetReadFile(request.Get(), chunk.data(), kReadSize, &read))
            return -1;
        if (read == 0)
            break;
        body.insert(body.end(), chunk.begin(), chunk.begin() + read);
    }
    text = DecodeUtf8UpToNul(body);
    return 1;
}

int CHttpTransfer::DownloadFile(const std::wstring& url, const std::wstring& path, HWND window)
{
    PostProgress(window, 0);
    InternetHandle session(OpenSession());
    if (!session.IsValid())
        return 0;
    PostProgress(window, 2);
    InternetHandle request(OpenUrl(session.Get(), url));
    if (!request.IsValid() || !IsSuccessStatus(request.Get()))
        return -1;

    PostProgress(window, 8);
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteFileW(path.c_str());
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return -1;

    const DWORD contentLength = QueryContentLength(request.Get());
    PostProgress(window, 10);

    std::vector<char> chunk(kReadSize);
    unsigned long long received = 0;
    for (;;)
    {
        DWORD read = 0;
        if (!InternetReadFile(request.Get(), chunk.data(), kReadSize, &read))
            return -1;
        if (read == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(file.Get(), chunk.data(), read, &written, nullptr) || written != read)
            return -1;
        received += read;
        if (contentLength > 0)
        {
            const unsigned long long percent = 10 + (90ULL * received) / contentLength;
            PostProgress(window, percent > 100 ? 100 : static_cast<int>(percent));
        }
    }
    if (received < contentLength)
        return -1;

    file.Reset();
    PostProgress(window, 100);
    return 1;
}

void CHttpTransfer::PostProgress(HWND window, int value)
{
    if (window == nullptr || value == m_lastProgress)
        return;
    m_lastProgress = value;
    PostMessageW(window, kProgressMessage, 0, value);
}
