#pragma once

#include "tessel/render/CPoint.h"

#include <windows.h>

namespace Tessel
{

// The message-to-hook table dialogs and tip bubbles share: the window's hook for the message is
// called and its result ignored; messages without a hook here are left to the caller.
template <typename Window> void CallHook(Window& window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const CPoint pt = CPoint::FromLParam(lParam);
    const UINT keys = static_cast<UINT>(wParam);
    switch (msg)
    {
    case WM_CREATE:
        window.OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
        break;
    case WM_DESTROY:
        window.OnDestroy();
        break;
    case WM_SIZE:
        window.OnSize(keys, pt.x, pt.y);
        break;
    case WM_PAINT:
        window.OnPaint();
        break;
    case WM_CLOSE:
        window.OnClose();
        break;
    case WM_WINDOWPOSCHANGING:
        window.OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_WINDOWPOSCHANGED:
        window.OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_NCACTIVATE:
        window.OnNcActivate(static_cast<BOOL>(wParam));
        break;
    case WM_TIMER:
        window.OnTimer(keys);
        break;
    case WM_MOUSEMOVE:
        window.OnMouseMove(keys, pt);
        break;
    case WM_LBUTTONDOWN:
        window.OnLButtonDown(keys, pt);
        break;
    case WM_LBUTTONUP:
        window.OnLButtonUp(keys, pt);
        break;
    case WM_LBUTTONDBLCLK:
        window.OnLButtonDblClk(keys, pt);
        break;
    case WM_RBUTTONDOWN:
        window.OnRButtonDown(keys, pt);
        break;
    case WM_RBUTTONUP:
        window.OnRButtonUp(keys, pt);
        break;
    case WM_RBUTTONDBLCLK:
        window.OnRButtonDblClk(keys, pt);
        break;
    case WM_MOUSEHOVER:
        window.OnMouseHover(wParam, lParam);
        break;
    case WM_MOUSELEAVE:
        window.OnMouseLeave(wParam, lParam);
        break;
    default:
        break;
    }
}

} // namespace Tessel
