#include "tests/tessel/PaintTestDialog.h"
#include "tests/tessel/PixelBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <commctrl.h>
#include <shlobj.h>
#include <string>
#include <vector>

using namespace Tessel;

namespace
{
const ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new TesselEnvironment);

// Sends WM_TIMER with a system id straight to the dialog, as the system would.
void Tick(TestDialog& dlg, UINT id)
{
    dlg.SendMessageW(WM_TIMER, id, 0);
}

CRect UpdateRect(HWND hwnd)
{
    CRect rc;
    ::GetUpdateRect(hwnd, &rc, FALSE);
    return rc;
}

class TickControl : public RecordingControl
{
public:
    using RecordingControl::RecordingControl;
    int OnControlTimer() override
    {
        threadId = ::GetCurrentThreadId();
        ++ticks;
        return 0;
    }
    std::atomic<int> ticks{0};
    std::atomic<DWORD> threadId{0};
};
} // namespace

TEST(ControlTimers, SystemIdsStartAt17AndWrapAfter239)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"timers", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    PaintManager& pm = dlg.GetPaintManager();
    RecordingControl* first[4];
    for (int i = 0; i < 4; ++i)
    {
        first[i] = dlg.Add(10 + i, CRect(0, 0, 10, 10));
        ASSERT_EQ(1, pm.SetTimer(first[i], 1, 600000));
    }
    for (int i = 0; i < 4; ++i)
    {
        Tick(dlg, 17 + i);
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(i == j ? 1 : 0, first[j]->timerTicks) << "id " << 17 + i << " control " << j;
        first[i]->timerTicks = 0;
    }

    // 219 more make 223 timers: ids 17..239; the 224th gets 0.
    RecordingControl* many = dlg.Add(99, CRect(0, 0, 10, 10));
    for (UINT key = 0; key < 219; ++key)
        ASSERT_EQ(1, pm.SetTimer(many, key, 600000)) << key;
    Tick(dlg, 239);
    EXPECT_EQ(1, many->timerTicks);
    Tick(dlg, 0);
    EXPECT_EQ(1, many->timerTicks); // nothing has id 0 yet
    ASSERT_EQ(1, pm.SetTimer(many, 1000, 600000));
    Tick(dlg, 0);
    EXPECT_EQ(2, many->timerTicks);
    Tick(dlg, 16);
    EXPECT_EQ(2, many->timerTicks);
    dlg.DestroyWindow();
}

TEST(ControlTimers, LiveTimerRefusesKilledOneIsRearmedWithItsId)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"timers", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    PaintManager& pm = dlg.GetPaintManager();
    RecordingControl* c = dlg.Add(1, CRect(0, 0, 10, 10));
    ASSERT_EQ(1, pm.SetTimer(c, 5, 600000)); // id 17
    EXPECT_EQ(0, pm.SetTimer(c, 5, 10));     // live: refused
    EXPECT_EQ(1, pm.KillTimer(c, 5));
    EXPECT_EQ(0, pm.KillTimer(c, 5));
    Tick(dlg, 17);
    EXPECT_EQ(0, c->timerTicks); // killed records get no ticks
    ASSERT_EQ(1, pm.SetTimer(c, 5, 600000));
    Tick(dlg, 17);
    EXPECT_EQ(1, c->timerTicks); // same system id again
    RecordingControl* other = dlg.Add(2, CRect(0, 0, 10, 10));
    ASSERT_EQ(1, pm.SetTimer(other, 5, 600000)); // next id: 18
    Tick(dlg, 18);
    EXPECT_EQ(1, other->timerTicks);

    pm.KillTimer(c);
    Tick(dlg, 17);
    EXPECT_EQ(1, c->timerTicks);
    pm.RemoveControl(other); // its records go with it
    Tick(dlg, 18);
    dlg.DestroyWindow();
}

