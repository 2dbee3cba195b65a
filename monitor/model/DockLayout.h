#pragma once
// Where tool windows go beside the main window, and where a window whose
// saved position is unset is centred. Pure arithmetic and bookkeeping, so the
// Win32 helpers only read and set window rectangles.
#include <cstdint>

struct DockRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

enum : int { DOCK_RIGHT = 0, DOCK_BELOW = 1, DOCK_BELOW_RIGHT = 2, DOCK_SLOT_COUNT = 3 };

// The three dock slots of one main window, each empty or holding a tool window.
class DockSlots {
public:
    DockSlots();
    // With `reserve`, the slot already holding the dialog, else the first
    // empty one; without it, the slot holding the dialog. -1 when none.
    int Choose(const void* dialog, bool reserve) const;
    void Hold(int slot, const void* dialog);
    // Empties every slot that holds the dialog.
    void Release(const void* dialog);
    const void* Get(int slot) const;

private:
    const void* m_slots[DOCK_SLOT_COUNT];
};

// The slots of a main window (by its handle), created empty on first use.
// Used from the GUI thread only.
DockSlots& GetDockSlots(const void* mainWindow);

// The rectangle a dialog takes in a slot: right of the main window (slot 0),
// below it (1) or below and right (2), `gap` pixels away; centred along the
// shared edge when asked (slots 0 and 1); the main window's size with
// `matchSize`, else its own.
DockRect ComputeDockedRect(int slot, const DockRect& mainWindow, const DockRect& dialog,
                           int32_t gap, bool centre, bool matchSize);

// Where a window of the given rectangle goes when restored to the saved
// origin (x1, y1): there, or centred on the desktop when both are 0. Returns
// the new top-left corner.
void ComputeRestoredOrigin(int32_t x1, int32_t y1, const DockRect& window, const DockRect& desktop,
                           int32_t& x, int32_t& y);
