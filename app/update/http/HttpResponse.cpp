#include "app/update/http/HttpResponse.h"

#include "app/update/http/HttpRules.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                             INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT;
const char kExtraHeaders[] = "Accept: */*\r\n\r\n";

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

// A header's value as text; false when the server sent none.
bool QueryText(HINTERNET request, DWORD query, std::string& value)
{
    char buffer[2048] = {};
    DWORD size = sizeof(buffer) - 1;
    if (!HttpQueryInfoA(request, query, buffer, &size, nullptr))
        return false;
    value.assign(buffer, std::min<DWORD>(size, sizeof(buffer) - 1));
    return true;
}

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds)
{
    InternetSetOptionW(handle, option, &milliseconds, sizeof(milliseconds));
}
} // namespace

bool HttpResponse::OpenSession(const HttpTimeLimits& limits)
{
    m_limits = limits;
    m_deadline = GetTickCount64() + limits.deadlineMs;
    DWORD state = 0;
    InternetGetConnectedState(&state, 0);
    char agent[64] = {};
    std::strncpy(agent, "IIC2.0/PC 5.5.0000", sizeof(agent) - 1);
    const DWORD access = (state & INTERNET_CONNECTION_PROXY) != 0
                             ? INTERNET_OPEN_TYPE_PRECONFIG
                             : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
    m_completion = std::make_shared<RequestCompletion>();
    if (!m_completion->IsReady())
        return false;
    m_session.reset(InternetOpenA(agent, access, nullptr, nullptr, INTERNET_FLAG_ASYNC));
    if (!m_session || InternetSetStatusCallbackA(m_session.get(), &RequestCompletion::StatusCallback) ==
                          INTERNET_INVALID_STATUS_CALLBACK)
        return false;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        SetTimeout(m_session.get(), option, limits.stepMs);
    return true;
}

