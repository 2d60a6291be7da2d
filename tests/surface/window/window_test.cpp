#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "surface/core.hpp"
#include "surface/headless.hpp"
#include "surface/keys.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace {

// Seeded random choices: pick(n) is one of 0..n-1.
struct Dice {
  std::mt19937 rng;
  explicit Dice(unsigned seed) : rng(seed) {}
  int operator()(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
};

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    ASSERT_EQ(SCREEN_OPEN(320, 200, 32, 2, 4, 0), 0);
  }

  struct Mouse {
    Integer result, x, y, wheel, buttons, clip;
    bool operator==(const Mouse&) const = default;
  };
  static Mouse mouse() {
    Mouse m{};
    m.result = INPUT_MOUSE(m.x, m.y, m.wheel, m.buttons, m.clip);
    return m;
  }
  static constexpr Mouse kOutside{1, -1, -1, -1, -1, -1};
  // Lets the virtual clock reach `ms`.
  static void until(double ms) { TIME_SLEEP(static_cast<Integer>(ms - headless::now_ms()) + 1); }
};

TEST_F(Window, OpenRejectsBadArgumentsAndStartsAfresh) {
  for (auto [w, h, depth] : {std::tuple{0, 10, 32}, {10, -1, 32}, {10, 10, 7}, {100000, 10, 32}}) {
    RUNTIME_SET_LAST_ERROR(0);
    EXPECT_EQ(SCREEN_OPEN(w, h, depth, 1, 0, 0), 1) << w << "x" << h << "@" << depth;
    EXPECT_EQ(RUNTIME_LAST_ERROR(), 1);
  }
  // The surface's state, read under its lock.
  const auto pages = [] { return surf::DrawLock(surf::core()).surface().pages; };
  EXPECT_EQ(SCREEN_OPEN(8, 4, 24, 0, 0, 0), 0);  // pages <= 0 count as one
  EXPECT_EQ(pages(), 1);
  EXPECT_EQ(SCREEN_OPEN(8, 4, 32, 9, 0, 0), 0);  // more than two are clamped
  EXPECT_EQ(pages(), 2);
  // A new open starts from zeroed pages and the default drawing state.
  {
    surf::DrawLock lock(surf::core());
    surf::Surface& c = lock.surface();
    c.page[0][5] = c.page[1][5] = 0x123456;
    c.draw.fore = 7;
    c.draw.view = surf::Viewport{10, 10, 5, 5, true, true};
    c.draw.win.active = true;
    c.draw.font_height = 16;
    c.draw.cursor_row = 3;
  }
  ASSERT_EQ(SCREEN_OPEN(64, 48, 32, 2, 4, 0), 0);
  surf::DrawLock lock(surf::core());
  const surf::Surface& c = lock.surface();
  EXPECT_EQ(c.page[0][5] | c.page[1][5], 0u);
  EXPECT_EQ(std::tuple(c.draw.fore, c.draw.back), std::tuple(0xFFFFFFFFu, 0xFF000000u));
  EXPECT_EQ(std::tuple(c.draw.view.width, c.draw.view.user_set, c.draw.win.active), std::tuple(64, false, false));
  EXPECT_EQ(std::tuple(c.draw.font_height, c.draw.cursor_row), std::tuple(8, 0));
}

TEST_F(Window, UnlockAndDrawLockMarkRowsClampedToTheSurface) {
  // Rows flagged as changed, all flags cleared first by `clear`.
  const auto changed = [](bool clear = false) {
    surf::DrawLock lock(surf::core());
    std::vector<std::uint8_t>& rows = lock.surface().changed;
    const auto n = std::count(rows.begin(), rows.end(), 1);
    if (clear) std::fill(rows.begin(), rows.end(), 0);
    return std::pair{static_cast<int>(n), rows.back() != 0};
  };
  for (int i = 0; i < 5; ++i) SCREEN_LOCK();
  EXPECT_EQ(surf::core().lock_count(), 5);
  // -1 as the last row means the bottom, -1 as both every row; bands are clamped to the surface.
  for (auto [y0, y1, rows] : {std::tuple{190, -1, 10}, {-1, -1, 200}, {-500, 1 << 30, 200}, {50, 40, 0}}) {
    changed(true);
    SCREEN_UNLOCK(y0, y1);
    EXPECT_EQ(changed(), std::pair(rows, rows != 0)) << y0 << ".." << y1;
  }
  SCREEN_UNLOCK(0, 0);
  SCREEN_UNLOCK(0, 0);  // the count stays at 0
  EXPECT_EQ(surf::core().lock_count(), 0);
  // The drawing lock marks what it touched, clamped the same way.
  changed(true);
  { surf::DrawLock lock(surf::core()); }  // nothing touched, nothing marked
  EXPECT_EQ(changed().first, 0);
  {
    surf::DrawLock lock(surf::core());
    lock.touch(195, 250);
    lock.touch(-3, 2);
  }
  EXPECT_EQ(changed().first, 200);
}

