// Message handling for the window tests, as the program's own loop does it:
// the windows' pre-translation (dialog keys, tooltips) first, then the
// window procedure.
#pragma once

#include <windows.h>

#include "framework/afx.h"

inline void HandleMessage(MSG& msg)
{
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Every message waiting for this thread, none more.
inline void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) HandleMessage(msg);
}
