// Pictures under the real OLE loader: still and animated GIFs made in the
// test, a bitmap, damaged data; the control's size, the animation's frame
// steps on the GUI thread, and a hundred open/close rounds.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "app/resource.h"
#include "controls/CPictureEx.h"
#include "monitor/controls/GifTestImages.h"

using giftest::Frame;
using giftest::MakeGif;

namespace {

HGLOBAL ToGlobal(const std::vector<uint8_t>& bytes) {
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
  void* p = ::GlobalLock(h);
  if (!bytes.empty()) memcpy(p, bytes.data(), bytes.size());
  ::GlobalUnlock(h);
  return h;
}

// A 24-bit bottom-up bitmap file of w x h pixels of one colour.
std::vector<uint8_t> MakeBmp(int w, int h, BYTE r, BYTE g, BYTE b) {
  int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + stride * h;
  ih.biSize = sizeof ih;
  ih.biWidth = w;
  ih.biHeight = h;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biCompression = BI_RGB;
  std::vector<uint8_t> v(fh.bfSize, 0);
  memcpy(v.data(), &fh, sizeof fh);
  memcpy(v.data() + sizeof fh, &ih, sizeof ih);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* px = v.data() + fh.bfOffBits + y * stride + x * 3;
      px[0] = b, px[1] = g, px[2] = r;
    }
  }
  return v;
}

void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

class PictureExTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_host.CreateEx(0, nullptr, "picture host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                300, 200, nullptr, nullptr));
  }
  void TearDown() override {
    if (m_host.GetSafeHwnd() != nullptr) m_host.DestroyWindow();
    Pump();
  }
  bool CreatePicture(CPictureEx& pic, UINT id = 100) {
    RECT rc = {10, 10, 20, 20};
    return pic.Create("", WS_CHILD | WS_VISIBLE | SS_NOTIFY, rc, &m_host, id) != FALSE;
  }
  static CSize WindowSize(CWnd& w) {
    RECT rc;
    w.GetWindowRect(&rc);
    return CSize(rc.right - rc.left, rc.bottom - rc.top);
  }
  CWnd m_host;
};

TEST_F(PictureExTest, StillPicturesDrawOnceAtTheirPixelSize) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    BOOL gif;
    CSize size;
    POINT probe;
    COLORREF colour;  // what the picture shows at probe
  };
  Frame still;
  still.width = 7, still.height = 5;
  Frame small;
  small.left = 2, small.top = 1, small.width = 3, small.height = 2;
  const Case cases[] = {
      {"one-image GIF", MakeGif(7, 5, {still}), TRUE, CSize(7, 5), {3, 2}, RGB(255, 0, 0)},
      {"image smaller than its screen", MakeGif(12, 9, {small}), TRUE, CSize(12, 9), {3, 2},
       RGB(255, 0, 0)},
      {"bitmap", MakeBmp(6, 4, 10, 200, 30), FALSE, CSize(6, 4), {5, 3}, RGB(10, 200, 30)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CPictureEx pic;
    ASSERT_TRUE(CreatePicture(pic));
    HGLOBAL h = ToGlobal(c.bytes);
    ASSERT_TRUE(pic.Load(h, static_cast<DWORD>(c.bytes.size())));
    ::GlobalFree(h);
    EXPECT_TRUE(pic.IsLoaded());
    EXPECT_EQ(pic.IsGIF(), c.gif);
    EXPECT_FALSE(pic.IsAnimatedGIF());
    EXPECT_EQ(pic.GetSize(), c.size);
    EXPECT_EQ(WindowSize(pic), c.size);  // the control takes the picture's size
    EXPECT_TRUE(pic.Draw());
    EXPECT_FALSE(pic.IsPlaying());  // nothing to animate
    pic.UpdateWindow();
    HDC hDC = ::GetDC(pic);
    EXPECT_EQ(::GetPixel(hDC, c.probe.x, c.probe.y), c.colour);
    ::ReleaseDC(pic, hDC);
    Pump();
    pic.DestroyWindow();
  }
}

