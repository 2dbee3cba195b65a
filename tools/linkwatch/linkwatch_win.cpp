// linkwatch: a console view of one receiver link, for trying the link layer
// against a real or simulated receiver before the monitor's windows exist.
// It opens COMn (default COM5, 9600 8N1, QBIN), listens to the link's events
// and prints the 13 statistics counters and the frames seen per protocol once
// a second, for the given number of seconds (default 10; 0 runs until Ctrl-C).
//
//   linkwatch.exe [port] [seconds] [baud]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "link/CController.h"
#include "link/LinkStatistics.h"
#include "link/ProtocolKind.h"
#include "model/ReceiverEvent.h"

namespace {

long g_framesByKind[PROTO_KIND_COUNT];
long g_events;

LRESULT CALLBACK ListenerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_RECEIVER_EVENT) {
        ++g_events;
        int detail = static_cast<int>(lParam & 0xFFFF);
        if (wParam == 13 && detail >= 0 && detail < PROTO_KIND_COUNT) ++g_framesByKind[detail];
        return 1;  // sent events count as handled
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void PrintLine(CController& link, int second)
{
    static const char* const kNames[LINK_COUNTER_COUNT] = {
        "bytes", "good", "bad", "QBIN+", "QBIN-", "NMEA+", "NMEA-",
        "QTXT+", "QTXT-", "QOP+", "QOP-", "KESTO+", "KESTO-"};
    std::printf("%4ds", second);
    for (int i = 0; i < LINK_COUNTER_COUNT; ++i)
        std::printf(" %s=%u", kNames[i], link.GetProtocol().GetStatistic(static_cast<LinkCounter>(i)));
    std::printf("  MON=%ld !digit=%ld events=%ld\n", g_framesByKind[PROTO_MON], g_framesByKind[PROTO_PROF], g_events);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    int port = argc > 1 ? std::atoi(argv[1]) : 5;
    int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    uint32_t baud = argc > 3 ? static_cast<uint32_t>(std::atoi(argv[3])) : 9600;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = ListenerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LinkWatchListener";
    RegisterClassA(&wc);
    HWND listener = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (!listener) {
        std::fprintf(stderr, "linkwatch: cannot create the listener window\n");
        return 2;
    }

    CController link;
    link.AddListener(listener, WM_RECEIVER_EVENT);
    LinkPortSettings settings;
    settings.portNumber = static_cast<uint32_t>(port);
    settings.baudRate = baud;
    settings.parity = 0;
    settings.stopBits = 0;
    settings.dataBits = 8;
    int32_t error = 0;
    if (!link.OpenSerial(settings, PROTO_QBIN, &error)) {
        std::fprintf(stderr, "linkwatch: cannot open COM%d at %u baud (error %d)\n", port, baud, error);
        return 1;
    }
    std::printf("linkwatch: COM%d at %u baud, %s\n", port, baud, GetProtocolName(PROTO_QBIN));

    DWORD start = GetTickCount();
    int printed = 0;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        int elapsed = static_cast<int>((GetTickCount() - start) / 1000);
        if (elapsed > printed) {
            printed = elapsed;
            PrintLine(link, printed);
            if (seconds > 0 && printed >= seconds) break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    link.Disconnect();
    link.RemoveListener(listener);
    DestroyWindow(listener);
    return link.GetProtocol().GetStatistic(LINK_GOOD) > 0 || seconds == 0 ? 0 : 3;
}
