#include "tests/tessel/MControlTestSupport.h"

#include <gtest/gtest.h>

using namespace Tessel;

namespace
{

class Geometry : public ::testing::Test
{
protected:
    RecordingParent parent;
    ProbeControl control{&parent, 7, CRect(10, 10, 50, 30), nullptr, "c"};
};

} // namespace

TEST_F(Geometry, InitialStateFollowsTheConstructor)
{
    ProbeControl hidden(&parent, 3, CRect(1, 2, 3, 4), nullptr, "h", 0, 0, 0);
    EXPECT_EQ(hidden.GetControlID(), 3u);
    EXPECT_EQ(hidden.GetRect(), CRect(1, 2, 3, 4));
    EXPECT_EQ(hidden.IsVisible(), 0);
    EXPECT_EQ(hidden.IsEnabled(), 0);
    EXPECT_EQ(hidden.GetRresponse(), 0);
    EXPECT_EQ(hidden.GetUpdate(), 0);
    EXPECT_EQ(hidden.IsTabStop(), 0);
    EXPECT_EQ(hidden.GetDblClk(), 0);
    EXPECT_EQ(hidden.GetParantObject(), &parent);
    EXPECT_EQ(hidden.GetManager(), nullptr);
    EXPECT_STREQ(hidden.GetClassNameW(), L"MControl");
    EXPECT_EQ(hidden.IsClass(L"MControl"), 1);
    EXPECT_EQ(hidden.IsClass(L"mcontrol"), 0);
}

TEST_F(Geometry, HidingRepaintsOnceAndAgainDoesNothing)
{
    control.SetVisible(0);
    ASSERT_EQ(parent.updates.size(), 1u);
    EXPECT_EQ(parent.updates[0].rect, CRect(10, 10, 50, 30));
    EXPECT_EQ(parent.updates[0].update, 1);
    EXPECT_EQ(parent.updates[0].control, &control);
    control.SetVisible(0);
    EXPECT_EQ(parent.updates.size(), 1u);
    // Showing without the repaint flag stores only.
    control.SetVisible(1, 0);
    EXPECT_EQ(control.IsVisible(), 1);
    EXPECT_EQ(parent.updates.size(), 1u);
    control.SetVisible(0, 1);
    EXPECT_EQ(parent.updates.size(), 2u);
}

TEST_F(Geometry, MovingRepaintsTheUnionOfOldAndNewRectangles)
{
    control.SetRect(CRect(40, 20, 80, 60));
    ASSERT_EQ(parent.updates.size(), 1u);
    EXPECT_EQ(parent.updates[0].rect, CRect(10, 10, 80, 60));
    EXPECT_EQ(parent.updates[0].update, 1);
    EXPECT_EQ(control.GetRect(), CRect(40, 20, 80, 60));

    control.SetRect(100, 200, 5, 6);
    EXPECT_EQ(control.GetRect(), CRect(100, 200, 105, 206));
    EXPECT_EQ(parent.updates.back().rect, CRect(40, 20, 105, 206));

    // A control created with an empty rectangle repaints just its new one.
    ProbeControl empty(&parent, 8, CRect(), nullptr, "e");
    empty.SetRect(CRect(5, 5, 9, 9));
    EXPECT_EQ(parent.updates.back().rect, CRect(5, 5, 9, 9));
}

TEST_F(Geometry, MovingAHiddenControlRepaintsNothing)
{
    control.SetVisible(0, 0);
    control.SetRect(CRect(0, 0, 5, 5));
    EXPECT_TRUE(parent.updates.empty());
    EXPECT_EQ(control.GetRect(), CRect(0, 0, 5, 5));
}

TEST_F(Geometry, EnablingRepaintsOnlyVisibleControlsOnChange)
{
    control.SetEnabled(1);
    EXPECT_TRUE(parent.updates.empty());
    control.SetEnabled(0);
    ASSERT_EQ(parent.updates.size(), 1u);
    EXPECT_EQ(parent.updates[0].update, 1);
    control.SetVisible(0, 0);
    control.SetEnabled(1);
    EXPECT_EQ(control.IsEnabled(), 1);
    EXPECT_EQ(parent.updates.size(), 1u);
}

TEST_F(Geometry, UpdateRequestsRespectVisibilityUnlessForced)
{
    control.UpdateControl(0, 0);
    ASSERT_EQ(parent.updates.size(), 1u);
    EXPECT_EQ(parent.updates[0].update, 0);
    control.UpdateControl(CRect(1, 1, 2, 2), 0, 1);
    EXPECT_EQ(parent.updates.back().rect, CRect(1, 1, 2, 2));
    EXPECT_EQ(parent.updates.back().update, 1);

    control.SetVisible(0, 0);
    control.UpdateControl(1, 0);
    EXPECT_EQ(parent.updates.size(), 2u);
    control.UpdateControl(1, 1);
    EXPECT_EQ(parent.updates.size(), 3u);

    // The animation request always redraws from the cache and flags the animation.
    control.UpdateAControl(0, 1);
    EXPECT_EQ(parent.updates.back().update, 0);
    EXPECT_EQ(control.IsAnimate(), 1);
    control.UpdateAControl(1, 1);
    EXPECT_EQ(control.IsAnimate(), 0);
}