// The program's own lamp pictures, from the resources linked into this test:
// each loads as a GIF and the control takes the size its header gives; the
// lamp at rest is still, the busy lamp animates.
TEST_F(PictureExTest, LampPicturesLoadFromTheResources) {
  const struct {
    UINT id;
    BOOL animated;
  } lamps[] = {{IDR_GIF_REST, FALSE}, {IDR_GIF_ACTIVE, TRUE}};
  for (const auto& lamp : lamps) {
    const UINT id = lamp.id;
    SCOPED_TRACE(id);
    HRSRC res = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), "GIF");
    ASSERT_NE(nullptr, res);
    const BYTE* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, res)));
    ASSERT_NE(nullptr, bytes);
    ASSERT_GE(::SizeofResource(nullptr, res), 10u);
    ASSERT_EQ(0, memcmp(bytes, "GIF8", 4));
    CSize screen(bytes[6] | (bytes[7] << 8), bytes[8] | (bytes[9] << 8));
    ASSERT_GT(screen.cx, 0);
    ASSERT_GT(screen.cy, 0);

    CPictureEx pic;
    ASSERT_TRUE(CreatePicture(pic));
    ASSERT_TRUE(pic.Load(MAKEINTRESOURCEA(id), "GIF"));
    EXPECT_TRUE(pic.IsLoaded());
    EXPECT_TRUE(pic.IsGIF());
    EXPECT_EQ(pic.IsAnimatedGIF(), lamp.animated);
    EXPECT_EQ(pic.GetSize(), screen);
    EXPECT_EQ(WindowSize(pic), screen);
    EXPECT_EQ(pic.Draw(), !lamp.animated);  // drawn once, or animating
    EXPECT_EQ(pic.IsPlaying(), lamp.animated);
    Pump();
    pic.DestroyWindow();
  }
}

TEST_F(PictureExTest, DamagedDataFailsAndLeavesTheControlAlone) {
  std::vector<uint8_t> gif = MakeGif(4, 4, {Frame(), Frame()});
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"header cut", std::vector<uint8_t>(gif.begin(), gif.begin() + 10)},
      {"colour table cut", std::vector<uint8_t>(gif.begin(), gif.begin() + 20)},
      {"first image cut", std::vector<uint8_t>(gif.begin(), gif.begin() + 30)},
      {"not a picture", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CPictureEx pic;
    ASSERT_TRUE(CreatePicture(pic));
    HGLOBAL h = ToGlobal(c.bytes);
    EXPECT_FALSE(pic.Load(h, static_cast<DWORD>(c.bytes.size())));
    ::GlobalFree(h);
    EXPECT_FALSE(pic.IsLoaded());
    EXPECT_FALSE(pic.Draw());
    EXPECT_EQ(WindowSize(pic), CSize(10, 10));
    pic.DestroyWindow();
  }
  CPictureEx pic;
  ASSERT_TRUE(CreatePicture(pic));
  EXPECT_FALSE(pic.Load(static_cast<HGLOBAL>(nullptr), 10));
  EXPECT_FALSE(pic.Load(MAKEINTRESOURCEA(5999), "GIF"));  // no such resource
  // A size larger than the block is cut to the block.
  HGLOBAL h = ToGlobal(gif);
  EXPECT_TRUE(pic.Load(h, static_cast<DWORD>(gif.size() + 100000)));
  ::GlobalFree(h);
  EXPECT_EQ(pic.GetFrameCount(), 2);
}

TEST_F(PictureExTest, TruncatedAnimationKeepsTheFramesFound) {
  Frame a, b, c;
  a.colour = 0, b.colour = 1, c.colour = 2;
  std::vector<uint8_t> gif = MakeGif(2, 2, {a, b, c});
  GifInfo info;
  ASSERT_TRUE(ParseGif(gif.data(), gif.size(), info));
  ASSERT_EQ(info.frames.size(), 3u);
  // Cut inside the third frame's image data.
  std::vector<uint8_t> cut(gif.begin(), gif.begin() + info.frames[2].imageOffset + 12);
  CPictureEx pic;
  ASSERT_TRUE(CreatePicture(pic));
  HGLOBAL h = ToGlobal(cut);
  ASSERT_TRUE(pic.Load(h, static_cast<DWORD>(cut.size())));
  ::GlobalFree(h);
  EXPECT_EQ(pic.GetFrameCount(), 2);
  EXPECT_TRUE(pic.IsAnimatedGIF());
}

