#pragma once

#include "app/update/http/HttpError.h"
#include "app/update/http/HttpTimeLimits.h"
#include "app/update/http/InternetHandle.h"
#include "app/update/http/RequestCompletion.h"

#include <memory>
#include <string>

// One GET on WinINet, answered 200 by the server the URL names: redirects are followed here, at most
// kMaxRedirects and only to the same scheme, host and port. Worker thread only.
//
// WinINet runs in its asynchronous mode: a send or read that has to wait goes on on WinINet's own
// thread while the worker waits for it only until the step or the deadline is up, then closes the
// request, which cancels the pending call. In the blocking mode nothing ends a send whose status line
// and headers trickle in: each byte restarts the receive time-out, and under Wine closing the handle
// from another thread does not end a pending send either. Under Wine 8 the close does not end
// WinINet's own read either: the worker is free at once, but that thread keeps the connection until
// the server finishes, stalls for a step or the program ends.
class HttpResponse
{
public:
    static constexpr int kMaxRedirects = 3;

    // 1 when a 200 answer is ready to read; 0 when no Internet handle could be opened; -1 otherwise.
    // afterSession runs once the Internet handle is open (the download posts progress there).
    template <typename AfterSession>
    int Open(const std::wstring& url, const HttpTimeLimits& limits, AfterSession afterSession)
    {
        if (!OpenSession(limits))
        {
            SystemFailure("internet open failed");
            return 0;
        }
        afterSession();
        return OpenRequest(url) ? 1 : -1;
    }

    bool HasLength() const { return m_hasLength; }
    unsigned long long Length() const { return m_length; }

    // Reads what has arrived, up to size bytes. False on a failed read, a time-out or an improper end;
    // read is 0 only at the proper end of the body.
    bool Read(char* buffer, DWORD size, DWORD& read);

    // What made Open or Read fail; the status stays once one has arrived.
    const HttpError& Error() const { return m_error; }
    // Records a failure without a system code; false, for returning it.
    bool Failure(const char* detail);
    // Records a failure with the thread's last error; false.
    bool SystemFailure(const char* detail);

private:
    bool OpenSession(const HttpTimeLimits& limits);
    bool OpenRequest(const std::wstring& url);
    bool Send(const std::string& url);
    bool CheckStatusLine(unsigned& status);
    bool ReadLength();
    bool TimeLeft(DWORD& milliseconds) const;
    // Waits up to milliseconds for the pending call; on failure the request is closed, which
    // cancels it, and why is recorded (failedDetail when the call itself failed).
    bool AwaitCompletion(DWORD milliseconds, const char* failedDetail);
    bool WaitForData(DWORD& available);
    bool CodeFailure(DWORD code, const char* detail);

    // Shared with the request handles' contexts; created with the session.
    std::shared_ptr<RequestCompletion> m_completion;
    // Closed in the reverse order of these lines: the request, its connection, then the session.
    InternetHandle m_session;
    InternetHandle m_connection;
    InternetHandle m_request;
    HttpTimeLimits m_limits;
    unsigned long long m_deadline = 0; // GetTickCount64 value
    bool m_hasLength = false;
    unsigned long long m_length = 0;
    HttpError m_error;
};
