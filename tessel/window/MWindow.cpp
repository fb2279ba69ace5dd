#include "tessel/window/MWindow.h"

#include "tessel/render/Manager.h"

namespace Tessel
{

namespace
{
const wchar_t kControlProp[] = L"Control";
const wchar_t kDefaultTitle[] = L"MWindow";
constexpr DWORD kDefaultStyle = 0x80B;

HWND InvalidHandle()
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));
}

// Maps a rectangle through its two corners with ::ClientToScreen or ::ScreenToClient.
BOOL MapRectCorners(HWND hwnd, RECT* rect, BOOL(WINAPI* mapPoint)(HWND, LPPOINT))
{
    return mapPoint(hwnd, reinterpret_cast<POINT*>(&rect->left)) &&
           mapPoint(hwnd, reinterpret_cast<POINT*>(&rect->right));
}
} // namespace

MWindow::MWindow() : m_hParent(nullptr), m_hWnd(nullptr), m_oldWndProc(::DefWindowProcW) {}

MWindow::~MWindow()
{
    // Unbind first so no message reaches this half-destroyed object, then close the window.
    if (HasWindow())
    {
        HWND hwnd = m_hWnd;
        if (::GetPropW(hwnd, kControlProp) == this)
            ::RemovePropW(hwnd, kControlProp);
        if (::GetWindowLongPtrW(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

const wchar_t* MWindow::GetWindowClassName() const
{
    return L"MWindow";
}

const wchar_t* MWindow::GetSuperClassName() const
{
    return nullptr;
}

bool MWindow::HasHandle() const
{
    return m_hWnd != nullptr && m_hWnd != InvalidHandle();
}

bool MWindow::HasWindow() const
{
    return HasHandle() && ::IsWindow(m_hWnd);
}

void MWindow::ShowWindow(int cmdShow)
{
    if (HasHandle())
        ::ShowWindow(m_hWnd, cmdShow);
}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_oldWndProc, m_hWnd, msg, wParam, lParam);
}

int MWindow::PreTranslateMessage(MSG*)
{
    return 0;
}

int MWindow::OnInitDialog()
{
    return 1;
}

void MWindow::OnDestroyMessage(HWND) {}

HWND MWindow::Create(HWND parent)
{
    return Create(parent, kDefaultTitle, kDefaultStyle, 0, CRect(0, 0, 800, 600), nullptr);
}

HWND MWindow::Create(HWND parent, CRect rect)
{
    return Create(parent, kDefaultTitle, kDefaultStyle, 0, rect, nullptr);
}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect)
{
    return Create(parent, title, style, exStyle, rect, nullptr);
}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect, HMENU menu)
{
    if (HasWindow())
        return m_hWnd;
    m_hParent = parent;
    const int registered = GetSuperClassName() ? RegisterSuperClass() : RegisterWindowClass();
    if (!registered)
        return nullptr;
    HWND hwnd = ::CreateWindowExW(exStyle, GetWindowClassName(), title, style, rect.left, rect.top,
                                  rect.Width(), rect.Height(), parent, menu, Manager::GetInstance(), this);
    // WM_NCCREATE stored the handle already; a failed creation leaves it null.
    m_hWnd = hwnd;
    OnInitDialog();
    return hwnd;
}

int MWindow::RegisterWindowClass()
{
    WNDCLASSW wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &MWindow::WndProc;
    wc.hInstance = Manager::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    if (::RegisterClassW(&wc))
        return 1;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS ? 1 : 0;
}

int MWindow::RegisterSuperClass()
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
        !::GetClassInfoExW(Manager::GetInstance(), GetSuperClassName(), &wc))
        return 0;
    m_oldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = &MWindow::ControlProc;
    wc.hInstance = Manager::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    if (::RegisterClassExW(&wc))
        return 1;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS ? 1 : 0;
}

// Where a window keeps the MWindow it belongs to: the user-data slot of windows of its own class,
// a property on a subclassed control (whose user data belongs to the control).
struct MWindow::Binding
{
    MWindow* (*find)(HWND);
    void (*attach)(HWND, MWindow*);
    void (*detach)(HWND);
};