TEST_F(Window, LongSleepsEndSoonAfterAKey) {
  headless::key(120, 'x');
  TIME_SLEEP(500);
  EXPECT_GE(headless::now_ms(), 120);
  EXPECT_LE(headless::now_ms(), 170);

  // A key that came in before the sleep ends it at once; the key stays queued.
  const double t0 = headless::now_ms();
  headless::key(t0, 'y');
  TIME_SLEEP(500);
  EXPECT_LT(headless::now_ms() - t0, 1);
  EXPECT_EQ(INPUT_KEY(), "x");

  // Taking a key clears the flag, so the next long sleep runs its full length.
  const double t1 = headless::now_ms();
  TIME_SLEEP(500);
  EXPECT_NEAR(headless::now_ms() - t1, 500, 1);
}

TEST_F(Window, ShortAndNonPositiveSleeps) {
  headless::key(5, 'x');
  TIME_SLEEP(10);  // not cut short
  EXPECT_NEAR(headless::now_ms(), 10, 1e-9);
  TIME_SLEEP(0);
  TIME_SLEEP(-7);
  TIME_SLEEP(-1);  // the flag is set: returns at once
  EXPECT_NEAR(headless::now_ms(), 10, 1e-9);
  headless::key(230, 'y');
  TIME_SLEEP(-1);  // checks every 50 ms
  EXPECT_NEAR(headless::now_ms(), 260, 1e-9);
  TIME_SLEEP(-1);  // no key can come any more: returns instead of hanging
}

TEST_F(Window, MouseOutsideOrInactiveReportsMinusOne) {
  EXPECT_EQ(mouse(), kOutside);  // the pointer has not entered yet
  headless::move(0, 10, 20);
  until(1);
  EXPECT_EQ(mouse(), (Mouse{0, 10, 20, 0, 0, 0}));
  headless::move(2, 320, 20);  // one past the right edge
  until(3);
  EXPECT_EQ(mouse(), kOutside);
  headless::move(4, 319, 199);
  headless::leave(5);
  until(6);
  EXPECT_EQ(mouse(), kOutside);
  headless::move(7, 1, 1);
  headless::activate(8, false);
  until(9);
  EXPECT_EQ(mouse(), kOutside);
}

TEST_F(Window, ButtonsWheelAndActivation) {
  headless::move(0, 50, 50);
  headless::press(1, 1);
  headless::press(1, 2);
  headless::wheel(2, 2);
  headless::wheel(2, -3);
  until(3);
  EXPECT_EQ(mouse(), (Mouse{0, 50, 50, -1, 3, 0}));
  headless::release(150, 1);
  until(151);
  EXPECT_EQ(mouse().buttons, 2);
  // Losing and regaining the focus forgets the held button.
  headless::activate(160, false);
  headless::activate(170, true);
  until(171);
  EXPECT_EQ(mouse(), (Mouse{0, 50, 50, -1, 0, 0}));
}

TEST_F(Window, FullKeyQueueDropsItsOldestKeyButNeverACloseRequest) {
  const auto read_all = [] {
    std::vector<String> got;
    for (String k = INPUT_KEY(); !k.empty(); k = INPUT_KEY()) got.push_back(k);
    return got;
  };
  std::vector<String> plain;
  for (char c = 'a'; c < 'a' + 17; ++c) plain.emplace_back(1, c);
  for (const String& k : plain) headless::key(0, static_cast<unsigned char>(k[0]));
  plain.erase(plain.begin());  // the seventeenth key pushes the first out
  EXPECT_EQ(read_all(), plain);
  // Half a second on nobody has read keys, so nothing is held back for a reader.
  headless::close_request(500);
  for (int i = 0; i < 19; ++i) headless::key(500, 'x');
  until(501);
  const std::vector<String> got = read_all();
  ASSERT_EQ(got.size(), 16u);
  EXPECT_EQ(got.front(), KEY_CLOSE);
  // A reader other than the close test sees the request and leaves it at the front.
  headless::close_request(503);
  headless::key(503, 'y');
  until(504);
  EXPECT_EQ(std::vector<String>({INPUT_KEY_KEEP_CLOSE(), INPUT_KEY_KEEP_CLOSE()}),
            std::vector<String>(2, String(KEY_CLOSE)));
  EXPECT_EQ(read_all(), (std::vector<String>{String(KEY_CLOSE), "y"}));
}