TEST_F(PictureExTest, AnimationStepsOnTheGuiThreadAndStops) {
  Frame a, b, c;
  a.colour = 0, b.colour = 1, c.colour = 2;
  a.delay = b.delay = c.delay = 5;
  b.left = 1, b.width = 3, b.packed = 0x08;  // background after it
  c.packed = 0x0C;                           // restore after it
  std::vector<uint8_t> gif = MakeGif(4, 2, {a, b, c});
  CPictureEx pic;
  ASSERT_TRUE(CreatePicture(pic));
  HGLOBAL h = ToGlobal(gif);
  ASSERT_TRUE(pic.Load(h, static_cast<DWORD>(gif.size())));
  ::GlobalFree(h);
  EXPECT_EQ(pic.GetFrameCount(), 3);
  EXPECT_EQ(WindowSize(pic), CSize(4, 2));
  EXPECT_FALSE(pic.Draw());  // animating, not drawn once
  EXPECT_TRUE(pic.IsPlaying());
  EXPECT_FALSE(pic.Draw());  // a second Draw does not start a second animation
  // The frames advance while the thread pumps its messages; wait for a
  // whole loop (bounded, so a stuck animation fails rather than hangs).
  int seen = 0;
  int last = pic.GetCurrentFrame();
  for (int i = 0; i < 2000 && seen < 4; ++i) {
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
    ::DispatchMessageA(&msg);
    if (pic.GetCurrentFrame() != last) {
      last = pic.GetCurrentFrame();
      ++seen;
    }
  }
  EXPECT_GE(seen, 4);
  // Stopped while the narrow second frame is up: it shows over the first.
  for (int i = 0; i < 2000 && pic.GetCurrentFrame() != 1; ++i) {
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
    ::DispatchMessageA(&msg);
  }
  ASSERT_EQ(pic.GetCurrentFrame(), 1);
  pic.Stop();
  EXPECT_FALSE(pic.IsPlaying());
  Pump();
  EXPECT_EQ(pic.GetCurrentFrame(), 1);
  pic.UpdateWindow();
  HDC hDC = ::GetDC(pic);
  EXPECT_EQ(::GetPixel(hDC, 0, 0), RGB(255, 0, 0));  // first frame, left in place
  EXPECT_EQ(::GetPixel(hDC, 2, 1), RGB(0, 0, 255));  // second frame at its offset
  ::ReleaseDC(pic, hDC);
  EXPECT_FALSE(pic.Draw());  // resumes
  EXPECT_TRUE(pic.IsPlaying());
  pic.DestroyWindow();  // stops on WM_DESTROY
  EXPECT_FALSE(pic.IsPlaying());
}

TEST_F(PictureExTest, HundredOpenCloseRoundsLeaveNoHandles) {
  Frame a, b;
  a.delay = b.delay = 5;
  b.packed = 0x0C;
  std::vector<uint8_t> gif = MakeGif(3, 3, {a, b});
  DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  for (int round = 0; round < 100; ++round) {
    SCOPED_TRACE(round);
    CPictureEx* pic = new CPictureEx;
    ASSERT_TRUE(CreatePicture(*pic));
    HGLOBAL h = ToGlobal(gif);
    ASSERT_TRUE(pic->Load(h, static_cast<DWORD>(gif.size())));
    ::GlobalFree(h);
    pic->Draw();
    ASSERT_TRUE(pic->IsPlaying());
    // Let a frame change happen now and then, then close while animating.
    if (round % 10 == 0) {
      for (int i = 0; i < 200 && pic->GetCurrentFrame() == 0; ++i) {
        MSG msg;
        if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        ::DispatchMessageA(&msg);
      }
    }
    Pump();
    if (round % 2 == 0) pic->DestroyWindow();  // the other half dies with its object
    delete pic;
  }
  Pump();
  DWORD gdiAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  EXPECT_LE(gdiAfter, gdiBefore + 5);
}

TEST_F(PictureExTest, ResourcePictureListPerWindow) {
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, nullptr, "other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  Frame f;
  f.width = 8, f.height = 6;
  std::vector<uint8_t> gif = MakeGif(8, 6, {f});
  std::vector<uint8_t> bmp = MakeBmp(5, 3, 1, 2, 3);
  int before = GetResourcePictureCount(nullptr);
  EXPECT_FALSE(AddResourcePicture(m_host, 5999, 0, 0, "GIF"));  // no such resource
  EXPECT_FALSE(AddMemoryPicture(m_host, bmp.data(), 10, 0, 0));  // cut short
  EXPECT_EQ(GetResourcePictureCount(nullptr), before);

  EXPECT_TRUE(AddMemoryPicture(m_host, gif.data(), gif.size(), 4, 4));
  EXPECT_TRUE(AddMemoryPicture(m_host, bmp.data(), bmp.size(), 40, 4));
  EXPECT_TRUE(AddMemoryPicture(other, gif.data(), gif.size(), 0, 0));
  EXPECT_EQ(GetResourcePictureCount(m_host), 2);
  EXPECT_EQ(GetResourcePictureCount(other), 1);
  SIZE s;
  ASSERT_TRUE(GetResourcePictureSize(m_host, 0, &s));  // newest first
  EXPECT_EQ(s.cx, 5);
  EXPECT_EQ(s.cy, 3);
  ASSERT_TRUE(GetResourcePictureSize(m_host, 1, &s));
  EXPECT_EQ(s.cx, 8);
  EXPECT_EQ(s.cy, 6);
  HDC hDC = ::GetDC(m_host);
  DrawResourcePictures(m_host, hDC);
  ::ReleaseDC(m_host, hDC);

  RemoveResourcePictures(m_host);
  EXPECT_EQ(GetResourcePictureCount(m_host), 0);
  EXPECT_EQ(GetResourcePictureCount(other), 1);
  RemoveResourcePictures(other);
  EXPECT_EQ(GetResourcePictureCount(nullptr), before);
  other.DestroyWindow();
}

}  // namespace
