#include "tests/tessel/MControlTestSupport.h"

#include "tessel/paint/PaintManager.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Tessel;

namespace
{

// A container (0,0)-(200,200) with two overlapping children: A (10,10)-(60,60) and
// B (40,40)-(100,100), B later in the list.
class Routing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        container.SetManager(&manager);
        a = new ProbeControl(&container, 11, CRect(10, 10, 60, 60), &log, "A");
        b = new ProbeControl(&container, 12, CRect(40, 40, 100, 100), &log, "B");
        container.AddControl(a);
        container.AddControl(b);
    }
    bool Logged(const char* entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
    size_t Count(const char* entry) const { return std::count(log.begin(), log.end(), entry); }

    std::vector<std::string> log;
    RecordingParent dialog{L"MDialog"};
    PaintManager manager;
    ProbeControl container{&dialog, 77, CRect(0, 0, 200, 200), &log, "P"};
    ProbeControl* a = nullptr;
    ProbeControl* b = nullptr;
};

} // namespace

TEST_F(Routing, MoveSetsHoverOnlyTheHoverGetsMovesInsideItAndLeavingIsReported)
{
    EXPECT_EQ(container.OnMouseMove(0, CPoint(20, 20)), 1);
    EXPECT_TRUE(Logged("P:move 20,20"));
    EXPECT_TRUE(Logged("A:move 20,20"));
    EXPECT_TRUE(Logged("B:move 20,20")); // every child sorts out enter and leave itself
    EXPECT_EQ(container.GetHoverChild(), a);

    log.clear();
    EXPECT_EQ(container.OnMouseMove(0, CPoint(25, 30)), 1);
    EXPECT_EQ(log, std::vector<std::string>{"A:move 25,30"});

    log.clear();
    a->moveResult = 0;
    b->moveResult = 0;
    container.moveResult = 0;
    // Leaving the hover child reports 1 even though nobody consumed the move.
    EXPECT_EQ(container.OnMouseMove(0, CPoint(150, 150)), 1);
    EXPECT_TRUE(Logged("A:move 150,150"));
    EXPECT_EQ(container.GetHoverChild(), nullptr);
    EXPECT_EQ(container.OnMouseMove(0, CPoint(160, 160)), 0);
}

TEST_F(Routing, OverlappingChildrenTheLastInListOrderBecomesHover)
{
    container.OnMouseMove(0, CPoint(50, 50));
    EXPECT_EQ(container.GetHoverChild(), b);
}

TEST_F(Routing, PressedInsideKeepsMovesFlowingToTheHoverChildOutsideIt)
{
    container.OnMouseMove(0, CPoint(20, 20));
    EXPECT_EQ(container.OnLButtonDown(0, CPoint(20, 20)), 1);
    EXPECT_TRUE(Logged("A:ldown 20,20"));
    log.clear();
    container.OnMouseMove(MK_LBUTTON, CPoint(300, -5));
    EXPECT_EQ(log, std::vector<std::string>{"A:move 300,-5"});
    EXPECT_EQ(container.GetHoverChild(), a);
    log.clear();
    container.OnLButtonUp(0, CPoint(300, -5));
    EXPECT_EQ(log, std::vector<std::string>{"A:lup 300,-5"});
    // Released: the next move outside A drops it.
    container.OnMouseMove(0, CPoint(300, -5));
    EXPECT_EQ(container.GetHoverChild(), nullptr);
}

TEST_F(Routing, ScrollBarsGetTheUnconvertedPointOtherChildrenTheConvertedOne)
{
    ScrollingControl scroller(&dialog, 5, CRect(0, 0, 200, 200), &log, "S");
    auto* bar = new ProbeControl(&scroller, 1, CRect(190, 0, 200, 200), &log, "bar");
    auto* hbar = new ProbeControl(&scroller, 2, CRect(0, 190, 190, 200), &log, "hbar");
    auto* content = new ProbeControl(&scroller, 9, CRect(0, 100, 100, 300), &log, "content");
    scroller.AddControl(bar);
    scroller.AddControl(hbar);
    scroller.AddControl(content);
    scroller.OnMouseMove(0, CPoint(195, 50));
    EXPECT_TRUE(Logged("bar:move 195,50"));
    EXPECT_TRUE(Logged("hbar:move 195,50"));
    EXPECT_TRUE(Logged("content:move 195,150"));
    EXPECT_EQ(scroller.GetHoverChild(), bar);

    log.clear();
    scroller.OnLButtonDown(0, CPoint(50, 20));
    EXPECT_TRUE(Logged("content:ldown 50,120"));
    EXPECT_EQ(scroller.GetHoverChild(), content);
}