TEST_F(Window, ShortPressesLastUntilAPollHasSeenThem) {
  headless::move(0, 50, 50);
  headless::click(10, 50, 50, 0);  // press and release at one instant, long before any poll
  until(300);
  EXPECT_EQ(mouse().buttons, 1);  // the first poll sees the press
  EXPECT_EQ(mouse().buttons, 0);  // and only the next one its release
  // A short press ends 100 ms after it began; a long one with its release.
  headless::click(400, 50, 50, 20);
  headless::click(600, 50, 50, 150);
  std::vector<Integer> seen;
  for (const double at : {401.0, 499.0, 501.0, 700.0, 749.0, 751.0}) {
    until(at);
    seen.push_back(mouse().buttons);
  }
  EXPECT_EQ(seen, (std::vector<Integer>{1, 1, 0, 1, 1, 0}));
  // Losing the focus forgets a stretched press.
  headless::click(800, 50, 50, 0);
  until(801);
  EXPECT_EQ(mouse().buttons, 1);
  headless::activate(802, false);
  headless::activate(803, true);
  until(804);
  EXPECT_EQ(mouse().buttons, 0);
}

TEST_F(Window, EveryCompletedFrameReachesThePresenterBeforeTheNextReplacesIt) {
  // Frames back to back: each begins once the presenter (a pass every 10 ms) has taken the one
  // before, so that is the picture it took last when the frame is complete.
  std::vector<std::uint32_t> shown;
  for (Integer frame = 1; frame <= 30; ++frame) {
    SCREEN_LOCK();
    SCREEN_LINE(nullptr, 0, 0, 319, 199, frame, 2);
    SCREEN_UNLOCK(-1, -1);
    shown.push_back(headless::shown_pixel(160, 100));
  }
  for (std::uint32_t frame = 2; frame <= 30; ++frame) EXPECT_EQ(shown[frame - 1], frame - 1);
  EXPECT_NEAR(headless::now_ms(), 29 * 10, 10);
  TIME_SLEEP(10);
  EXPECT_EQ(headless::shown_pixel(160, 100), 30u);
  // Drawing outside an explicit lock never waits, nor does a frame after one already taken.
  const double t = headless::now_ms();
  SCREEN_PSET(nullptr, 1, 1, 7);
  SCREEN_LOCK();
  SCREEN_UNLOCK(-1, -1);
  EXPECT_EQ(headless::now_ms(), t);
}

