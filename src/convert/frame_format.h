// Frame and bitmap layouts, and the colour arithmetic between them.
//
// Everything here is pure: bytes in, bytes out, no files and no notices.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace frame2bmp {

// Frame geometry: QCIF, one sample per pixel in each of the three planes.
inline constexpr std::size_t FRAME_WIDTH = 176;
inline constexpr std::size_t FRAME_HEIGHT = 144;
inline constexpr std::size_t PLANE_SIZE = FRAME_WIDTH * FRAME_HEIGHT;  // 25344
inline constexpr std::size_t FRAME_DATA_SIZE = 3 * PLANE_SIZE;         // 76032, also the pixel array
inline constexpr std::size_t INPUT_HEADER_SIZE = 48;                   // not interpreted
inline constexpr std::size_t BITMAP_HEADER_SIZE = 14 + 40;             // file header + info header
inline constexpr std::size_t ROW_BYTES = 3 * FRAME_WIDTH;              // 528, a multiple of 4: no row padding
inline constexpr std::size_t BITMAP_FILE_SIZE = BITMAP_HEADER_SIZE + FRAME_DATA_SIZE;  // 76086

static_assert(ROW_BYTES % 4 == 0, "bitmap rows would need fill bytes");

// The first 76080 bytes of a frame file as they stand: the header, then the
// Y, Cb and Cr planes, each 144 rows of 176 samples, top row first.
struct InputFrame {
    std::array<std::uint8_t, INPUT_HEADER_SIZE> header;
    std::array<std::uint8_t, FRAME_DATA_SIZE> planes;
};

// The bitmap's pixel array in file order: bottom row first, blue, green, red.
using PixelBuffer = std::array<std::uint8_t, FRAME_DATA_SIZE>;

// The 54 header bytes of every bitmap the program writes; nothing in them
// depends on the input.
extern const std::array<std::uint8_t, BITMAP_HEADER_SIZE> BitmapHeaderTemplate;

struct BgrPixel {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;

    friend bool operator==(const BgrPixel&, const BgrPixel&) = default;
};

// Signed comparisons: below 0 gives 0, above 255 gives 255.
std::uint8_t ClampToByte(std::int32_t value);

// One Y/Cb/Cr triple to blue/green/red, in IEEE double with every product
// and sum rounded in a fixed order, then truncated toward zero and clamped.
BgrPixel ConvertPixel(std::uint8_t y, std::uint8_t cb, std::uint8_t cr);

// Fills every byte of `pixels` from the three planes (Y, then Cb, then Cr),
// with the fastest kernel this CPU runs. Every kernel gives exactly the bytes
// of ConvertPixelsReference.
void ConvertPixels(std::span<const std::uint8_t, FRAME_DATA_SIZE> planes,
                   std::span<std::uint8_t, FRAME_DATA_SIZE> pixels);

// ConvertPixel applied to every sample in storage order: the readable
// reference the faster kernels are checked against byte for byte, and the
// kernel wherever no faster one runs.
void ConvertPixelsReference(std::span<const std::uint8_t, FRAME_DATA_SIZE> planes,
                            std::span<std::uint8_t, FRAME_DATA_SIZE> pixels);

}  // namespace frame2bmp