TEST_F(Routing, PressSkipsDisabledChildren)
{
    b->SetEnabled(0);
    container.OnLButtonDown(0, CPoint(50, 50));
    EXPECT_TRUE(Logged("A:ldown 50,50"));
    EXPECT_FALSE(Logged("B:ldown 50,50"));
    EXPECT_EQ(container.GetHoverChild(), a);
}

TEST_F(Routing, PressSkipsUnresponsiveAndHiddenChildren)
{
    b->SetRresponse(0);
    container.OnRButtonDown(0, CPoint(50, 50));
    EXPECT_TRUE(Logged("A:rdown 50,50"));
    EXPECT_EQ(container.GetHoverChild(), a);
    container.OnRButtonUp(0, CPoint(50, 50));
    EXPECT_TRUE(Logged("A:rup 50,50"));

    // A hidden child is skipped too; the press lands on the container itself.
    ProbeControl lone(&dialog, 3, CRect(0, 0, 100, 100), &log, "L");
    auto* hidden = new ProbeControl(&lone, 4, CRect(0, 0, 50, 50), &log, "hidden", 0);
    lone.AddControl(hidden);
    lone.OnLButtonDown(0, CPoint(10, 10));
    EXPECT_TRUE(Logged("L:ldown 10,10"));
    EXPECT_FALSE(Logged("hidden:ldown 10,10"));
}

TEST_F(Routing, PressOnTheControlItselfTakesFocusThroughTheManager)
{
    EXPECT_EQ(container.OnLButtonDown(0, CPoint(150, 150)), 1);
    EXPECT_TRUE(Logged("P:ldown 150,150"));
    EXPECT_TRUE(Logged("P:focus 0,0"));
    EXPECT_EQ(manager.GetFocusControl(), &container);
    EXPECT_EQ(container.IsFocusControl(), 1);
    container.OnLButtonUp(0, CPoint(150, 150));

    // A press on a child moves the focus to it; the old focus loses it first.
    log.clear();
    container.OnLButtonDown(0, CPoint(20, 20));
    EXPECT_EQ(manager.GetFocusControl(), a);
    const auto blur = std::find(log.begin(), log.end(), "P:blur 0,0");
    const auto focus = std::find(log.begin(), log.end(), "A:focus 0,0");
    ASSERT_NE(blur, log.end());
    ASSERT_NE(focus, log.end());
    EXPECT_LT(blur, focus);

    // A focused control that goes away leaves no dangling focus behind.
    container.RemoveControl(a);
    EXPECT_EQ(manager.GetFocusControl(), nullptr);
    EXPECT_EQ(container.GetHoverChild(), nullptr);
}

TEST_F(Routing, DoubleClickIsAPressUnlessTheControlWantsDoubleClicks)
{
    ProbeControl single(&dialog, 1, CRect(0, 0, 10, 10), &log, "single");
    ProbeControl dbl(&dialog, 2, CRect(0, 0, 10, 10), &log, "dbl");
    dbl.SetDblClk(1);
    single.OnLButtonDblClk(0, CPoint(5, 5));
    dbl.OnLButtonDblClk(0, CPoint(5, 5));
    dbl.OnRButtonDblClk(0, CPoint(5, 5));
    EXPECT_TRUE(Logged("single:ldown 5,5"));
    EXPECT_TRUE(Logged("dbl:ldbl 5,5"));

    // Through a hover child that takes double clicks: it alone sees the double click.
    log.clear();
    a->SetDblClk(1);
    container.OnMouseMove(0, CPoint(20, 20));
    log.clear();
    EXPECT_EQ(container.OnLButtonDblClk(0, CPoint(20, 20)), 1);
    EXPECT_EQ(log, std::vector<std::string>{"A:ldbl 20,20"});

    // A hover child that neither takes nor consumes it gets a press instead.
    log.clear();
    a->SetDblClk(0);
    a->downResult = 0;
    EXPECT_EQ(container.OnLButtonDblClk(0, CPoint(20, 20)), 0);
    EXPECT_EQ(Count("A:ldown 20,20"), 2u); // its own double-click-as-press, then the fallback
}

