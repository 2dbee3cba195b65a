#pragma once
// Shared by the monitor's fuzz targets: the file layer in memory, so that the
// model's diagnostic log and the converter's outputs leave nothing on disk,
// and a listener that takes every event the model raises without a check.
#include <cstdint>

#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"
#include "model/ReceiverEventSink.h"

namespace fuzzsupport {

// Installed as the file layer on first use and kept for the whole run.
inline MemoryFileBackend& MemoryFiles()
{
    static MemoryFileBackend* files = [] {
        MemoryFileBackend* b = new MemoryFileBackend();
        CFile::SetBackend(b);
        return b;
    }();
    return *files;
}

struct NullListener : IReceiverEventSink {
    bool NotifyListeners(int32_t, int32_t, bool) override { return true; }
};

}  // namespace fuzzsupport