bool HttpResponse::Send(const std::string& url)
{
    char host[256] = {};
    char path[2048] = {};
    char extra[2048] = {};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof(path);
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof(extra);
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
        return Failure("address refused");
    const std::string target = std::string(path) + extra;
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;

    m_request.reset();
    m_connection.reset(
        InternetConnectA(m_session.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!m_connection)
        return SystemFailure("connect failed");
    // Its status calls come with a reference of its own: one may come after this object is gone.
    const DWORD_PTR context = RequestCompletion::HandleReference(m_completion);
    m_request.reset(HttpOpenRequestA(m_connection.get(), "GET", target.empty() ? "/" : target.c_str(),
                                     nullptr, nullptr, nullptr, kOpenFlags | secure, context));
    if (!m_request)
    {
        SystemFailure("request open failed");
        RequestCompletion::DropHandleReference(context);
        return false;
    }
    // Set on the request itself: Wine does not pass the session's time-outs on to requests.
    DWORD left = 0;
    if (!TimeLeft(left))
        return Failure("deadline passed");
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        SetTimeout(m_request.get(), option, left);
    m_completion->Arm();
    if (HttpSendRequestA(m_request.get(), kExtraHeaders, sizeof(kExtraHeaders) - 1, nullptr, 0))
        return true;
    if (GetLastError() != ERROR_IO_PENDING)
        return SystemFailure("send failed");
    // Up to the deadline: WinINet's own time-outs give up a stalled server after a step, but a
    // status line and headers that trickle in only the deadline ends.
    return AwaitCompletion(static_cast<DWORD>(m_deadline - std::min(m_deadline, GetTickCount64())),
                           "send failed");
}

bool HttpResponse::OpenRequest(const std::wstring& url)
{
    std::string current = ToUtf8(url);
    for (int hop = 0;; ++hop)
    {
        unsigned status = 0;
        if (!Send(current) || !CheckStatusLine(status))
            return false;
        if (status == 200)
            return ReadLength();
        // Anything else, 204 and 206 included, would hand over a body that is not the file asked for.
        std::string location;
        std::string next;
        if (!IsRedirectStatus(status))
            return Failure("status other than 200");
        if (hop == kMaxRedirects)
            return Failure("too many redirects");
        if (!QueryText(m_request.get(), HTTP_QUERY_LOCATION, location) ||
            !ResolveSameOriginRedirect(current, location, next))
            return Failure("redirect to another server");
        current = next;
    }
}

bool HttpResponse::CheckStatusLine(unsigned& status)
{
    // A reply without a status line must not pass as a body. WinINet makes one up for it ("HTTP/1.0
    // 200 OK" under Wine) but has no header line to show, while every HTTP/1.x server sends some.
    std::string version;
    std::string statusText;
    std::string raw;
    if (!QueryText(m_request.get(), HTTP_QUERY_VERSION, version) || version.rfind("HTTP/1.", 0) != 0 ||
        !QueryText(m_request.get(), HTTP_QUERY_STATUS_TEXT, statusText))
        return Failure("no status line");
    // The status line, at least one header line and the empty line: three line ends. A block too large
    // to query has them anyway.
    if (QueryText(m_request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, raw))
    {
        std::size_t lineEnds = 0;
        for (auto at = raw.find("\r\n"); at != std::string::npos; at = raw.find("\r\n", at + 2))
            ++lineEnds;
        if (lineEnds < 3)
            return Failure("no status line");
    }
    else if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    {
        return Failure("no status line");
    }
    DWORD code = 0;
    DWORD size = sizeof(code);
    if (!HttpQueryInfoW(m_request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size,
                        nullptr))
        return Failure("no status line");
    status = code;
    m_error.httpStatus = code;
    return true;
}

bool HttpResponse::ReadLength()
{
    // As text: the numeric query holds 32 bits, and a length above 4 GiB would wrap.
    std::string text;
    m_hasLength = QueryText(m_request.get(), HTTP_QUERY_CONTENT_LENGTH, text);
    if (m_hasLength && !ParseContentLength(text, m_length))
        return Failure("bad Content-Length");
    std::string encoding;
    // WinINet ends a chunked body that breaks off before its last chunk as if it were complete (seen
    // under Wine), so such a body cannot be trusted to be whole. Our server sends lengths.
    if (QueryText(m_request.get(), HTTP_QUERY_TRANSFER_ENCODING, encoding))
        return Failure("chunked body refused");
    return true;
}

bool HttpResponse::TimeLeft(DWORD& milliseconds) const
{
    const unsigned long long now = GetTickCount64();
    if (now >= m_deadline)
        return false;
    milliseconds = static_cast<DWORD>(std::min<unsigned long long>(m_deadline - now, m_limits.stepMs));
    return true;
}

bool HttpResponse::WaitForData(DWORD& available)
{
    for (;;)
    {
        DWORD left = 0;
        if (!TimeLeft(left))
            return Failure("deadline passed");
        // Also for WinINet's own thread: a stalled read given up here ends there after a step.
        SetTimeout(m_request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, left);
        m_completion->Arm();
        if (InternetQueryDataAvailable(m_request.get(), &m_completion->available, 0, 0))
        {
            available = m_completion->available;
            return true;
        }
        if (GetLastError() != ERROR_IO_PENDING)
            return SystemFailure("read failed");
        // Bytes arrived (or the body ended): the next query answers from them at once.
        if (!AwaitCompletion(left, "read failed"))
            return false;
    }
}

bool HttpResponse::Read(char* buffer, DWORD size, DWORD& read)
{
    read = 0;
    // Wait only for what has arrived: a read for a full buffer would wait on a trickle past the deadline.
    DWORD available = 0;
    if (!WaitForData(available))
        return false;
    if (available == 0)
        return true;
    DWORD left = 0;
    if (!TimeLeft(left))
        return Failure("deadline passed");
    // Into the completion's buffer: a read still pending when given up writes there, not into buffer.
    const DWORD wanted = std::min(available, size);
    if (m_completion->buffer.size() < wanted)
        m_completion->buffer.resize(wanted);
    m_completion->read = 0;
    m_completion->Arm();
    if (!InternetReadFile(m_request.get(), m_completion->buffer.data(), wanted, &m_completion->read))
    {
        if (GetLastError() != ERROR_IO_PENDING)
            return SystemFailure("read failed");
        if (!AwaitCompletion(left, "read failed"))
            return false;
    }
    read = std::min(m_completion->read, wanted);
    std::copy(m_completion->buffer.data(), m_completion->buffer.data() + read, buffer);
    return read > 0 || Failure("read returned nothing");
}

bool HttpResponse::AwaitCompletion(DWORD milliseconds, const char* failedDetail)
{
    if (m_completion->Wait(milliseconds) != WAIT_OBJECT_0)
    {
        // Closing is what cancels the pending call.
        m_request.reset();
        return Failure(GetTickCount64() >= m_deadline ? "deadline passed" : "server stalled");
    }
    const DWORD error = m_completion->Error();
    return error == ERROR_SUCCESS || CodeFailure(error, failedDetail);
}

bool HttpResponse::Failure(const char* detail)
{
    m_error.systemError = 0;
    m_error.detail = detail;
    return false;
}

bool HttpResponse::SystemFailure(const char* detail)
{
    return CodeFailure(GetLastError(), detail);
}

bool HttpResponse::CodeFailure(DWORD code, const char* detail)
{
    m_error.systemError = code;
    m_error.detail = detail;
    return false;
}