TEST_F(Window, ThePresenterTakesOnlyThePixelsThatChangedAndStillShowsEveryPixel) {
  // Whatever is drawn, in and out of viewports and frames, the picture shown after the next
  // pass equals page 0 in every pixel.
  Image* stars = SCREEN_IMAGE_CREATE(60, 40, 0xABCDEF);
  ASSERT_NE(stars, nullptr);
  const std::vector<std::function<void()>> steps = {
      [] { SCREEN_SET_VIEW(10, 10, 120, 90, 0x303030, 0x404040, 0); },
      [] { SCREEN_CIRCLE(nullptr, 60, 50, 80, 0xFF0000); },
      [] { SCREEN_CLEAR(); },
      [&] { SCREEN_PUT(nullptr, 80, 70, stars); },
      [] { SCREEN_DRAW_TEXT(nullptr, 90, 40, 4, "Jahre", 0xFFFF00); },
      [] { SCREEN_COPY_PAGE(0, 1); },
      [] { SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0); },
      [] { SCREEN_LINE(nullptr, 0, 199, 319, 0, 0x00FFFF, 2); },
      [] { SCREEN_SET_VIEW(200, 100, 300, 190, 0x505050, 0x606060, 0); },
      [] { SCREEN_COPY_PAGE(1, 0); },
      [] { SCREEN_PAINT(nullptr, 250, 150, 0x0000FF, 0x0000FF); },
      [] { for (int i = 0; i < 20; ++i) SCREEN_PRINT("scroll", 1); },
  };
  const auto wrong = [] {
    TIME_SLEEP(10);
    int n = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) n += headless::shown_pixel(x, y) != headless::pixel(x, y);
    return n;
  };
  // One pass on its own after each step, then steps grouped three to a frame.
  for (std::size_t i = 0; i < steps.size(); ++i) {
    steps[i]();
    EXPECT_EQ(wrong(), 0) << "after step " << i;
  }
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (i % 3 == 0) SCREEN_LOCK();
    steps[i]();
    if (i % 3 == 2) SCREEN_UNLOCK(-1, -1);
  }
  EXPECT_EQ(wrong(), 0);
  SCREEN_IMAGE_DESTROY(stars);

  // Taken here, the pixels never reach the virtual presenter: this comes last. A pass takes
  // the pixels that differ from what it took before, and nothing else.
  surf::FrameSource frames = surf::core().frames();
  std::vector<std::uint32_t> staging(320 * 200);
  std::vector<surf::RowSpan> spans;
  const auto frame = [](Integer colour) {  // the whole viewport drawn again
    SCREEN_LOCK();
    SCREEN_CLEAR();
    SCREEN_LINE(nullptr, -1000, 90, 1000, 91, colour, 0);
    SCREEN_UNLOCK(-1, -1);
  };
  SCREEN_SET_VIEW(100, 20, 199, 179, 0x111111, 0x222222, SCREEN_VIEW_NO_BORDER);
  frame(0x00FF00);
  frames.take(staging);
  frame(0xFF0000);
  surf::Frame f = frames.take(staging, &spans);
  EXPECT_EQ(std::tuple(f.y0, f.y1, f.x0, f.x1), std::tuple(110, 111, 100, 199));
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(std::tuple(spans[0].y, spans[0].x0, spans[1].y, spans[1].x1), std::tuple(110, 100, 111, 199));
  frame(0xFF0000);  // the same picture again
  EXPECT_FALSE(frames.take(staging, &spans).has_rows());
  EXPECT_TRUE(spans.empty());
  SCREEN_PSET(nullptr, 50, 10, 0xFF);  // viewport pixel (50, 10)
  f = frames.take(staging);
  EXPECT_EQ(std::tuple(f.y0, f.y1, f.x0, f.x1), std::tuple(30, 30, 150, 150));
  SCREEN_CLEAR(0);  // the text cursor back at the top left
  frames.take(staging);
  SCREEN_PRINT("xy", 1);  // two cells at the cursor: their glyphs' pixels change
  f = frames.take(staging);
  EXPECT_EQ(std::tuple(f.x0, f.x1), std::tuple(0, 14));
}

TEST_F(Window, FramesOverTheSameBackdropStillShowEveryPixel) {
  // Frames that mostly lay down the same fill and image and draw a little over them, the way
  // an animation does, mixed with everything that may spoil what the last frame left: other
  // layers, drawing on the image, drawing outside a frame, another viewport, frames the
  // presenter never sees on its own.
  Dice pick(12345);
  std::mt19937& rng = pick.rng;
  Image* image[2] = {SCREEN_IMAGE_CREATE(120, 90, 0x102030), SCREEN_IMAGE_CREATE(40, 40, 0x405060)};
  ASSERT_TRUE(image[0] && image[1]);
  for (int i = 0; i < 200; ++i) SCREEN_PSET(image[0], pick(120), pick(90), 0xFFFFFF);
  const auto small = [&] {  // one small figure anywhere, partly off the viewport at times
    const Single x = static_cast<Single>(pick(360) - 20), y = static_cast<Single>(pick(240) - 20);
    switch (pick(4)) {
      case 0: SCREEN_PSET(nullptr, x, y, pick(3) + 1); break;
      case 1: SCREEN_CIRCLE(nullptr, x, y, static_cast<Single>(pick(8)), 0xFF0000 + pick(3), 0, 0, SCREEN_FULL_CIRCLE, 1); break;
      case 2: SCREEN_LINE(nullptr, x, y, x + static_cast<Single>(pick(30)), y + 5, 0x00FF00, 0); break;
      default: SCREEN_DRAW_TEXT(nullptr, x, y, 4, "Jahre", 0xFFFF00); break;
    }
  };
  int wrong = 0, layers = 0;
  for (int step = 0; step < 600 && wrong == 0; ++step) {
    const int what = pick(20);
    if (what < 14) {
      if (pick(8) == 0) layers = pick(8);  // the layers stay for a while, as in an animation
      SCREEN_LOCK();
      if (pick(3) == 0) small();  // under or beside the layers to come
      if (layers & 1) SCREEN_CLEAR();
      if (layers & 2) SCREEN_PUT(nullptr, pick(6) == 0 ? 30 : 20, 10, image[0]);
      if (layers & 4) SCREEN_PUT(nullptr, 150, 100, image[1]);
      for (int n = pick(4); n > 0; --n) small();
      if (pick(30) == 0) SCREEN_PSET(image[0], pick(120), pick(90), 0x00FFFF);  // after the copy
      SCREEN_UNLOCK(-1, -1);
    } else if (what < 16) {
      small();
    } else if (what < 17) {
      SCREEN_PSET(image[0], pick(120), pick(90), static_cast<Integer>(rng() & 0xFFFFFF));
    } else if (what < 18) {
      if (pick(2) == 0) SCREEN_SET_VIEW(10, 5, 250, 180, 0x202020, 0x303030, 0);
      else SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
    } else {
      SCREEN_CLEAR(pick(2) == 0 ? SCREEN_CLEAR_DEFAULT : 0);
    }
    if (pick(4) == 0) continue;  // no pass yet: the next frame settles on top of this one
    TIME_SLEEP(10);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) wrong += headless::shown_pixel(x, y) != headless::pixel(x, y);
    EXPECT_EQ(wrong, 0) << "after step " << step;
  }
  for (Image* im : image) SCREEN_IMAGE_DESTROY(im);
}

