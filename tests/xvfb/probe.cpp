// A small windowed program for the real-window test: draws known colour blocks, marks
// every click, echoes every key as a coloured cell and ends on the close key.
// Exit status: 0 closed, 2 timed out, 10 + n when SCREEN_OPEN returned n.
#include <chrono>
#include <cstdio>

#include "surface/core.hpp"
#include "surface/surface.hpp"

namespace {

constexpr int kWidth = 320, kHeight = 200;

// Fills the inclusive rectangle (x0, y0)-(x1, y1), clipped to the surface.
void fill(int x0, int y0, int x1, int y1, std::uint32_t colour) {
  surf::DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 >= c.width) x1 = c.width - 1;
  if (y1 >= c.height) y1 = c.height - 1;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) c.page[0][static_cast<std::size_t>(y * c.width + x)] = colour;
  lock.touch(y0, y1);
}

}  // namespace

int main() {
  const Integer opened = SCREEN_OPEN(kWidth, kHeight, 32, 2, 4, 0);
  if (opened != 0) {
    std::fprintf(stderr, "probe: SCREEN_OPEN returned %d\n", opened);
    return 10 + opened;
  }
  SCREEN_SET_TITLE("Probe \x84");  // "Probe ä" in code page 437
  fill(0, 0, kWidth - 1, kHeight - 1, 0x202020);
  fill(10, 10, 29, 29, 0xFF0000);
  fill(40, 10, 59, 29, 0x00FF00);
  fill(70, 10, 89, 29, 0x0000FF);

  int cells = 0;
  int last_buttons = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    Integer x, y, wheel, buttons, clip;
    const Integer outside = INPUT_MOUSE(x, y, wheel, buttons, clip);
    if (outside == 0 && (buttons & 1) != 0 && (last_buttons & 1) == 0) fill(x - 2, y - 2, x + 2, y + 2, 0xFFFF00);
    if (outside == 0) last_buttons = buttons;
    // Button indicator at the bottom right: red while the left button is held, green otherwise.
    fill(300, 180, 309, 189, outside != 0 ? 0x808080 : (buttons & 1) != 0 ? 0xFF0000 : 0x00FF00);
    // Wheel indicator: blue level 0x80 + 16 per notch.
    if (outside == 0) fill(280, 180, 289, 189, static_cast<std::uint32_t>((0x80 + 16 * wheel) & 0xFF));

    const String key = INPUT_KEY();
    if (IS_CLOSE_KEY(key)) return 0;
    if (!key.empty() && cells < 28) {
      // Each key becomes a 10x10 cell of colour 0x40 b0 b1 (b1 = 0 for one-byte keys).
      const auto b0 = static_cast<unsigned char>(key[0]);
      const auto b1 = key.size() > 1 ? static_cast<unsigned char>(key[1]) : 0u;
      const int cx = 10 + 10 * (cells % 14), cy = 150 + 12 * (cells / 14);
      fill(cx, cy, cx + 8, cy + 9, 0x400000u | (b0 << 8) | b1);
      ++cells;
    }
    TIME_SLEEP(10);
  }
  return 2;
}
