// The GIF walker, the frame splitter and the animation plan: frame timing
// and disposal as the picture control will use them, damaged files, and
// the order of drawing steps.
#include "controls/GifFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "monitor/controls/GifTestImages.h"

using giftest::Frame;
using giftest::MakeGif;

namespace {

TEST(GifFrames, DelayAndDisposalComeFromEachFramesControlExtension) {
  struct Case {
    bool control;
    int delay;
    uint8_t packed;
    int wantDelay;
    int wantMs;
    int wantDisposal;
  };
  const Case cases[] = {
      {true, 3, 0x00, 3, 100, 0},      // too short to honour: 100 ms
      {true, 4, 0x04, 4, 100, 1},
      {true, 5, 0x08, 5, 50, 2},       // first delay taken as given
      {true, 0, 0x0C, 0, 100, 3},
      {true, 250, 0x1C, 250, 2500, 7},
      {true, 7, 0xE3, 7, 70, 0},       // reserved bits and the flags are not disposal
      {true, 7, 0xFF, 7, 70, 7},
      {false, 0, 0x00, -1, 100, 0},    // no extension: 100 ms
  };
  std::vector<Frame> frames;
  for (const Case& c : cases) {
    Frame f;
    f.control = c.control, f.delay = c.delay, f.packed = c.packed;
    frames.push_back(f);
  }
  std::vector<uint8_t> gif = MakeGif(2, 2, frames);
  GifInfo info;
  ASSERT_TRUE(ParseGif(gif.data(), gif.size(), info));
  EXPECT_FALSE(info.truncated);
  ASSERT_EQ(info.frames.size(), sizeof(cases) / sizeof(cases[0]));
  for (size_t i = 0; i < info.frames.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(info.frames[i].delay, cases[i].wantDelay);
    EXPECT_EQ(GifFrameDelayMs(info.frames[i].delay), cases[i].wantMs);
    EXPECT_EQ(info.frames[i].disposal, cases[i].wantDisposal);
    EXPECT_EQ(info.frames[i].extensionLength, cases[i].control ? 8u : 0u);
  }
}

TEST(GifFrames, WalkerReadsScreenFramesAndSkipsOtherBlocks) {
  std::vector<uint8_t> g = giftest::Header(40, 30);
  // Comment, application and plain-text extensions, one with several
  // sub-blocks, lie between the images and are stepped over.
  const uint8_t comment[] = {0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};
  g.insert(g.end(), comment, comment + sizeof comment);
  const uint8_t app[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                         3, 1, 0, 0, 0};
  g.insert(g.end(), app, app + sizeof app);
  giftest::PutControl(g, 0x08, 20);
  Frame a;
  a.left = 3, a.top = 4, a.width = 5, a.height = 6, a.localTable = true;
  giftest::PutImage(g, a);
  const uint8_t text[] = {0x21, 0x01, 12, 0, 0, 0, 0, 8, 0, 8, 0, 1, 1, 0, 1, 1, 'x', 0};
  g.insert(g.end(), text, text + sizeof text);
  // The extension belonged to the first image only.
  Frame b;
  b.left = 10, b.top = 11, b.width = 12, b.height = 2;
  giftest::PutImage(g, b);
  g.push_back(0x3B);
  // Whatever follows the trailer is not read.
  g.push_back(0x2C);

  GifInfo info;
  ASSERT_TRUE(ParseGif(g.data(), g.size(), info));
  EXPECT_EQ(info.screenWidth, 40);
  EXPECT_EQ(info.screenHeight, 30);
  EXPECT_EQ(info.headerLength, 13u + 12u);
  ASSERT_EQ(info.frames.size(), 2u);
  const GifFrameInfo& f0 = info.frames[0];
  EXPECT_EQ(f0.left, 3);
  EXPECT_EQ(f0.top, 4);
  EXPECT_EQ(f0.width, 5);
  EXPECT_EQ(f0.height, 6);
  EXPECT_EQ(f0.delay, 20);
  EXPECT_EQ(f0.disposal, 2);
  EXPECT_EQ(g[f0.imageOffset], 0x2C);
  EXPECT_EQ(g[f0.imageOffset + f0.imageLength - 1], 0);  // ends on the block terminator
  const GifFrameInfo& f1 = info.frames[1];
  EXPECT_EQ(f1.left, 10);
  EXPECT_EQ(f1.top, 11);
  EXPECT_EQ(f1.width, 12);
  EXPECT_EQ(f1.height, 2);
  EXPECT_EQ(f1.delay, -1);
  EXPECT_EQ(f1.disposal, 0);
  EXPECT_EQ(f1.extensionLength, 0u);
  EXPECT_FALSE(info.truncated);
}

TEST(GifFrames, UnknownBlocksEndTheWalkAndKeepEarlierFrames) {
  struct Case {
    const char* name;
    std::vector<uint8_t> tail;
  };
  const Case cases[] = {
      {"unknown extension label", {0x21, 0x02, 1, 0, 0}},
      {"unknown introducer", {0x00}},
      {"stray byte", {0x47}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> g = giftest::Header(4, 4);
    giftest::PutImage(g, Frame());
    g.insert(g.end(), c.tail.begin(), c.tail.end());
    giftest::PutImage(g, Frame());  // after the end of the walk: not counted
    g.push_back(0x3B);
    GifInfo info;
    ASSERT_TRUE(ParseGif(g.data(), g.size(), info));
    EXPECT_EQ(info.frames.size(), 1u);
  }
}

TEST(GifFrames, NotAGifOrNoImageFailsCleanly) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> tableCut = giftest::Header(2, 2);
  tableCut.resize(13 + 5);
  const Case cases[] = {
      {"empty", {}},
      {"other signature", {'G', 'I', 'F', '9', '0', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}},
      {"jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0}},
      {"signature only", {'G', 'I', 'F', '8', '7', 'a'}},
      {"header cut", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0}},
      {"colour table cut", tableCut},
      {"trailer only", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}},
      {"extensions only", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0,
                           0x21, 0xF9, 4, 0, 5, 0, 0, 0, 0x3B}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GifInfo info;
    EXPECT_FALSE(ParseGif(c.bytes.data(), c.bytes.size(), info));
    EXPECT_TRUE(info.frames.empty());
  }
  GifInfo info;
  EXPECT_FALSE(ParseGif(nullptr, 100, info));
}