TEST_F(Window, AFrameDrawsWhatItsPrimitivesDrawOneByOne) {
  // Inside a frame a fill waits for what comes next; whatever that is, the pages and every
  // reading in between are those of the same calls made outside a frame.
  Image* image = SCREEN_IMAGE_CREATE(90, 70, 0x405060);
  ASSERT_NE(image, nullptr);
  for (int i = 0; i < 60; ++i) SCREEN_PSET(image, i, i / 2, 0xFFFFFF);
  const auto session = [&](bool framed) {
    Dice pick(777);
    std::mt19937& rng = pick.rng;
    std::vector<Integer> seen;  // the readings, and a checksum of page 0 after each frame
    SCREEN_OPEN(320, 200, 32, 2, 4, 0);
    for (int frame = 0; frame < 150; ++frame) {
      if (framed) SCREEN_LOCK();
      for (int n = pick(6) + 1; n > 0; --n) {
        const Single x = static_cast<Single>(pick(360) - 20), y = static_cast<Single>(pick(240) - 20);
        switch (pick(9)) {
          case 0: case 1: SCREEN_CLEAR(pick(3) == 0 ? 0 : SCREEN_CLEAR_DEFAULT); break;
          case 2: case 3: SCREEN_PUT(nullptr, x, y, image); break;
          case 4: seen.push_back(SCREEN_POINT(nullptr, x, y)); break;
          case 5: SCREEN_PAINT(nullptr, x, y, 0x00FF00, 0x00FF00); break;
          case 6: SCREEN_CIRCLE(nullptr, x, y, 6, 0xFF0000, 0, 0, SCREEN_FULL_CIRCLE, 1); break;
          case 7: SCREEN_SET_COLOR(0, static_cast<Integer>(rng() & 0xFFFFFF), 1); break;
          default:
            if (pick(2) == 0) SCREEN_SET_VIEW(pick(100), pick(60), 150 + pick(150), 100 + pick(90), 0x202020, 0x303030, 0);
            else SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
        }
      }
      if (framed) SCREEN_UNLOCK(-1, -1);
      std::uint32_t sum = 0;  // of page 0 as the frame left it
      surf::DrawLock lock(surf::core());
      for (const std::uint32_t px : lock.surface().page[0]) sum = (sum ^ px) * 16777619u;
      seen.push_back(static_cast<Integer>(sum));
    }
    return seen;
  };
  EXPECT_EQ(session(true), session(false));
  SCREEN_IMAGE_DESTROY(image);
}

TEST_F(Window, PollingWithoutSleepStillReachesScriptedEvents) {
  headless::click(0, 10, 10, 5);
  until(1);
  for (int polls = 0; mouse().buttons != 0 && polls < 10'000'000;) ++polls;
  EXPECT_EQ(mouse().buttons, 0);
}

TEST_F(Window, PixelsOffTheSurfaceReadZeroAndExportAsPng) {
  EXPECT_EQ(headless::pixel(-1, 3) | headless::pixel(320, 0), 0u);
  const std::string path = ::testing::TempDir() + "window_test.png";
  ASSERT_TRUE(headless::write_png(path));
  std::ifstream f(path, std::ios::binary);
  std::string sig(8, '\0');
  ASSERT_TRUE(f.read(sig.data(), 8));
  EXPECT_EQ(sig, "\x89PNG\r\n\x1a\n");
  EXPECT_FALSE(headless::write_png("/nonexistent-dir/x.png"));
}

}  // namespace