TEST_F(Routing, WheelGoesToHoverThenSelfThenChildAtThePoint)
{
    EXPECT_EQ(container.OnScroll(120, 0, CPoint(300, 300)), 0);
    EXPECT_EQ(container.OnScroll(120, 0, CPoint(150, 150)), 0);
    EXPECT_TRUE(Logged("P:scroll 150,150"));

    a->scrollResult = 1;
    log.clear();
    EXPECT_EQ(container.OnScroll(120, 0, CPoint(20, 20)), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"P:scroll 20,20", "A:scroll 20,20"}));

    container.OnMouseMove(0, CPoint(20, 20));
    log.clear();
    EXPECT_EQ(container.OnScroll(120, 0, CPoint(20, 20)), 1);
    EXPECT_EQ(log, std::vector<std::string>{"A:scroll 20,20"});

    container.SetEnabled(0);
    EXPECT_EQ(container.OnScroll(120, 0, CPoint(20, 20)), 0);
}

TEST_F(Routing, KeysDescendToTheFocusedChildElseHoverSelfAndChildren)
{
    a->MarkFocused(1);
    EXPECT_EQ(container.OnKeyDown('K', 1, 0), 0);
    EXPECT_EQ(log, std::vector<std::string>{"A:key 75,0"});

    a->MarkFocused(0);
    container.OnMouseMove(0, CPoint(50, 50)); // B hovers
    log.clear();
    EXPECT_EQ(container.OnKeyDown('K', 1, 0), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"B:key 75,0", "P:key 75,0", "A:key 75,0", "B:key 75,0"}));

    log.clear();
    container.keyResult = 1;
    EXPECT_EQ(container.OnKeyDown('K', 1, 0), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"B:key 75,0", "P:key 75,0"}));
    EXPECT_EQ(container.OnKeyUp('K', 1, 0), 0);
}

TEST_F(Routing, TimerReachesOnlyVisibleRunTimerChildren)
{
    auto* hidden = new ProbeControl(&container, 13, CRect(0, 0, 5, 5), &log, "H", 0);
    container.AddControl(hidden);
    a->SetRunTimer(1);
    hidden->SetRunTimer(1);
    EXPECT_EQ(container.OnTimer(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"P:timer 0,0", "A:timer 0,0"}));
    a->timerResult = 1;
    EXPECT_EQ(container.OnTimer(), 1);
}

TEST_F(Routing, HiddenOrUnresponsiveControlsTakeNoMouse)
{
    container.SetRresponse(0);
    EXPECT_EQ(container.OnMouseMove(0, CPoint(20, 20)), 0);
    EXPECT_EQ(container.OnLButtonDown(0, CPoint(20, 20)), 0);
    container.SetRresponse(1);
    container.SetVisible(0, 0);
    EXPECT_EQ(container.OnMouseMove(0, CPoint(20, 20)), 0);
    EXPECT_EQ(container.OnKeyDown('A', 1, 0), 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(Routing, TooltipIsShownOnceThroughTheManagerWithTheOwnerId)
{
    container.SetTooltip(L"Settings");
    EXPECT_EQ(container.GetTooltip(), L"Settings");
    container.OnMouseMove(0, CPoint(150, 150));
    EXPECT_EQ(manager.GetTooltipCtrlID(), 77);
    container.ClearTooltip();
    EXPECT_EQ(manager.GetTooltipCtrlID(), 0);
    // Outside the control nothing is shown.
    container.OnMouseMove(0, CPoint(250, 250));
    EXPECT_EQ(manager.GetTooltipCtrlID(), 0);
}
