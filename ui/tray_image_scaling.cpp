#include "ui/tray_image_scaling.h"

#include <algorithm>
#include <cmath>

namespace {

struct Share {
  int source;
  double weight;  // part of the target pixel's width
};

// Which source pixels one target pixel covers along one axis, and how much.
std::vector<std::vector<Share>> Shares(int fromSize, int toSize) {
  const double step = static_cast<double>(fromSize) / toSize;
  std::vector<std::vector<Share>> shares(toSize);
  for (int target = 0; target < toSize; ++target) {
    const double begin = target * step;
    const double end = begin + step;
    for (int source = static_cast<int>(begin); source < fromSize && source < end; ++source) {
      const double covered = std::min<double>(end, source + 1) - std::max<double>(begin, source);
      if (covered > 0) shares[target].push_back({source, covered / step});
    }
  }
  return shares;
}

int Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// Colours are averaged weighted by their alpha, so the colour of a clear
// pixel does not bleed into its visible neighbours.
std::uint32_t Blend(const std::vector<std::uint32_t>& pixels, int fromSize,
                    const std::vector<Share>& rows, const std::vector<Share>& columns) {
  double alpha = 0, red = 0, green = 0, blue = 0;
  for (const Share& row : rows) {
    for (const Share& column : columns) {
      const std::uint32_t pixel = pixels[row.source * fromSize + column.source];
      const double weight = row.weight * column.weight * Channel(pixel, 24);
      alpha += weight;
      red += weight * Channel(pixel, 16);
      green += weight * Channel(pixel, 8);
      blue += weight * Channel(pixel, 0);
    }
  }
  if (alpha <= 0) return 0;
  auto round = [](double value) {
    return static_cast<std::uint32_t>(std::clamp(std::lround(value), 0L, 255L));
  };
  return round(alpha) << 24 | round(red / alpha) << 16 | round(green / alpha) << 8 |
         round(blue / alpha);
}

}  // namespace

std::vector<std::uint32_t> ScaleSquareImage(const std::vector<std::uint32_t>& pixels, int fromSize,
                                            int toSize) {
  if (fromSize <= 0 || toSize <= 0 || pixels.size() != static_cast<size_t>(fromSize) * fromSize) {
    return {};
  }
  const std::vector<std::vector<Share>> shares = Shares(fromSize, toSize);
  std::vector<std::uint32_t> scaled(static_cast<size_t>(toSize) * toSize);
  for (int y = 0; y < toSize; ++y) {
    for (int x = 0; x < toSize; ++x) {
      scaled[y * toSize + x] = Blend(pixels, fromSize, shares[y], shares[x]);
    }
  }
  return scaled;
}
