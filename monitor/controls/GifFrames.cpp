#include "controls/GifFrames.h"

#include <string.h>

namespace {

const size_t kHeaderLength = 13;  // "GIF89a" + logical screen descriptor
const size_t kImageDescriptorLength = 10;
const uint8_t kExtension = 0x21;   // '!'
const uint8_t kImage = 0x2C;       // ','
const uint8_t kTrailer = 0x3B;     // ';'
const uint8_t kPlainText = 0x01;
const uint8_t kGraphicControl = 0xF9;
const uint8_t kComment = 0xFE;
const uint8_t kApplication = 0xFF;

int ReadWord(const uint8_t* p) { return p[0] | (p[1] << 8); }

size_t ColourTableLength(uint8_t packed) {
  return (packed & 0x80) != 0 ? 3u * (2u << (packed & 0x07)) : 0u;
}

// Follows a chain of sub-blocks (length byte, then that many bytes) from
// pos up to and including the zero-length terminator. False when the data
// ends first.
bool SkipSubBlocks(const uint8_t* data, size_t size, size_t& pos) {
  for (;;) {
    if (pos >= size) return false;
    size_t n = data[pos];
    ++pos;
    if (n == 0) return true;
    if (n > size - pos) return false;
    pos += n;
  }
}

}  // namespace

bool IsGifSignature(const uint8_t* data, size_t size) {
  return data != nullptr && size >= 6 && memcmp(data, "GIF", 3) == 0 &&
         (memcmp(data + 3, "87a", 3) == 0 || memcmp(data + 3, "89a", 3) == 0);
}

bool ParseGif(const uint8_t* data, size_t size, GifInfo& info) {
  info = GifInfo();
  if (!IsGifSignature(data, size) || size < kHeaderLength) return false;
  info.screenWidth = ReadWord(data + 6);
  info.screenHeight = ReadWord(data + 8);
  size_t tableLength = ColourTableLength(data[10]);
  if (tableLength > size - kHeaderLength) return false;
  info.headerLength = kHeaderLength + tableLength;

  size_t pos = info.headerLength;
  // The graphic control extension applies to the next image only.
  bool haveControl = false;
  GifFrameInfo pending;
  for (;;) {
    if (pos >= size) {
      // No trailer: the file simply stops between blocks. Nothing is cut
      // short, but a missing trailer still means the file is incomplete.
      info.truncated = true;
      break;
    }
    uint8_t introducer = data[pos];
    if (introducer == kTrailer) break;
    if (introducer == kExtension) {
      if (size - pos < 2) {
        info.truncated = true;
        break;
      }
      uint8_t label = data[pos + 1];
      if (label != kPlainText && label != kGraphicControl && label != kComment &&
          label != kApplication) {
        break;  // an unknown block: nothing after it can be trusted
      }
      size_t start = pos;
      size_t end = pos + 2;
      if (!SkipSubBlocks(data, size, end)) {
        info.truncated = true;
        break;
      }
      if (label == kGraphicControl) {
        // The first sub-block carries packed flags, the delay and the
        // transparent index; a shorter one is ignored.
        pending = GifFrameInfo();
        haveControl = false;
        if (data[start + 2] >= 4) {
          uint8_t packed = data[start + 3];
          pending.delay = ReadWord(data + start + 4);
          pending.disposal = (packed >> 2) & 0x07;
          pending.extensionOffset = start;
          pending.extensionLength = end - start;
          haveControl = true;
        }
      }
      pos = end;
      continue;
    }
    if (introducer == kImage) {
      size_t start = pos;
      if (size - pos < kImageDescriptorLength) {
        info.truncated = true;
        break;
      }
      GifFrameInfo frame = haveControl ? pending : GifFrameInfo();
      frame.left = ReadWord(data + pos + 1);
      frame.top = ReadWord(data + pos + 3);
      frame.width = ReadWord(data + pos + 5);
      frame.height = ReadWord(data + pos + 7);
      size_t localTable = ColourTableLength(data[pos + 9]);
      pos += kImageDescriptorLength;
      // Local colour table, then the LZW minimum code size byte.
      if (localTable > size - pos || size - pos - localTable < 1) {
        info.truncated = true;
        break;
      }
      pos += localTable + 1;
      if (!SkipSubBlocks(data, size, pos)) {
        info.truncated = true;
        break;
      }
      frame.imageOffset = start;
      frame.imageLength = pos - start;
      info.frames.push_back(frame);
      haveControl = false;
      pending = GifFrameInfo();
      continue;
    }
    break;  // anything else ends the walk
  }
  return !info.frames.empty();
}

