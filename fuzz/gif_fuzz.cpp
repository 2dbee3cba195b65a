// GIF bytes through the block walker, the frame splitter and the animation
// plan. The input is copied to a buffer of exactly its size so any read past
// the end is seen; every frame the walker reports must split into a GIF
// the walker accepts again with one image of the same size and timing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/GifFrames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  GifInfo info;
  bool ok = ParseGif(bytes.data(), bytes.size(), info);
  if (ok != !info.frames.empty()) abort();
  if (!ok) return 0;

  std::vector<GifFrameTiming> timing;
  for (size_t i = 0; i < info.frames.size(); ++i) {
    const GifFrameInfo& f = info.frames[i];
    if (f.imageOffset + f.imageLength > size) abort();
    if (f.disposal < 0 || f.disposal > 7) abort();
    std::vector<uint8_t> one;
    if (!BuildGifFrame(bytes.data(), bytes.size(), info, i, one)) abort();
    GifInfo sub;
    if (!ParseGif(one.data(), one.size(), sub) || sub.frames.size() != 1 || sub.truncated) abort();
    if (sub.frames[0].width != f.width || sub.frames[0].height != f.height ||
        sub.frames[0].delay != f.delay || sub.frames[0].disposal != f.disposal) {
      abort();
    }
    timing.push_back(GifFrameTiming{f.left, f.top, f.width, f.height, f.delay, f.disposal});
  }

  GifAnimator anim;
  anim.SetFrames(timing);
  std::vector<GifDrawStep> steps;
  int ms = anim.Begin(steps);
  if (anim.IsAnimated() != (ms > 0)) abort();
  for (size_t i = 0; i < 2 * timing.size() + 1 && anim.IsAnimated(); ++i) {
    steps.clear();
    if (anim.Tick(steps) < 50) abort();
    if (anim.GetCurrentFrame() >= timing.size()) abort();
  }
  return 0;
}
