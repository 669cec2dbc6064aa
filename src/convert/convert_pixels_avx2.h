// ConvertPixels for x86-64 CPUs with AVX2 (nearly all since 2013), chosen at
// run time: the program itself still runs on any x86-64 CPU, and builds on
// other architectures, where this kernel is never chosen.
#pragma once

#include <cstdint>
#include <span>

#include "convert/frame_format.h"

namespace frame2bmp {

bool CanConvertPixelsAvx2();

// The same bytes as ConvertPixelsReference, eight pixels at a time, several
// times faster.
void ConvertPixelsAvx2(std::span<const std::uint8_t, FRAME_DATA_SIZE> planes,
                       std::span<std::uint8_t, FRAME_DATA_SIZE> pixels);

}  // namespace frame2bmp
