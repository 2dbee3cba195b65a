// The resize arithmetic of the tool windows: kinds per axis, which edge
// decides, tracking versus absolute rules, truncation toward zero, and the
// layout pass over a set of rules with a fake window.
#include "controls/DialogLayout.h"

#include <map>

#include <gtest/gtest.h>

namespace {

// Controls by id; moves land here, as DeferWindowPos would put them.
class FakeTarget : public IResizeTarget {
public:
    std::map<int, CRect> controls;
    int moves = 0;
    int batches = 0;

    bool GetControlRect(int id, CRect& rect) override
    {
        auto it = controls.find(id);
        if (it == controls.end()) return false;
        rect = it->second;
        return true;
    }
    void BeginMoves(int) override { ++batches; }
    void MoveControl(const ResizeRule& rule, const CRect&, const CRect& to) override
    {
        controls[rule.id] = to;
        ++moves;
    }
    void EndMoves() override {}
};

const CRect kInitial(100, 100, 300, 250);  // 200 x 150, screen coordinates

CRect Client(int width, int height) { return CRect(100, 100, 100 + width, 100 + height); }

TEST(DialogLayout, SizingEdgesMapToMovedEdges)
{
    const struct {
        int edge;
        uint32_t moved;
    } cases[] = {
        {0, 0},
        {1, MOVED_LEFT},
        {2, MOVED_RIGHT},
        {3, MOVED_TOP},
        {4, MOVED_LEFT | MOVED_TOP},
        {5, MOVED_RIGHT | MOVED_TOP},
        {6, MOVED_BOTTOM},
        {7, MOVED_LEFT | MOVED_BOTTOM},
        {8, MOVED_RIGHT | MOVED_BOTTOM},
        {9, 0},
        {-1, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.moved, SizingEdgeToMovedEdges(c.edge)) << c.edge;
}

TEST(DialogLayout, RuleMasksKindsAndOptionsAndComputesCentreFractions)
{
    const CRect control(40, 30, 80, 50);  // centre (60, 40)
    ResizeRule r = MakeResizeRule(7, 0x13, 3, 4, 0x12, 0x7, -1.0, -1.0, -1.0, -1.0, control, 200, 160);
    EXPECT_EQ(7, r.id);
    EXPECT_EQ(3, r.LeftKind());
    EXPECT_EQ(3, r.RightKind());
    EXPECT_EQ(4, r.TopKind());
    EXPECT_EQ(2, r.BottomKind());
    EXPECT_TRUE(r.ExcludesErase());
    EXPECT_TRUE(r.Repaints());
    EXPECT_EQ(0u, r.kinds & ~0x3FFFFu);
    EXPECT_DOUBLE_EQ(60.0 / 200, r.h1);
    EXPECT_DOUBLE_EQ(40.0 / 160, r.v1);
    EXPECT_DOUBLE_EQ(-1.0, r.h2);
    EXPECT_TRUE(r.rect == control);

    // Kinds that do not centre keep the values as given.
    ResizeRule s = MakeResizeRule(8, 5, 5, 1, 1, 0, 0.25, 0.5, -1.0, -1.0, control, 200, 160);
    EXPECT_DOUBLE_EQ(0.25, s.h1);
    EXPECT_DOUBLE_EQ(-1.0, s.v1);
    EXPECT_FALSE(s.ExcludesErase());
}

// Each kind on each axis for one size change: 200 x 150 -> 260 x 120, with
// the last layout at 220 x 140 (so dW = 40, dW0 = 60, dH = -20, dH0 = -30).
TEST(DialogLayout, KindsPerAxis)
{
    const CRect last = Client(220, 140);
    const CRect now = Client(260, 120);
    const CRect control(20, 20, 60, 40);
    const CRect elsewhere(1, 2, 3, 4);  // the control's present rectangle
    const struct {
        const char* what;
        int l, r, t, b;
        double h1, h2, v1, v2;
        uint32_t moved;
        CRect expect;
        bool tracking;
    } cases[] = {
        {"unchanged", 0, 0, 0, 0, -1, -1, -1, -1, MOVED_RIGHT | MOVED_BOTTOM, control, true},
        {"stretch", 1, 1, 1, 1, -1, -1, -1, -1, MOVED_RIGHT | MOVED_BOTTOM, CRect(20, 20, 100, 20), true},
        {"follow", 2, 2, 2, 2, -1, -1, -1, -1, MOVED_RIGHT | MOVED_BOTTOM, CRect(60, 0, 100, 20), true},
        // centre: 260 * 0.2 - 20 = 32; 120 * 0.2 - 10 = 14
        {"centre", 3, 3, 3, 3, 0.2, -1, 0.2, -1, MOVED_RIGHT | MOVED_BOTTOM, CRect(32, 14, 72, 34), true},
        // scale: 20 * 260 / 200 = 26, 60 * 1.3 = 78; 20 * 120 / 150 = 16, 40 * 0.8 = 32
        {"scale", 4, 4, 4, 4, -1, -1, -1, -1, MOVED_RIGHT | MOVED_BOTTOM, CRect(26, 16, 78, 32), false},
        // share: 20 + 60 * 0.25 = 35, 60 + 60 * 0.75 = 105; 20 - 30 * 0.5 = 5, 40 - 30 * 1.0 = 10
        {"share", 5, 5, 5, 5, 0.25, 0.5, 0.5, 0.5, MOVED_RIGHT | MOVED_BOTTOM, CRect(35, 5, 105, 10), false},
        {"kinds above five", 9, 9, 15, 15, -1, -1, -1, -1, MOVED_RIGHT | MOVED_BOTTOM, control, true},
        // Only the left edge moved and it has no kind; the right edge's kind does not act.
        {"other edge's kind idle", 0, 1, 0, 1, -1, -1, -1, -1, MOVED_LEFT | MOVED_TOP, control, true},
        // The near edge's kind wins when both edges moved... but only the moved ones count.
        {"near edge first", 2, 1, 0, 0, -1, -1, -1, -1, MOVED_LEFT | MOVED_RIGHT, CRect(60, 20, 100, 40), true},
        // Absolute rule, idle axis: it takes the control's present rectangle.
        {"absolute idle axis", 4, 4, 1, 1, -1, -1, -1, -1, MOVED_BOTTOM, CRect(1, 20, 3, 20), false},
        {"tracking then absolute", 1, 1, 5, 5, -1, -1, 0.0, 1.0, MOVED_RIGHT | MOVED_BOTTOM, CRect(20, 20, 100, 10), false},
    };
    for (const auto& c : cases) {
        ResizeRule rule = MakeResizeRule(1, c.l, c.r, c.t, c.b, 0, c.h1, c.h2, c.v1, c.v2, control, 0, 0);
        ResizeOutcome o = ApplyResizeRule(rule, c.moved, now, last, kInitial, elsewhere);
        EXPECT_TRUE(o.rect == c.expect) << c.what << ": " << o.rect.left << "," << o.rect.top << ","
                                        << o.rect.right << "," << o.rect.bottom;
        EXPECT_EQ(c.tracking, o.tracking) << c.what;
    }
}

TEST(DialogLayout, CoordinatesTruncateTowardZero)
{
    const CRect control(10, 10, 21, 20);  // width 11
    const struct {
        const char* what;
        int kind;
        double h1, h2;
        int newWidth;
        LONG left, right;
    } cases[] = {
        // centre: 100 * 0.01 - 5.5 = -4.5 -> -4 (not -5), right -4 + 11
        {"centre negative", 3, 0.01, -1, 100, -4, 7},
        // centre: 201 * 0.5 - 5.5 = 95 exactly
        {"centre exact", 3, 0.5, -1, 201, 95, 106},
        // share: 10 + (-3) * 0.5 = 8.5 -> 8; 21 + (-3) * 0.75 = 18.75 -> 18
        {"share shrinking", 5, 0.5, 0.25, 197, 8, 18},
        // scale: 10 * 299 / 200 = 14.95 -> 14; 21 * 299 / 200 = 31.395 -> 31
        {"scale", 4, -1, -1, 299, 14, 31},
        // scale about a negative edge: -10 * 299 / 200 = -14.95 -> -14
        {"scale negative edge", 4, -1, -1, 299, -14, 31},
    };
    for (const auto& c : cases) {
        CRect start = control;
        if (c.left == -14) start.left = -10;
        ResizeRule rule = MakeResizeRule(1, c.kind, c.kind, 0, 0, 0, c.h1, c.h2, -1, -1, start, 0, 0);
        ResizeOutcome o = ApplyResizeRule(rule, MOVED_RIGHT, Client(c.newWidth, 150), kInitial,
                                          kInitial, start);
        EXPECT_EQ(c.left, o.rect.left) << c.what;
        EXPECT_EQ(c.right, o.rect.right) << c.what;
    }
}

TEST(DialogLayout, BottomRightSizingStretchesByTheClientChangeAndShrinkingRestores)
{
    CDialogLayout layout;
    layout.Init(kInitial);
    FakeTarget t;
    const CRect list(10, 10, 190, 120);
    t.controls[100] = list;
    layout.AddRule(MakeResizeRule(100, 1, 1, 1, 1, 0, -1, -1, -1, -1, list, 200, 150));

    const CRect steps[] = {Client(250, 190), Client(251, 173), Client(200, 150)};
    for (const CRect& c : steps) {
        layout.SetSizingEdge(8);
        layout.Layout(c, t);
        EXPECT_EQ(list.Width() + c.Width() - 200, t.controls[100].Width());
        EXPECT_EQ(list.Height() + c.Height() - 150, t.controls[100].Height());
        EXPECT_EQ(0, layout.GetSizingEdge());
    }
    EXPECT_TRUE(t.controls[100] == list);
    EXPECT_TRUE(layout.GetRule(0).rect == list);
}

TEST(DialogLayout, ProgrammaticResizeMovesNothingAndBecomesTheBase)
{
    CDialogLayout layout;
    layout.Init(kInitial);
    FakeTarget t;
    const CRect button(150, 120, 190, 140);
    t.controls[1] = button;
    layout.AddRule(MakeResizeRule(1, 2, 2, 2, 2, 0, -1, -1, -1, -1, button, 200, 150));

    layout.Layout(Client(300, 200), t);  // no sizing edge: the program resized
    EXPECT_EQ(0, t.moves);
    EXPECT_EQ(0, t.batches);
    EXPECT_TRUE(layout.GetLastClient() == Client(300, 200));

    layout.SetSizingEdge(8);
    layout.Layout(Client(310, 205), t);  // the user's sizing counts from 300 x 200
    EXPECT_TRUE(t.controls[1] == CRect(160, 125, 200, 145));
}

TEST(DialogLayout, WithoutRulesOnlyTheSizingEdgeIsCleared)
{
    CDialogLayout layout;
    layout.Init(kInitial);
    FakeTarget t;
    layout.SetSizingEdge(8);
    layout.Layout(Client(400, 400), t);
    EXPECT_EQ(0, layout.GetSizingEdge());
    EXPECT_EQ(0, t.batches);
}

TEST(DialogLayout, SecondRuleForTheSameIdReplacesTheFirst)
{
    CDialogLayout layout;
    layout.Init(kInitial);
    const CRect c(10, 10, 50, 30);
    layout.AddRule(MakeResizeRule(5, 1, 1, 0, 0, 0, -1, -1, -1, -1, c, 200, 150));
    layout.AddRule(MakeResizeRule(6, 1, 1, 0, 0, 0, -1, -1, -1, -1, c, 200, 150));
    layout.AddRule(MakeResizeRule(5, 2, 2, 2, 2, 1, -1, -1, -1, -1, c, 200, 150));
    ASSERT_EQ(2, layout.GetRuleCount());
    EXPECT_EQ(5, layout.GetRule(0).id);  // replaced in place, order kept
    EXPECT_EQ(2, layout.GetRule(0).LeftKind());
    EXPECT_TRUE(layout.GetRule(0).ExcludesErase());
    EXPECT_EQ(6, layout.GetRule(1).id);
}

TEST(DialogLayout, ScaleReturnsToTheRegisteredRectangleAtTheInitialSize)
{
    CDialogLayout layout;
    layout.Init(kInitial);
    FakeTarget t;
    const CRect c(33, 17, 71, 49);
    t.controls[9] = c;
    layout.AddRule(MakeResizeRule(9, 4, 4, 4, 4, 0, -1, -1, -1, -1, c, 200, 150));
    const CRect steps[] = {Client(333, 211), Client(123, 97), Client(200, 150)};
    for (const CRect& s : steps) {
        layout.SetSizingEdge(8);
        layout.Layout(s, t);
    }
    EXPECT_TRUE(t.controls[9] == c);
    EXPECT_TRUE(layout.GetRule(0).rect == c);  // an absolute rule keeps its registered rectangle

    // Sizing only the height keeps the horizontal scaling the last pass made.
    layout.SetSizingEdge(8);
    layout.Layout(Client(400, 150), t);
    const CRect wide = t.controls[9];
    EXPECT_EQ(66, wide.left);
    layout.SetSizingEdge(6);
    layout.Layout(Client(400, 300), t);
    EXPECT_EQ(wide.left, t.controls[9].left);
    EXPECT_EQ(wide.right, t.controls[9].right);
    EXPECT_EQ(34, t.controls[9].top);
}

TEST(DialogLayout, UnchangedControlsAreNotMovedAndMissingOnesAreSkipped)
{
    CDialogLayout layout;
    layout.Init(kInitial);
    FakeTarget t;
    const CRect c(10, 10, 50, 30);
    t.controls[1] = c;
    layout.AddRule(MakeResizeRule(1, 0, 0, 1, 1, 0, -1, -1, -1, -1, c, 200, 150));
    layout.AddRule(MakeResizeRule(2, 1, 1, 1, 1, 0, -1, -1, -1, -1, c, 200, 150));  // no such control
    layout.SetSizingEdge(2);  // right edge: rule 1 has no horizontal kind
    layout.Layout(Client(260, 150), t);
    EXPECT_EQ(0, t.moves);
    EXPECT_EQ(1, t.batches);
    EXPECT_TRUE(layout.GetLastClient() == Client(260, 150));
}

} // namespace
