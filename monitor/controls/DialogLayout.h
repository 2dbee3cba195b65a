// The resize arithmetic of the tool windows: which controls move, and where
// to, when the user drags an edge of a resizable view. Portable, so every
// rule can be checked natively; the window side (CDialogView) only reads
// the controls' rectangles and moves them.
//
// Rectangles of controls are in the dialog's client coordinates; the client
// rectangles (new, last, initial) may be in any one coordinate system, since
// only their widths and heights are used.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/CRect.h"

// How a control follows one axis of the client area. The near edge is the
// left or top edge, the far edge the right or bottom edge.
enum ResizeKind : int {
    RESIZE_NONE = 0,     // unchanged
    RESIZE_STRETCH = 1,  // far edge moves by the size change since the last layout
    RESIZE_FOLLOW = 2,   // both edges move by that change
    RESIZE_CENTRE = 3,   // extent kept, centre at value 1 times the new size
    RESIZE_SCALE = 4,    // registered edges times new size / initial size
    RESIZE_SHARE = 5     // registered edges plus shares (value 1, value 1 + value 2) of the total change
};

// Options of AddResizeRule (bit 0, bit 1) and where they sit in a rule.
enum : uint32_t {
    RESIZE_OPT_EXCLUDE_ERASE = 0x1,
    RESIZE_OPT_REPAINT = 0x2,
    RESIZE_FLAG_EXCLUDE_ERASE = 0x10000,
    RESIZE_FLAG_REPAINT = 0x20000
};

// Edges of the window the user moves, from the edge code of WM_SIZING.
enum : uint32_t {
    MOVED_LEFT = 0x1,
    MOVED_RIGHT = 0x2,
    MOVED_TOP = 0x4,
    MOVED_BOTTOM = 0x8
};

// 1 left, 2 right, 3 top, 4 top-left, 5 top-right, 6 bottom, 7 bottom-left,
// 8 bottom-right (the system's numbering); anything else moves no edge.
uint32_t SizingEdgeToMovedEdges(int sizingEdge);

struct ResizeRule {
    int32_t id;
    // Bits 0-3 the kind when the left edge moves, 4-7 right, 8-11 top,
    // 12-15 bottom; bit 16 exclude from background erase, bit 17 repaint.
    uint32_t kinds;
    CRect rect;  // registered, or last given while the rule tracks the control
    double h1, h2, v1, v2;

    int LeftKind() const { return static_cast<int>(kinds & 0xF); }
    int RightKind() const { return static_cast<int>((kinds >> 4) & 0xF); }
    int TopKind() const { return static_cast<int>((kinds >> 8) & 0xF); }
    int BottomKind() const { return static_cast<int>((kinds >> 12) & 0xF); }
    bool ExcludesErase() const { return (kinds & RESIZE_FLAG_EXCLUDE_ERASE) != 0; }
    bool Repaints() const { return (kinds & RESIZE_FLAG_REPAINT) != 0; }
};

// A rule for a control whose rectangle is `control` in a client area of
// clientWidth x clientHeight. Kinds are masked to 4 bits and options to 2;
// for the centre and scale kinds value 1 becomes the control's centre as a
// fraction of the client size (kept as given when that size is 0).
ResizeRule MakeResizeRule(int id, int leftKind, int rightKind, int topKind, int bottomKind,
                          int options, double h1, double h2, double v1, double v2,
                          const CRect& control, int clientWidth, int clientHeight);

struct ResizeOutcome {
    CRect rect;     // where the control goes
    bool tracking;  // true: the rule's rectangle follows the control
};

// One rule applied to one size change. newClient, lastClient and
// initialClient are the client areas now, at the last layout and at
// initialisation; current is the control's present rectangle (read only by
// the kinds that work from it). Every coordinate is truncated toward zero.
ResizeOutcome ApplyResizeRule(const ResizeRule& rule, uint32_t movedEdges, const CRect& newClient,
                              const CRect& lastClient, const CRect& initialClient,
                              const CRect& current);

// What a layout pass asks of the window: the controls' present rectangles
// and the moves, batched between Begin and End.
struct IResizeTarget {
    virtual ~IResizeTarget() {}
    // False when the control does not exist; it is then left alone.
    virtual bool GetControlRect(int id, CRect& rect) = 0;
    virtual void BeginMoves(int count) = 0;
    virtual void MoveControl(const ResizeRule& rule, const CRect& from, const CRect& to) = 0;
    virtual void EndMoves() = 0;
};

// The rules of one view and the client areas they measure from.
class CDialogLayout {
public:
    CDialogLayout() : m_sizingEdge(0) {}

    // The client area at initialisation; it is also the last one laid out.
    void Init(const CRect& client);
    // Registers a rule, replacing one for the same control id in place.
    void AddRule(const ResizeRule& rule);

    int GetRuleCount() const { return static_cast<int>(m_rules.size()); }
    const ResizeRule& GetRule(int index) const { return m_rules[static_cast<size_t>(index)]; }
    const CRect& GetInitialClient() const { return m_initial; }
    const CRect& GetLastClient() const { return m_last; }

    // The edge code of the sizing in progress; 0 when none.
    void SetSizingEdge(int edge) { m_sizingEdge = edge; }
    int GetSizingEdge() const { return m_sizingEdge; }

    // The layout pass of a size change to newClient. A change with no sizing
    // edge (made by the program, not the user) moves nothing but becomes the
    // base of the next one.
    void Layout(const CRect& newClient, IResizeTarget& target);

private:
    std::vector<ResizeRule> m_rules;
    CRect m_last;
    CRect m_initial;
    int m_sizingEdge;
};
