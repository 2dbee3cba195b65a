#include "model/DockLayout.h"

#include <map>

DockSlots::DockSlots()
{
    for (int i = 0; i < DOCK_SLOT_COUNT; ++i) m_slots[i] = nullptr;
}

int DockSlots::Choose(const void* dialog, bool reserve) const
{
    if (dialog == nullptr) return -1;
    for (int i = 0; i < DOCK_SLOT_COUNT; ++i)
        if (m_slots[i] == dialog) return i;
    // A dialog docked again keeps its slot instead of taking a second one.
    if (reserve)
        for (int i = 0; i < DOCK_SLOT_COUNT; ++i)
            if (m_slots[i] == nullptr) return i;
    return -1;
}

void DockSlots::Hold(int slot, const void* dialog)
{
    if (slot >= 0 && slot < DOCK_SLOT_COUNT) m_slots[slot] = dialog;
}

void DockSlots::Release(const void* dialog)
{
    for (int i = 0; i < DOCK_SLOT_COUNT; ++i)
        if (m_slots[i] == dialog) m_slots[i] = nullptr;
}

const void* DockSlots::Get(int slot) const
{
    return (slot >= 0 && slot < DOCK_SLOT_COUNT) ? m_slots[slot] : nullptr;
}

DockSlots& GetDockSlots(const void* mainWindow)
{
    static std::map<const void*, DockSlots> slots;
    return slots[mainWindow];
}

DockRect ComputeDockedRect(int slot, const DockRect& mainWindow, const DockRect& dialog,
                           int32_t gap, bool centre, bool matchSize)
{
    const int32_t width = matchSize ? mainWindow.Width() : dialog.Width();
    const int32_t height = matchSize ? mainWindow.Height() : dialog.Height();
    int32_t left = dialog.left;
    int32_t top = dialog.top;
    switch (slot) {
    case DOCK_RIGHT:
        left = mainWindow.right + gap;
        top = mainWindow.top + (centre ? (mainWindow.Height() - height) / 2 : 0);
        break;
    case DOCK_BELOW:
        left = mainWindow.left + (centre ? (mainWindow.Width() - width) / 2 : 0);
        top = mainWindow.bottom + gap;
        break;
    case DOCK_BELOW_RIGHT:
        left = mainWindow.right + gap;
        top = mainWindow.bottom + gap;
        break;
    default:
        break;
    }
    DockRect r = {left, top, left + width, top + height};
    return r;
}

void ComputeRestoredOrigin(int32_t x1, int32_t y1, const DockRect& window, const DockRect& desktop,
                           int32_t& x, int32_t& y)
{
    if (x1 == 0 && y1 == 0) {
        x = desktop.left + (desktop.Width() - window.Width()) / 2;
        y = desktop.top + (desktop.Height() - window.Height()) / 2;
    } else {
        x = x1;
        y = y1;
    }
}