LRESULT MWindow::Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const Binding& binding) noexcept
{
    MWindow* self = nullptr;
    if (msg == WM_NCCREATE)
    {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<MWindow*>(cs->lpCreateParams);
        if (self)
        {
            self->m_hWnd = hwnd;
            binding.attach(hwnd, self);
        }
    }
    else
    {
        self = binding.find(hwnd);
        if (msg == WM_NCDESTROY)
        {
            if (!self)
                return ::DefWindowProcW(hwnd, msg, wParam, lParam);
            const LRESULT result = ::CallWindowProcW(self->m_oldWndProc, hwnd, msg, wParam, lParam);
            binding.detach(hwnd);
            self->m_hWnd = nullptr;
            self->OnDestroyMessage(hwnd);
            return result;
        }
    }
    if (self)
        return self->OnWindowMessage(msg, wParam, lParam);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    static const Binding userData{
        [](HWND h) { return reinterpret_cast<MWindow*>(::GetWindowLongPtrW(h, GWLP_USERDATA)); },
        [](HWND h, MWindow* w) { ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w)); },
        [](HWND h) { ::SetWindowLongPtrW(h, GWLP_USERDATA, 0); }};
    return Route(hwnd, msg, wParam, lParam, userData);
}

LRESULT CALLBACK MWindow::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    static const Binding property{[](HWND h) { return static_cast<MWindow*>(::GetPropW(h, kControlProp)); },
                                  [](HWND h, MWindow* w) { ::SetPropW(h, kControlProp, w); },
                                  [](HWND h) { ::RemovePropW(h, kControlProp); }};
    return Route(hwnd, msg, wParam, lParam, property);
}

DWORD MWindow::GetStyle() const
{
    return HasHandle() ? static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)) : 0;
}

DWORD MWindow::GetExStyle() const
{
    return HasHandle() ? static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)) : 0;
}

namespace
{
int ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT swpFlags)
{
    const DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, index));
    const DWORD updated = (old & ~remove) | add;
    if (updated == old)
        return 0;
    ::SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(updated));
    if (swpFlags)
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}
} // namespace

int MWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    return HasHandle() ? ModifyLong(m_hWnd, GWL_STYLE, remove, add, swpFlags) : 0;
}

int MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    return HasHandle() ? ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags) : 0;
}

LRESULT MWindow::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return HasHandle() ? ::SendMessageW(m_hWnd, msg, wParam, lParam) : 0;
}

BOOL MWindow::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return HasHandle() ? ::PostMessageW(m_hWnd, msg, wParam, lParam) : FALSE;
}

BOOL MWindow::GetClientRect(RECT* rect) const
{
    return HasWindow() ? ::GetClientRect(m_hWnd, rect) : FALSE;
}

BOOL MWindow::GetWindowRect(RECT* rect) const
{
    return HasWindow() ? ::GetWindowRect(m_hWnd, rect) : FALSE;
}

BOOL MWindow::SetWindowTextW(const wchar_t* text)
{
    return HasWindow() ? ::SetWindowTextW(m_hWnd, text) : FALSE;
}

int MWindow::GetWindowTextW(CString& text) const
{
    if (!HasWindow())
        return 0;
    const int length = ::GetWindowTextLengthW(m_hWnd);
    wchar_t* buffer = text.GetBuffer(length + 1);
    const int copied = ::GetWindowTextW(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(copied > 0 ? copied : 0);
    return copied;
}

int MWindow::GetWindowTextLengthW() const
{
    return HasWindow() ? ::GetWindowTextLengthW(m_hWnd) : -1;
}

BOOL MWindow::EnableWindow(BOOL enable)
{
    return HasWindow() ? ::EnableWindow(m_hWnd, enable) : FALSE;
}

BOOL MWindow::IsWindowEnabled() const
{
    return HasWindow() ? ::IsWindowEnabled(m_hWnd) : FALSE;
}

BOOL MWindow::IsWindowVisible() const
{
    return HasWindow() ? ::IsWindowVisible(m_hWnd) : FALSE;
}

BOOL MWindow::IsIconic() const
{
    return HasWindow() ? ::IsIconic(m_hWnd) : FALSE;
}

BOOL MWindow::InvalidateRect(CRect rect, BOOL erase)
{
    return HasWindow() ? ::InvalidateRect(m_hWnd, &rect, erase) : FALSE;
}

HWND MWindow::SetCapture()
{
    return HasWindow() ? ::SetCapture(m_hWnd) : nullptr;
}

BOOL MWindow::ReleaseCapture()
{
    return HasWindow() ? ::ReleaseCapture() : FALSE;
}

HWND MWindow::SetFocus()
{
    return HasWindow() ? ::SetFocus(m_hWnd) : nullptr;
}

BOOL MWindow::ClientToScreen(POINT* pt) const
{
    return HasWindow() ? ::ClientToScreen(m_hWnd, pt) : FALSE;
}

BOOL MWindow::ClientToScreen(RECT* rect) const
{
    return HasWindow() ? MapRectCorners(m_hWnd, rect, ::ClientToScreen) : FALSE;
}

BOOL MWindow::ScreenToClient(POINT* pt) const
{
    return HasWindow() ? ::ScreenToClient(m_hWnd, pt) : FALSE;
}

BOOL MWindow::ScreenToClient(RECT* rect) const
{
    return HasWindow() ? MapRectCorners(m_hWnd, rect, ::ScreenToClient) : FALSE;
}

BOOL MWindow::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return HasWindow() ? ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags) : FALSE;
}