// Every prefix of a three-frame GIF: the frames found are exactly the ones
// that fit whole in the prefix, and nothing is read past its end (the
// prefix is copied so the sanitizer sees any overrun).
TEST(GifFrames, TruncatedFileKeepsCompleteFramesOnly) {
  Frame a, b, c;
  a.delay = 5, b.delay = 6, c.delay = 7;
  b.localTable = true, b.width = 9, b.height = 3;
  std::vector<uint8_t> whole = MakeGif(9, 3, {a, b, c});
  GifInfo full;
  ASSERT_TRUE(ParseGif(whole.data(), whole.size(), full));
  ASSERT_EQ(full.frames.size(), 3u);

  for (size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
    GifInfo info;
    bool ok = ParseGif(part.data(), part.size(), info);
    size_t want = 0;
    for (const GifFrameInfo& f : full.frames) {
      if (f.imageOffset + f.imageLength <= cut) ++want;
    }
    EXPECT_EQ(ok, want > 0);
    ASSERT_EQ(info.frames.size(), want);
    if (cut >= full.headerLength) {
      EXPECT_TRUE(info.truncated);
    }
    for (size_t i = 0; i < want; ++i) {
      EXPECT_EQ(info.frames[i].delay, full.frames[i].delay);
      std::vector<uint8_t> one;
      EXPECT_TRUE(BuildGifFrame(part.data(), part.size(), info, i, one));
    }
  }
}

