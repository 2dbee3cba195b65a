#include "controls/DialogLayout.h"

#include <cmath>

namespace {

// Toward zero, as a C cast does; kept inside 32 bits (and NaN at 0) so that
// an absurd value or fraction never makes the cast undefined.
LONG Truncate(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<LONG>(v);
}

bool IsAbsoluteKind(int kind) { return kind == RESIZE_SCALE || kind == RESIZE_SHARE; }

// The kind that acts on one axis: the near edge's when that edge moved and
// it has one, else the far edge's likewise, else none.
int ActiveKind(bool nearMoved, int nearKind, bool farMoved, int farKind)
{
    if (nearMoved && nearKind != 0) return nearKind;
    if (farMoved && farKind != 0) return farKind;
    return 0;
}

// One axis of a rule. lo/hi are the near and far edge of R, curLo/curHi the
// control's present ones. Returns true when the axis makes the rule absolute.
bool ApplyAxis(int kind, bool anyAbsolute, LONG& lo, LONG& hi, LONG curLo, LONG curHi, int newSize,
               int lastSize, int initialSize, double value1, double value2)
{
    const double delta = static_cast<double>(newSize) - lastSize;
    const double total = static_cast<double>(newSize) - initialSize;
    const double extent = static_cast<double>(hi) - lo;
    switch (kind) {
    case RESIZE_STRETCH:
        hi = Truncate(hi + delta);
        return false;
    case RESIZE_FOLLOW:
        lo = Truncate(lo + delta);
        hi = Truncate(hi + delta);
        return false;
    case RESIZE_CENTRE:
        lo = Truncate(newSize * value1 - extent / 2.0);
        hi = Truncate(lo + extent);
        return false;
    case RESIZE_SCALE:
        // Without an initial size there is nothing to scale by.
        if (initialSize != 0) {
            lo = Truncate(static_cast<double>(newSize) * lo / initialSize);
            hi = Truncate(static_cast<double>(newSize) * hi / initialSize);
        }
        return true;
    case RESIZE_SHARE:
        lo = Truncate(lo + total * value1);
        hi = Truncate(hi + total * (value1 + value2));
        return true;
    case RESIZE_NONE:
        if (anyAbsolute) {
            // Where the last layout along this axis put it, so that a change
            // of the other axis alone keeps it there.
            lo = curLo;
            hi = curHi;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace

uint32_t SizingEdgeToMovedEdges(int sizingEdge)
{
    switch (sizingEdge) {
    case 1: return MOVED_LEFT;
    case 2: return MOVED_RIGHT;
    case 3: return MOVED_TOP;
    case 4: return MOVED_LEFT | MOVED_TOP;
    case 5: return MOVED_RIGHT | MOVED_TOP;
    case 6: return MOVED_BOTTOM;
    case 7: return MOVED_LEFT | MOVED_BOTTOM;
    case 8: return MOVED_RIGHT | MOVED_BOTTOM;
    default: return 0;
    }
}

ResizeRule MakeResizeRule(int id, int leftKind, int rightKind, int topKind, int bottomKind,
                          int options, double h1, double h2, double v1, double v2,
                          const CRect& control, int clientWidth, int clientHeight)
{
    ResizeRule r;
    r.id = id;
    r.kinds = (static_cast<uint32_t>(leftKind) & 0xF) | ((static_cast<uint32_t>(rightKind) & 0xF) << 4) |
              ((static_cast<uint32_t>(topKind) & 0xF) << 8) |
              ((static_cast<uint32_t>(bottomKind) & 0xF) << 12) |
              ((static_cast<uint32_t>(options) & 0x3) << 16);
    r.rect = control;
    r.h1 = h1;
    r.h2 = h2;
    r.v1 = v1;
    r.v2 = v2;
    const auto centred = [](int kind) { return kind == RESIZE_CENTRE || kind == RESIZE_SCALE; };
    if ((centred(r.LeftKind()) || centred(r.RightKind())) && clientWidth != 0)
        r.h1 = static_cast<double>((control.left + control.right) / 2) / clientWidth;
    if ((centred(r.TopKind()) || centred(r.BottomKind())) && clientHeight != 0)
        r.v1 = static_cast<double>((control.top + control.bottom) / 2) / clientHeight;
    return r;
}

ResizeOutcome ApplyResizeRule(const ResizeRule& rule, uint32_t movedEdges, const CRect& newClient,
                              const CRect& lastClient, const CRect& initialClient,
                              const CRect& current)
{
    ResizeOutcome out;
    out.rect = rule.rect;

    const int hKind = ActiveKind((movedEdges & MOVED_LEFT) != 0, rule.LeftKind(),
                                 (movedEdges & MOVED_RIGHT) != 0, rule.RightKind());
    const bool hAbsolute = ApplyAxis(
        hKind, IsAbsoluteKind(rule.LeftKind()) || IsAbsoluteKind(rule.RightKind()), out.rect.left,
        out.rect.right, current.left, current.right, newClient.Width(), lastClient.Width(),
        initialClient.Width(), rule.h1, rule.h2);

    const int vKind = ActiveKind((movedEdges & MOVED_TOP) != 0, rule.TopKind(),
                                 (movedEdges & MOVED_BOTTOM) != 0, rule.BottomKind());
    const bool vAbsolute = ApplyAxis(
        vKind, IsAbsoluteKind(rule.TopKind()) || IsAbsoluteKind(rule.BottomKind()), out.rect.top,
        out.rect.bottom, current.top, current.bottom, newClient.Height(), lastClient.Height(),
        initialClient.Height(), rule.v1, rule.v2);

    out.tracking = !hAbsolute && !vAbsolute;
    return out;
}

void CDialogLayout::Init(const CRect& client)
{
    m_initial = client;
    m_last = client;
}

void CDialogLayout::AddRule(const ResizeRule& rule)
{
    for (ResizeRule& r : m_rules) {
        if (r.id == rule.id) {
            r = rule;
            return;
        }
    }
    m_rules.push_back(rule);
}

void CDialogLayout::Layout(const CRect& newClient, IResizeTarget& target)
{
    if (m_rules.empty()) {
        m_sizingEdge = 0;
        return;
    }
    const uint32_t moved = SizingEdgeToMovedEdges(m_sizingEdge);
    if (moved == 0) {
        // Not the user's sizing: the next one measures from here.
        m_last = newClient;
        return;
    }
    target.BeginMoves(GetRuleCount());
    for (ResizeRule& rule : m_rules) {
        CRect current;
        if (!target.GetControlRect(rule.id, current)) continue;
        const ResizeOutcome o = ApplyResizeRule(rule, moved, newClient, m_last, m_initial, current);
        const CRect present = o.tracking ? rule.rect : current;
        if (o.rect == present) continue;
        target.MoveControl(rule, present, o.rect);
        if (o.tracking) rule.rect = o.rect;
    }
    target.EndMoves();
    m_last = newClient;
    m_sizingEdge = 0;
}
