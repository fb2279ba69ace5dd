#include "app/update/http/RequestCompletion.h"

namespace
{
using Reference = std::shared_ptr<RequestCompletion>;
}

RequestCompletion::RequestCompletion() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void CALLBACK RequestCompletion::StatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                                                DWORD infoLength)
{
    auto* reference = reinterpret_cast<Reference*>(context);
    if (reference == nullptr)
        return;
    if (status == INTERNET_STATUS_REQUEST_COMPLETE && info != nullptr &&
        infoLength >= sizeof(INTERNET_ASYNC_RESULT))
        (*reference)->Complete(*static_cast<const INTERNET_ASYNC_RESULT*>(info));
    else if (status == INTERNET_STATUS_HANDLE_CLOSING)
        delete reference; // the last call for this handle
}

DWORD_PTR RequestCompletion::HandleReference(const std::shared_ptr<RequestCompletion>& completion)
{
    return reinterpret_cast<DWORD_PTR>(new Reference(completion));
}

void RequestCompletion::DropHandleReference(DWORD_PTR context)
{
    delete reinterpret_cast<Reference*>(context);
}

void RequestCompletion::Complete(const INTERNET_ASYNC_RESULT& result)
{
    // dwResult is a count for some calls (0 bytes available is no failure); dwError tells.
    m_error.store(result.dwResult == 0 && result.dwError != ERROR_SUCCESS ? result.dwError : ERROR_SUCCESS);
    SetEvent(m_event.get());
}