TEST(ControlTimers, RealSystemTimerReachesTheControl)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"timers", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    RecordingControl* c = dlg.Add(1, CRect(0, 0, 10, 10));
    ASSERT_EQ(1, dlg.GetPaintManager().SetTimer(c, 1, 10));
    EXPECT_TRUE(PumpUntil([c] { return c->timerTicks >= 2; }));
    dlg.DestroyWindow();
}

TEST(ReservedTimers, Timer66FiresOnceThenOne88Follows)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"fade", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    dlg.SetTimer(PaintManager::kFadeStartTimer, 10);
    PumpMessages(400);
    EXPECT_EQ((std::vector<UINT>{66, 88}), dlg.timerIds);

    dlg.timerIds.clear();
    dlg.SetTimer(PaintManager::kFadeEndTimer, 10);
    PumpMessages(200);
    EXPECT_EQ((std::vector<UINT>{99}), dlg.timerIds);
    dlg.DestroyWindow();
}

TEST(MultimediaTick, RegisteredControlsTickOnTheTimerThread)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"tick", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    PaintManager& pm = dlg.GetPaintManager();
    auto* animated = new TickControl(&dlg, 1, CRect(0, 0, 10, 10));
    auto* still = new TickControl(&dlg, 2, CRect(0, 0, 10, 10));
    pm.AddControl(animated, 1);
    pm.AddControl(still, 1);
    pm.AddMTimer(animated);
    const int id = dlg.SetMTimer(5);
    ASSERT_NE(0, id);
    EXPECT_TRUE(PumpUntil([animated] { return animated->ticks >= 3; }));
    EXPECT_NE(::GetCurrentThreadId(), animated->threadId.load());
    EXPECT_EQ(0, still->ticks.load());

    EXPECT_EQ(1, pm.DeleteFSTimer(animated));
    EXPECT_EQ(0, pm.DeleteFSTimer(animated));
    dlg.KillMTimer();
    const int after = animated->ticks;
    ::Sleep(30);
    EXPECT_EQ(after, animated->ticks.load());
    dlg.DestroyWindow(); // the tick must be gone before the controls are deleted
}

namespace
{
// Asks for a repaint from the timer thread on every tick.
class AnimatedControl : public TickControl
{
public:
    using TickControl::TickControl;
    int OnControlTimer() override
    {
        TickControl::OnControlTimer();
        UpdateControl(1, 0);
        return 0;
    }
};

// Joins and leaves the tick list from mouse moves, i.e. under the manager's control-list lock.
class TogglingControl : public RecordingControl
{
public:
    using RecordingControl::RecordingControl;
    int OnControlMouseMove(UINT, CPoint) override
    {
        ::Sleep(3); // long enough for a tick to come in while the list lock is held
        if (GetManager()->DeleteFSTimer(this) == 0)
            GetManager()->AddMTimer(this);
        return 0;
    }
};
} // namespace

TEST(MultimediaTick, RepaintRequestsFromTheTimerThreadNeverBlockTheWindowThread)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open(CRect(100, 100, 300, 250), false));
    PaintManager& pm = dlg.GetPaintManager();
    auto* animated = new AnimatedControl(&dlg, 1, CRect(0, 0, 60, 60));
    auto* later = new RecordingControl(&dlg, 2, CRect(30, 30, 90, 90));
    auto* toggling = new TogglingControl(&dlg, 3, CRect(100, 0, 150, 50));
    pm.AddControl(animated, 1);
    pm.AddControl(later, 1);
    pm.AddControl(toggling, 1);
    pm.AddMTimer(animated);
    ASSERT_NE(0, dlg.SetMTimer(5));
    const int drawsBefore = animated->draws;
    // In and out of the toggling control: every move walks the control list under its lock.
    for (int i = 0; i < 400; ++i)
    {
        dlg.MoveTo(i % 2 ? CPoint(120, 10) : CPoint(180, 120));
        EXPECT_EQ(i % 2 ? toggling : nullptr, pm.GetHoverControl());
        if (i % 40 == 0)
            PumpMessages(2);
    }
    EXPECT_TRUE(PumpUntil([&] { return animated->draws > drawsBefore && later->staleMarks > 0; }));
    dlg.KillMTimer();
    EXPECT_GT(animated->ticks.load(), 0);
    dlg.DestroyWindow();
}