TEST_F(Geometry, NotificationsReachTheParentWithTheControlId)
{
    EXPECT_EQ(control.SendMessageW(2, 5, -9), 42);
    ASSERT_EQ(parent.messages.size(), 1u);
    EXPECT_EQ(parent.messages[0].id, 7u);
    EXPECT_EQ(parent.messages[0].code, 2u);
    EXPECT_EQ(parent.messages[0].wParam, 5u);
    EXPECT_EQ(parent.messages[0].lParam, -9);
}

TEST_F(Geometry, WithoutAParentRequestsAreDropped)
{
    ProbeControl orphan(nullptr, 1, CRect(0, 0, 4, 4), nullptr, "o");
    orphan.SetVisible(0);
    orphan.SetRect(CRect(0, 0, 8, 8));
    EXPECT_EQ(orphan.SendMessageW(1, 0, 0), 0);
    EXPECT_EQ(orphan.IsParentVisible(), 0);
}

TEST_F(Geometry, StaleCacheFlagReachesOnlyOverlappingChildren)
{
    auto* inside = new ProbeControl(&control, 1, CRect(20, 15, 30, 25), nullptr, "in");
    auto* outside = new ProbeControl(&control, 2, CRect(100, 100, 110, 110), nullptr, "out");
    control.AddControl(inside);
    control.AddControl(outside);
    control.SetUpdate(1, 0);
    inside->SetUpdate(1, 0);
    outside->SetUpdate(1, 0);
    control.SetUpdate(0, 0);
    EXPECT_EQ(control.GetUpdate(), 0);
    EXPECT_EQ(inside->GetUpdate(), 0);
    EXPECT_EQ(outside->GetUpdate(), 1);
}

TEST_F(Geometry, ParentVisibilityChainEndsAtTheDialog)
{
    RecordingParent dialog(L"MDialog");
    ProbeControl top(&dialog, 1, CRect(0, 0, 10, 10), nullptr, "top");
    auto* child = new ProbeControl(&top, 2, CRect(0, 0, 5, 5), nullptr, "child");
    auto* grandchild = new ProbeControl(child, 3, CRect(0, 0, 2, 2), nullptr, "grand");
    top.AddControl(child);
    child->AddControl(grandchild);
    EXPECT_EQ(top.IsParentVisible(), 1);
    EXPECT_EQ(grandchild->IsParentVisible(), 1);
    top.SetVisible(0, 0);
    EXPECT_EQ(child->IsParentVisible(), 0);
    EXPECT_EQ(grandchild->IsParentVisible(), 0);
    // A parent that is neither a dialog nor a control.
    EXPECT_EQ(control.IsParentVisible(), 0);
}

TEST_F(Geometry, CursorNamesAndHotKey)
{
    EXPECT_EQ(control.GetCursor(), nullptr);
    EXPECT_EQ(control.SetCursorEx(L"hand"), 0);
    EXPECT_EQ(control.GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(control.SetCursorEx(L"pointer"), 0);
    EXPECT_EQ(control.GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(control.SetCursorEx(L"HAND"), 0);
    control.SetCursorEx(L"sizens");
    EXPECT_EQ(control.GetCursor(), ::LoadCursorW(nullptr, IDC_SIZENS));
    EXPECT_EQ(control.SetCursorEx(nullptr), 0);

    // The cursor shows only inside.
    EXPECT_EQ(control.OnControlSetCursor(0, CPoint(20, 20)), 1);
    EXPECT_EQ(control.OnControlSetCursor(0, CPoint(5, 5)), 0);

    // The base key handler matches the hot key and its modifiers exactly.
    EXPECT_EQ(control.MControl::OnControlKeyDown(0, 1, 0), 0);
    control.SetHotKey('S', 0x11);
    EXPECT_EQ(control.MControl::OnControlKeyDown('S', 1, 0x11), 1);
    EXPECT_EQ(control.MControl::OnControlKeyDown('S', 1, 0), 0);
    EXPECT_EQ(control.MControl::OnControlKeyDown('T', 1, 0x11), 0);
}

TEST_F(Geometry, LookupIsDepthFirstChildrenBeforeEmbedded)
{
    auto* first = new ProbeControl(&control, 10, CRect(), nullptr, "first");
    auto* nested = new ProbeControl(first, 30, CRect(), nullptr, "nested");
    first->AddControl(nested);
    auto* second = new ProbeControl(&control, 30, CRect(), nullptr, "second");
    auto* embedded = new ProbeControl(&control, 40, CRect(), nullptr, "embedded");
    auto* embeddedTwin = new ProbeControl(&control, 10, CRect(), nullptr, "twin");
    control.AddControl(first);
    control.AddControl(second);
    control.AddEmbeddedControl(embeddedTwin);
    control.AddEmbeddedControl(embedded);
    EXPECT_EQ(control.GetControl(30), nested);
    EXPECT_EQ(control.GetControl(10), first);
    EXPECT_EQ(control.GetControl(40), embedded);
    EXPECT_EQ(control.GetControl(99), nullptr);

    control.RemoveControl(first);
    EXPECT_EQ(control.GetControl(30), second);
    EXPECT_EQ(control.GetControl(10), embeddedTwin);
    control.RemoveAllControl();
    EXPECT_TRUE(control.GetControls().empty());
    EXPECT_EQ(control.GetControl(40), nullptr);
}