bool BuildGifFrame(const uint8_t* data, size_t size, const GifInfo& info, size_t index,
                   std::vector<uint8_t>& out) {
  out.clear();
  if (data == nullptr || index >= info.frames.size()) return false;
  const GifFrameInfo& f = info.frames[index];
  if (info.headerLength < kHeaderLength || info.headerLength > size) return false;
  if (f.imageLength < kImageDescriptorLength || f.imageOffset > size ||
      f.imageLength > size - f.imageOffset) {
    return false;
  }
  if (f.extensionLength != 0 &&
      (f.extensionOffset > size || f.extensionLength > size - f.extensionOffset)) {
    return false;
  }
  out.reserve(info.headerLength + f.extensionLength + f.imageLength + 1);
  out.insert(out.end(), data, data + info.headerLength);
  // The logical screen becomes the frame itself.
  out[6] = static_cast<uint8_t>(f.width), out[7] = static_cast<uint8_t>(f.width >> 8);
  out[8] = static_cast<uint8_t>(f.height), out[9] = static_cast<uint8_t>(f.height >> 8);
  if (f.extensionLength != 0) {
    out.insert(out.end(), data + f.extensionOffset, data + f.extensionOffset + f.extensionLength);
  }
  size_t descriptor = out.size();
  out.insert(out.end(), data + f.imageOffset, data + f.imageOffset + f.imageLength);
  for (size_t i = 1; i <= 4; ++i) out[descriptor + i] = 0;  // left and top 0
  out.push_back(kTrailer);
  return true;
}

int GifFrameDelayMs(int delay) { return delay > 4 ? delay * 10 : 100; }

void GifAnimator::SetFrames(const std::vector<GifFrameTiming>& frames) {
  m_frames = frames;
  Reset();
}

void GifAnimator::Reset() {
  m_current = 0;
  m_saved = false;
}

void GifAnimator::Dispose(std::vector<GifDrawStep>& steps) {
  const GifFrameTiming& f = m_frames[m_current];
  int index = static_cast<int>(m_current);
  if (f.disposal == 2) {
    steps.push_back({GifStep::FillBackground, index});
  } else if (f.disposal == 3 && m_saved) {
    steps.push_back({GifStep::RestoreArea, index});
    m_saved = false;
  }
}

int GifAnimator::Show(std::vector<GifDrawStep>& steps) {
  const GifFrameTiming& f = m_frames[m_current];
  int index = static_cast<int>(m_current);
  if (f.disposal == 3) {
    steps.push_back({GifStep::SaveArea, index});
    m_saved = true;
  }
  steps.push_back({GifStep::DrawFrame, index});
  steps.push_back({GifStep::Invalidate, index});
  return GifFrameDelayMs(f.delay);
}

int GifAnimator::Begin(std::vector<GifDrawStep>& steps) {
  if (!IsAnimated()) return 0;
  if (m_current >= m_frames.size()) m_current = 0;
  Dispose(steps);
  return Show(steps);
}

int GifAnimator::Tick(std::vector<GifDrawStep>& steps) {
  if (!IsAnimated()) return 0;
  if (m_current >= m_frames.size()) m_current = 0;
  Dispose(steps);
  if (++m_current >= m_frames.size()) {
    m_current = 0;
    steps.push_back({GifStep::ClearAll, -1});
  }
  return Show(steps);
}