BOOL MWindow::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    return HasWindow() ? ::MoveWindow(m_hWnd, x, y, width, height, repaint) : FALSE;
}

BOOL MWindow::MoveWindow(const RECT* rect, BOOL repaint)
{
    if (!rect)
        return FALSE;
    return MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL MWindow::DestroyWindow()
{
    return HasWindow() ? ::DestroyWindow(m_hWnd) : FALSE;
}

UINT_PTR MWindow::SetTimer(UINT id, UINT elapse, TIMERPROC proc)
{
    return HasWindow() ? ::SetTimer(m_hWnd, id, elapse, proc) : 0;
}

BOOL MWindow::KillTimer(UINT id)
{
    return HasWindow() ? ::KillTimer(m_hWnd, id) : FALSE;
}

void MWindow::SetIcon(UINT resourceId)
{
    if (!HasWindow())
        return;
    // The window keeps using the icons; LR_SHARED ties their lifetime to the module.
    HANDLE big = ::LoadImageW(Manager::GetInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                              ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED);
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    HANDLE small = ::LoadImageW(Manager::GetInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void MWindow::CenterWindow(MWindow* over)
{
    if (!HasWindow())
        return;
    const DWORD style = GetStyle();
    HWND centre = nullptr;
    if (over && over->GetSafeHwnd())
        centre = over->GetSafeHwnd();
    else if (style & WS_CHILD)
        centre = ::GetParent(m_hWnd);
    else
        centre = ::GetWindow(m_hWnd, GW_OWNER);

    CRect self;
    ::GetWindowRect(m_hWnd, &self);
    CRect area;
    CRect centreRect;
    if (style & WS_CHILD)
    {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        if (centre)
        {
            ::GetClientRect(centre, &centreRect);
            ::MapWindowPoints(centre, parent, reinterpret_cast<POINT*>(&centreRect), 2);
        }
        else
            centreRect = area;
    }
    else
    {
        if (centre)
        {
            const DWORD cs = static_cast<DWORD>(::GetWindowLongPtrW(centre, GWL_STYLE));
            if (!(cs & WS_VISIBLE) || (cs & WS_MINIMIZE))
                centre = nullptr;
        }
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        ::GetMonitorInfoW(::MonitorFromWindow(centre ? centre : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
        area = mi.rcWork;
        if (centre)
            ::GetWindowRect(centre, &centreRect);
        else
            centreRect = area;
    }

    const int width = self.Width();
    const int height = self.Height();
    int x = (centreRect.left + centreRect.right) / 2 - width / 2;
    int y = (centreRect.top + centreRect.bottom) / 2 - height / 2;
    if (x + width > area.right)
        x = area.right - width;
    if (x < area.left)
        x = area.left;
    if (y + height > area.bottom)
        y = area.bottom - height;
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MWindow::BringToTop()
{
    if (!HasWindow())
        return;
    HWND foreground = ::GetForegroundWindow();
    const DWORD ownThread = ::GetCurrentThreadId();
    const DWORD foreThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : ownThread;
    if (foreThread == ownThread)
        ::SetForegroundWindow(m_hWnd);
    else
    {
        ::AttachThreadInput(ownThread, foreThread, TRUE);
        ::AllowSetForegroundWindow(ASFW_ANY);
        ::SetForegroundWindow(m_hWnd);
        ::AttachThreadInput(ownThread, foreThread, FALSE);
    }
    ::ShowWindow(m_hWnd, (GetStyle() & WS_MINIMIZE) ? SW_RESTORE : SW_SHOW);
}

UINT MWindow::ShowModal(int cmdShow)
{
    if (!HasWindow())
        return 0xFFFFFFFFu;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    ShowWindow(cmdShow);
    if (owner)
        ::EnableWindow(owner, FALSE);
    UINT result = 0;
    bool quit = false;
    WPARAM quitCode = 0;
    // The handle is read from the window itself: the object may lose it at WM_NCDESTROY.
    HWND self = m_hWnd;
    MSG msg{};
    while (::IsWindow(self))
    {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0)
        {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got == -1)
            break;
        if (msg.message == WM_CLOSE && msg.hwnd == self)
        {
            result = static_cast<UINT>(msg.wParam);
            // Give activation back to the owner before this window goes away.
            if (owner)
            {
                ::EnableWindow(owner, TRUE);
                ::SetFocus(owner);
            }
        }
        if (!PreTranslateMessage(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner)
    {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    if (quit)
        ::PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

} // namespace Tessel