TEST(Invalidation, UpdatingAControlRepaintsLaterOverlappingControlsOnly)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open(CRect(100, 100, 400, 300), false));
    RecordingControl* first = dlg.Add(1, CRect(0, 0, 100, 100));
    RecordingControl* second = dlg.Add(2, CRect(50, 50, 150, 150));
    RecordingControl* apart = dlg.Add(3, CRect(200, 0, 250, 50));
    HWND hwnd = dlg.GetSafeHwnd();
    PumpMessages(50);
    ::ValidateRect(hwnd, nullptr);

    first->UpdateControl(1, 0);
    EXPECT_EQ(CRect(0, 0, 150, 150), UpdateRect(hwnd));
    EXPECT_EQ(1, first->staleMarks);
    EXPECT_EQ(1, second->staleMarks);
    EXPECT_EQ(0, apart->staleMarks);

    ::ValidateRect(hwnd, nullptr);
    second->UpdateControl(1, 0);
    EXPECT_EQ(CRect(50, 50, 150, 150), UpdateRect(hwnd)); // nothing earlier is repainted
    EXPECT_EQ(1, first->staleMarks);
    EXPECT_EQ(2, second->staleMarks);

    // Without update only invalidation: no cache is marked stale.
    ::ValidateRect(hwnd, nullptr);
    first->UpdateControl(0, 0);
    EXPECT_EQ(1, first->staleMarks);
    EXPECT_EQ(3, second->staleMarks); // an overlapping later control is always redrawn fresh
    EXPECT_EQ(0, dlg.GetPaintManager().OnControlUpdate(CRect(0, 0, 5, 5), TRUE, nullptr));
    dlg.DestroyWindow();
}

TEST(Invalidation, AreasComeBeforeControlsInTheWalk)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"areas", WS_POPUP, 0, CRect(0, 0, 200, 200)));
    RecordingControl* control = dlg.Add(1, CRect(0, 0, 50, 50), 1);
    RecordingControl* area = dlg.Add(2, CRect(20, 20, 80, 80), 0);
    area->UpdateControl(1, 0);
    EXPECT_EQ(1, control->staleMarks); // controls are drawn after areas
    control->UpdateControl(1, 0);
    EXPECT_EQ(1, area->staleMarks);
    dlg.DestroyWindow();
}

TEST(Controls, LookupRemovalAndClearingForgetHoverAndFocus)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open());
    PaintManager& pm = dlg.GetPaintManager();
    RecordingControl* area = dlg.Add(5, CRect(0, 0, 10, 10), 0);
    RecordingControl* control = dlg.Add(5, CRect(20, 20, 60, 60), 1);
    auto* child = new RecordingControl(control, 6, CRect(25, 25, 30, 30));
    control->AddControl(child);
    EXPECT_EQ(control, dlg.GetControl(5)); // the control list first
    EXPECT_EQ(child, dlg.GetControl(6));
    EXPECT_EQ(nullptr, dlg.GetControl(7));

    dlg.MoveTo(CPoint(40, 40));
    ASSERT_EQ(control, pm.GetHoverControl());
    pm.SetFocusControl(control);
    EXPECT_EQ(0, pm.RemoveControl(area)); // only the control list is searched
    EXPECT_EQ(1, pm.RemoveControl(control));
    EXPECT_EQ(nullptr, pm.GetHoverControl());
    EXPECT_EQ(nullptr, pm.GetFocusControl());
    EXPECT_EQ(area, dlg.GetControl(5));
    pm.ClearAllControls();
    EXPECT_TRUE(pm.GetAreas().empty());
    dlg.DestroyWindow();
}

