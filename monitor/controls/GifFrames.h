// GIF structure without any picture decoding: the block walker that finds
// the images of a GIF, the splitter that builds a one-image GIF per frame for
// the platform's picture loader, and the frame-by-frame animation plan.
//
// The bytes come from resources today but are treated as untrusted: every
// read is checked against the data size, so a damaged or truncated file
// gives the frames that were complete or a clean failure, never a read past
// the end.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// One image of a GIF, as the walker found it. Offsets index the data the
// walker was given.
struct GifFrameInfo {
  int left = 0;    // position in the logical screen
  int top = 0;
  int width = 0;
  int height = 0;
  int delay = -1;     // hundredths of a second; -1 without a graphic control extension
  int disposal = 0;   // 0-7, bits 2-4 of the extension's packed byte
  size_t extensionOffset = 0;  // the graphic control extension block ("!" 0xF9 ...)
  size_t extensionLength = 0;  // 0 when the image has none
  size_t imageOffset = 0;      // the image descriptor (",") ...
  size_t imageLength = 0;      // ... through the end of its last data sub-block
};

struct GifInfo {
  int screenWidth = 0;
  int screenHeight = 0;
  size_t headerLength = 0;  // 13-byte header and screen descriptor + global colour table
  std::vector<GifFrameInfo> frames;
  bool truncated = false;  // the data ended inside a block
};

// True when the data starts with "GIF87a" or "GIF89a".
bool IsGifSignature(const uint8_t* data, size_t size);

// Walks the blocks of a GIF and lists its complete images. False when the
// data is not a GIF, its header or global colour table is cut short, or no
// complete image was found. An image cut short is dropped; the ones before
// it are kept (truncated is then set).
bool ParseGif(const uint8_t* data, size_t size, GifInfo& info);

// A GIF holding only frame `index` of the walked data: the header with the
// global colour table, the frame's graphic control extension when it has
// one, its image descriptor and data, and the trailer. The copy's logical
// screen is the frame's own size and the image sits at 0,0, so the loaded
// picture covers exactly the frame and is drawn at the frame's offset
// without scaling. False when index or the recorded offsets do not fit.
bool BuildGifFrame(const uint8_t* data, size_t size, const GifInfo& info, size_t index,
                   std::vector<uint8_t>& out);

// How long a frame stays up: delays above 4 hundredths as given, anything
// shorter (or none) 100 ms, since players treat tiny delays as "as fast as
// possible" and that would spin.
int GifFrameDelayMs(int delay);

// The drawing steps of the animation, decided without any device so the
// order of saves, draws and disposals can be checked on the host. The
// window side performs each step on the GUI thread (a timer drives Tick), so
// nothing is drawn while the picture is being copied to the screen.
struct GifFrameTiming {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int delay = -1;
  int disposal = 0;
};

enum class GifStep {
  SaveArea,        // keep what the frame covers (disposal 3)
  DrawFrame,       // render the frame at its offset with its size
  FillBackground,  // the frame's rectangle to the background colour (disposal 2)
  RestoreArea,     // put the saved area back and drop it (disposal 3)
  ClearAll,        // whole picture to the background colour (start of a new loop)
  Invalidate,      // have the window repaint
};

struct GifDrawStep {
  GifStep step;
  int frame;  // frame index; -1 for ClearAll
};

class GifAnimator {
public:
  void SetFrames(const std::vector<GifFrameTiming>& frames);
  void Reset();
  // Only pictures of two frames or more animate; one frame is drawn once.
  bool IsAnimated() const { return m_frames.size() > 1; }
  size_t GetFrameCount() const { return m_frames.size(); }
  size_t GetCurrentFrame() const { return m_current; }

  // Starts (or resumes after a stop) at the current frame: undoes what that
  // frame left behind, then shows it. Returns how long to wait before the
  // next Tick, 0 when the picture does not animate.
  int Begin(std::vector<GifDrawStep>& steps);
  // The current frame's time is up: applies its disposal, moves to the next
  // frame (clearing the picture after the last) and shows it.
  int Tick(std::vector<GifDrawStep>& steps);

private:
  void Dispose(std::vector<GifDrawStep>& steps);
  int Show(std::vector<GifDrawStep>& steps);

  std::vector<GifFrameTiming> m_frames;
  size_t m_current = 0;
  bool m_saved = false;  // an area is saved for the current frame
};
