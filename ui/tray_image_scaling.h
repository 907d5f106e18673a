// Scaling the tray images to the size the screen's scale asks for. Done by
// the program, with every source pixel weighted by the area it covers,
// because the system's own scaling of an icon picks single pixels and loses
// the thin white outline at small sizes.
#pragma once

#include <cstdint>
#include <vector>

// Square images of straight-alpha pixels 0xAARRGGBB, top row first.
std::vector<std::uint32_t> ScaleSquareImage(const std::vector<std::uint32_t>& pixels, int fromSize,
                                            int toSize);