TEST(WindowLimits, MinMaxInfoReportsOnlySetSizes)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"limits", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    PaintManager& pm = dlg.GetPaintManager();
    pm.SetWindowMixSize(120, 0);
    pm.SetWindowMaxSize(0, 500);
    MINMAXINFO info{};
    info.ptMinTrackSize = {1, 2};
    info.ptMaxTrackSize = {3, 4};
    info.ptMaxSize = {5, 6};
    EXPECT_EQ(1, pm.OnWindowMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(120, info.ptMinTrackSize.x);
    EXPECT_EQ(2, info.ptMinTrackSize.y);
    EXPECT_EQ(3, info.ptMaxTrackSize.x);
    EXPECT_EQ(500, info.ptMaxTrackSize.y);
    EXPECT_EQ(500, info.ptMaxSize.y);
    EXPECT_EQ(CSize(120, 0), pm.GetWindowMinSize());
    dlg.DestroyWindow();
}

// Logs the frame being applied and the test's move and size (not the system's own), in order.
class FrameLogDialog : public TestDialog
{
public:
    std::vector<std::string> log;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_NCCALCSIZE && wParam)
            log.push_back("frame");
        if ((msg == WM_MOVE && lParam == MAKELPARAM(11, 12)) ||
            (msg == WM_SIZE && lParam == MAKELPARAM(31, 32)))
            log.push_back(msg == WM_MOVE ? "move" : "size");
        return TestDialog::OnWindowMessage(msg, wParam, lParam);
    }
};

TEST(WindowPosChanged, FrameIsAppliedAgainBeforeMoveAndSize)
{
    const std::pair<UINT, std::vector<std::string>> cases[] = {
        {0, {"frame", "move", "size"}},       {SWP_NOMOVE, {"frame", "size"}},
        {SWP_NOSIZE, {"frame", "move"}},      {SWP_NOMOVE | SWP_NOSIZE, {"frame"}},
        {SWP_FRAMECHANGED, {"move", "size"}}, // already a frame change: no second one
    };
    FrameLogDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"frame", WS_POPUP, 0, CRect(0, 0, 100, 80)));
    for (const auto& [flags, expected] : cases)
    {
        dlg.log.clear();
        WINDOWPOS pos = {dlg.GetSafeHwnd(), nullptr, 11, 12, 31, 32, flags};
        EXPECT_EQ(1, dlg.GetPaintManager().OnWindowPosChanged(&pos));
        EXPECT_EQ(expected, dlg.log) << "flags 0x" << std::hex << flags;
    }
    dlg.DestroyWindow();
}

TEST(Tooltip, CreatedOnFirstTextAndClearedWithTheOwnerId)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"tips", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    PaintManager& pm = dlg.GetPaintManager();
    EXPECT_EQ(0, pm.SetTooltip(L"", CRect()));
    EXPECT_EQ(nullptr, pm.GetTooltipWindow());
    EXPECT_EQ(1, pm.SetTooltip(L"first tip", CRect()));
    HWND tip = pm.GetTooltipWindow();
    ASSERT_NE(nullptr, tip);
    wchar_t cls[64] = {};
    ::GetClassNameW(tip, cls, 64);
    EXPECT_STREQ(L"tooltips_class32", cls);
    EXPECT_EQ(1, ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(dlg.GetSafeHwnd(), ::GetWindow(tip, GW_OWNER));
    EXPECT_EQ(1, pm.SetTooltip(L"second tip", CRect()));
    EXPECT_EQ(tip, pm.GetTooltipWindow());
    pm.SetTooltipCtrlID(42);
    pm.ClearTooltip();
    EXPECT_EQ(0, pm.GetTooltipCtrlID());
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, pm.GetTooltipWindow()); // went with its owner

    // The same dialog object opened again gets a tooltip of its own new window.
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"tips again", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    EXPECT_EQ(1, pm.SetTooltip(L"third tip", CRect()));
    ASSERT_TRUE(::IsWindow(pm.GetTooltipWindow()));
    EXPECT_EQ(dlg.GetSafeHwnd(), ::GetWindow(pm.GetTooltipWindow(), GW_OWNER));
    dlg.DestroyWindow();
}

