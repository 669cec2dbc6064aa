#include "convert/frame_format.h"

#include "convert/convert_pixels_avx2.h"

namespace frame2bmp {
namespace {

// Windows bitmap fields are little-endian whatever the host is.
constexpr void PutLe16(std::array<std::uint8_t, BITMAP_HEADER_SIZE>& out, std::size_t at,
                       std::uint16_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void PutLe32(std::array<std::uint8_t, BITMAP_HEADER_SIZE>& out, std::size_t at,
                       std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

constexpr std::array<std::uint8_t, BITMAP_HEADER_SIZE> MakeBitmapHeader() {
    std::array<std::uint8_t, BITMAP_HEADER_SIZE> h{};
    // BITMAPFILEHEADER
    h[0] = 'B';                                     // bfType "BM"
    h[1] = 'M';
    PutLe32(h, 2, BITMAP_FILE_SIZE);                // bfSize: the whole file
    PutLe16(h, 6, 0);                               // bfReserved1
    PutLe16(h, 8, 0);                               // bfReserved2
    PutLe32(h, 10, BITMAP_HEADER_SIZE);             // bfOffBits: pixels follow the headers
    // BITMAPINFOHEADER
    PutLe32(h, 14, 40);                             // biSize
    PutLe32(h, 18, FRAME_WIDTH);                    // biWidth
    PutLe32(h, 22, FRAME_HEIGHT);                   // biHeight, positive: rows stored bottom-up
    PutLe16(h, 26, 1);                              // biPlanes
    PutLe16(h, 28, 24);                             // biBitCount: 8 bits each of B, G, R
    PutLe32(h, 30, 0);                              // biCompression: BI_RGB
    PutLe32(h, 34, FRAME_DATA_SIZE);                // biSizeImage
    PutLe32(h, 38, 3780);                           // biXPelsPerMeter (96 dpi)
    PutLe32(h, 42, 3780);                           // biYPelsPerMeter
    PutLe32(h, 46, 0);                              // biClrUsed: no colour table
    PutLe32(h, 50, 0);                              // biClrImportant
    return h;
}

}  // namespace

const std::array<std::uint8_t, BITMAP_HEADER_SIZE> BitmapHeaderTemplate = MakeBitmapHeader();

std::uint8_t ClampToByte(std::int32_t value) {
    if (value < 0) return 0;
    if (value > 255) return 255;
    return static_cast<std::uint8_t>(value);
}

// The build compiles this with -ffp-contract=off: fusing `dCr * 0.7169` into
// the subtraction skips one rounding and changes green for 144 triples (Y=100,
// Cb=30, Cr=238 gives 55 instead of 54). The order of the operations in G'
// matters for the same reason.
BgrPixel ConvertPixel(std::uint8_t y, std::uint8_t cb, std::uint8_t cr) {
    const double luma = y;
    const double dCb = static_cast<int>(cb) - 128;
    const double dCr = static_cast<int>(cr) - 128;

    const double red = luma + dCr * 1.4075;
    const double green = (luma - dCb * 0.3455) - dCr * 0.7169;
    const double blue = luma + dCb * 1.779;

    // The casts truncate toward zero; all three values lie well within int32.
    return BgrPixel{ClampToByte(static_cast<std::int32_t>(blue)),
                    ClampToByte(static_cast<std::int32_t>(green)),
                    ClampToByte(static_cast<std::int32_t>(red))};
}

void ConvertPixels(std::span<const std::uint8_t, FRAME_DATA_SIZE> planes,
                   std::span<std::uint8_t, FRAME_DATA_SIZE> pixels) {
    if (CanConvertPixelsAvx2()) {
        ConvertPixelsAvx2(planes, pixels);
    } else {
        ConvertPixelsReference(planes, pixels);
    }
}

void ConvertPixelsReference(std::span<const std::uint8_t, FRAME_DATA_SIZE> planes,
                            std::span<std::uint8_t, FRAME_DATA_SIZE> pixels) {
    const std::uint8_t* yPlane = planes.data();
    const std::uint8_t* cbPlane = yPlane + PLANE_SIZE;
    const std::uint8_t* crPlane = cbPlane + PLANE_SIZE;

    for (std::size_t row = 0; row < FRAME_HEIGHT; ++row) {
        // The bitmap is bottom-up: input row 0 is the last stored row.
        std::uint8_t* out = pixels.data() + (FRAME_HEIGHT - 1 - row) * ROW_BYTES;
        const std::size_t first = row * FRAME_WIDTH;
        for (std::size_t column = 0; column < FRAME_WIDTH; ++column) {
            const std::size_t at = first + column;
            const BgrPixel pixel = ConvertPixel(yPlane[at], cbPlane[at], crPlane[at]);
            out[3 * column] = pixel.blue;
            out[3 * column + 1] = pixel.green;
            out[3 * column + 2] = pixel.red;
        }
    }
}

}  // namespace frame2bmp