// Sub-block lengths that point past the end, in each kind of block.
TEST(GifFrames, LengthsPastTheEndAreNotFollowed) {
  struct Case {
    const char* name;
    std::vector<uint8_t> tail;
  };
  const Case cases[] = {
      {"extension sub-block", {0x21, 0xFE, 200, 'x'}},
      {"control extension", {0x21, 0xF9, 4, 0, 5}},
      {"descriptor", {0x2C, 0, 0, 0, 0, 2}},
      {"local table", {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x87, 1, 2, 3}},
      {"no code size", {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x00}},
      {"image sub-block", {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x00, 2, 255, 1, 2}},
      {"no terminator", {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x00, 2, 1, 0x44}},
      {"lone introducer", {0x21}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> g = giftest::Header(2, 2);
    giftest::PutImage(g, Frame());
    g.insert(g.end(), c.tail.begin(), c.tail.end());
    std::vector<uint8_t> exact(g);  // no slack after the last byte
    GifInfo info;
    ASSERT_TRUE(ParseGif(exact.data(), exact.size(), info));
    EXPECT_EQ(info.frames.size(), 1u);
    EXPECT_TRUE(info.truncated);
  }
}

TEST(GifFrames, FrameGifHoldsOneImageAtTheOrigin) {
  Frame a, b;
  a.delay = 8, a.packed = 0x0C;
  b.left = 3, b.top = 1, b.width = 4, b.height = 2, b.control = false, b.localTable = true;
  std::vector<uint8_t> gif = MakeGif(10, 6, {a, b});
  GifInfo info;
  ASSERT_TRUE(ParseGif(gif.data(), gif.size(), info));
  ASSERT_EQ(info.frames.size(), 2u);

  for (size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    std::vector<uint8_t> one;
    ASSERT_TRUE(BuildGifFrame(gif.data(), gif.size(), info, i, one));
    const GifFrameInfo& f = info.frames[i];
    EXPECT_EQ(one.size(), info.headerLength + f.extensionLength + f.imageLength + 1);
    EXPECT_EQ(one.back(), 0x3B);
    // Colour table and flags of the original header are kept.
    EXPECT_TRUE(std::equal(gif.begin() + 10, gif.begin() + info.headerLength, one.begin() + 10));
    GifInfo sub;
    ASSERT_TRUE(ParseGif(one.data(), one.size(), sub));
    EXPECT_FALSE(sub.truncated);
    ASSERT_EQ(sub.frames.size(), 1u);
    EXPECT_EQ(sub.screenWidth, f.width);
    EXPECT_EQ(sub.screenHeight, f.height);
    EXPECT_EQ(sub.frames[0].left, 0);
    EXPECT_EQ(sub.frames[0].top, 0);
    EXPECT_EQ(sub.frames[0].width, f.width);
    EXPECT_EQ(sub.frames[0].delay, f.delay);
    EXPECT_EQ(sub.frames[0].disposal, f.disposal);
    // The image data itself is the original's.
    EXPECT_TRUE(std::equal(gif.begin() + f.imageOffset + 5, gif.begin() + f.imageOffset + f.imageLength,
                           one.begin() + sub.frames[0].imageOffset + 5));
  }
  std::vector<uint8_t> none;
  EXPECT_FALSE(BuildGifFrame(gif.data(), gif.size(), info, 2, none));
  EXPECT_TRUE(none.empty());
  // Offsets that do not fit the data handed in are refused.
  EXPECT_FALSE(BuildGifFrame(gif.data(), info.frames[1].imageOffset + 3, info, 1, none));
}

std::string Plan(const std::vector<GifDrawStep>& steps) {
  std::string s;
  for (const GifDrawStep& st : steps) {
    const char* name = "";
    switch (st.step) {
      case GifStep::SaveArea: name = "save"; break;
      case GifStep::DrawFrame: name = "draw"; break;
      case GifStep::FillBackground: name = "fill"; break;
      case GifStep::RestoreArea: name = "restore"; break;
      case GifStep::ClearAll: name = "clear"; break;
      case GifStep::Invalidate: name = "inval"; break;
    }
    if (!s.empty()) s += " ";
    s += name;
    if (st.frame >= 0) s += std::to_string(st.frame);
  }
  return s;
}

TEST(GifAnimator, SingleFrameNeverAnimates) {
  GifAnimator anim;
  std::vector<GifDrawStep> steps;
  EXPECT_FALSE(anim.IsAnimated());
  EXPECT_EQ(anim.Begin(steps), 0);
  anim.SetFrames({GifFrameTiming{0, 0, 4, 4, 10, 2}});
  EXPECT_FALSE(anim.IsAnimated());
  EXPECT_EQ(anim.Begin(steps), 0);
  EXPECT_EQ(anim.Tick(steps), 0);
  EXPECT_TRUE(steps.empty());
  anim.SetFrames({GifFrameTiming{0, 0, 4, 4, 10, 2}, GifFrameTiming{0, 0, 4, 4, 10, 2}});
  EXPECT_TRUE(anim.IsAnimated());
}

TEST(GifAnimator, DisposalsRunAfterEachFrameAndTheLoopClears) {
  GifAnimator anim;
  anim.SetFrames({
      GifFrameTiming{0, 0, 4, 4, 3, 3},   // restore to previous
      GifFrameTiming{1, 1, 2, 2, 5, 2},   // restore to background
      GifFrameTiming{0, 0, 4, 4, -1, 1},  // leave in place
  });
  struct Tick {
    int wantMs;
    const char* wantSteps;
  };
  const Tick ticks[] = {
      {50, "restore0 draw1 inval1"},
      {100, "fill1 draw2 inval2"},
      {100, "clear save0 draw0 inval0"},
      {50, "restore0 draw1 inval1"},
  };
  std::vector<GifDrawStep> steps;
  EXPECT_EQ(anim.Begin(steps), 100);
  EXPECT_EQ(Plan(steps), "save0 draw0 inval0");
  for (const Tick& t : ticks) {
    steps.clear();
    EXPECT_EQ(anim.Tick(steps), t.wantMs);
    EXPECT_EQ(Plan(steps), t.wantSteps);
  }
  // Started again after a stop while frame 1 was up: what it left is
  // disposed of before it is shown again.
  steps.clear();
  EXPECT_EQ(anim.GetCurrentFrame(), 1u);
  EXPECT_EQ(anim.Begin(steps), 50);
  EXPECT_EQ(Plan(steps), "fill1 draw1 inval1");
}

}  // namespace