namespace
{
class ImageDialog : public TestDialog
{
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_LBUTTONUP)
            ++buttonUps;
        if (msg == STM_SETIMAGE)
        {
            BITMAP bm{};
            ::GetObjectW(reinterpret_cast<HBITMAP>(lParam), sizeof(bm), &bm);
            received = CSize(bm.bmWidth, bm.bmHeight);
            HBITMAP previous = held;
            held = reinterpret_cast<HBITMAP>(lParam);
            return reinterpret_cast<LRESULT>(previous);
        }
        return TestDialog::OnWindowMessage(msg, wParam, lParam);
    }
    ~ImageDialog() override
    {
        if (held)
            ::DeleteObject(held);
    }
    HBITMAP held = nullptr;
    CSize received;
    int buttonUps = 0;
};

HBITMAP MakeBitmap(int w, int h)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
    ::ReleaseDC(nullptr, screen);
    return bmp;
}
} // namespace

TEST(Drop, EveryAcceptedFormatBecomesABitmapForTheWindow)
{
    ImageDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr, L"drop", WS_POPUP, 0, CRect(0, 0, 100, 100)));
    PaintManager& pm = dlg.GetPaintManager();

    // CF_BITMAP
    FORMATETC fmt{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium{};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = MakeBitmap(31, 17);
    EXPECT_TRUE(pm.OnDrop(&fmt, medium, nullptr));
    EXPECT_EQ(CSize(31, 17), dlg.received);
    EXPECT_EQ(1, dlg.buttonUps); // a pressed control lets go first
    ::ReleaseStgMedium(&medium); // the window holds its own copy

    // CF_DIB: a packed 24-bit DIB in global memory.
    const int w = 9, h = 5, stride = ((w * 3 + 3) / 4) * 4;
    HGLOBAL dib = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + stride * h);
    auto* bih = static_cast<BITMAPINFOHEADER*>(::GlobalLock(dib));
    *bih = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    ::GlobalUnlock(dib);
    fmt = FORMATETC{CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    medium = STGMEDIUM{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = dib;
    EXPECT_TRUE(pm.OnDrop(&fmt, medium, nullptr));
    EXPECT_EQ(CSize(9, 5), dlg.received);
    ::ReleaseStgMedium(&medium);

    // CF_ENHMETAFILE: a frame of 10 x 5 mm.
    HDC metaDc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ::Rectangle(metaDc, 0, 0, 20, 10);
    HENHMETAFILE meta = ::CloseEnhMetaFile(metaDc);
    fmt = FORMATETC{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    medium = STGMEDIUM{};
    medium.tymed = TYMED_ENHMF;
    medium.hEnhMetaFile = meta;
    EXPECT_TRUE(pm.OnDrop(&fmt, medium, nullptr));
    EXPECT_GT(dlg.received.cx, 0);
    EXPECT_GT(dlg.received.cy, 0);
    ::ReleaseStgMedium(&medium);

    // CF_HDROP: the first file, decoded from disk.
    const CString png = Manager::GetSkinFolder() + L"tk_drop_test.png";
    ASSERT_TRUE(WriteSkinPng(L"tk_drop_test.png", 13, 7, [](int, int) { return 0xFF336699u; }));
    const size_t chars = static_cast<size_t>(png.GetLength()) + 2; // two terminators end the list
    HGLOBAL files = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(::GlobalLock(files));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    wcscpy(reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(df) + sizeof(DROPFILES)), png.GetString());
    ::GlobalUnlock(files);
    fmt = FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    medium = STGMEDIUM{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = files;
    EXPECT_TRUE(pm.OnDrop(&fmt, medium, nullptr));
    EXPECT_EQ(CSize(13, 7), dlg.received);
    ::ReleaseStgMedium(&medium);
    ::DeleteFileW(png.GetString());

    // Nothing usable: refused, no message.
    fmt = FORMATETC{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    medium = STGMEDIUM{};
    dlg.received = CSize();
    EXPECT_FALSE(pm.OnDrop(&fmt, medium, nullptr));
    EXPECT_EQ(CSize(), dlg.received);
    dlg.DestroyWindow();
}
