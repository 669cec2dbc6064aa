#include "convert/frame_format.h"

#include "convert/convert_pixels_avx2.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace frame2bmp {
namespace {

TEST(BitmapHeader, IsTheFixed54Bytes) {
    const std::uint8_t expected[54] = {
        'B', 'M', 0x36, 0x29, 0x01, 0x00,  // 76086
        0, 0, 0, 0,                        // reserved
        54, 0, 0, 0,                       // pixels at 54
        40, 0, 0, 0,                       // info header size
        176, 0, 0, 0, 144, 0, 0, 0,        // 176 x 144, bottom-up
        1, 0, 24, 0,                       // one plane, 24 bits
        0, 0, 0, 0,                        // BI_RGB
        0x00, 0x29, 0x01, 0x00,            // 76032 pixel bytes
        0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0,  // 3780 pixels per metre
        0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(BitmapHeaderTemplate.begin(), BitmapHeaderTemplate.end()),
              std::vector<std::uint8_t>(std::begin(expected), std::end(expected)));
}

TEST(ClampToByte, ComparesSigned) {
    const struct {
        std::int32_t in;
        std::uint8_t out;
    } cases[] = {{std::numeric_limits<std::int32_t>::min(), 0}, {-1, 0}, {0, 0}, {1, 1},
                 {255, 255}, {256, 255}, {std::numeric_limits<std::int32_t>::max(), 255}};
    for (const auto& c : cases) EXPECT_EQ(ClampToByte(c.in), c.out) << c.in;
}

TEST(ConvertPixel, PinnedValues) {
    const struct {
        std::uint8_t y, cb, cr;
        BgrPixel bgr;
    } cases[] = {
        {128, 128, 128, {128, 128, 128}},
        {255, 128, 128, {255, 255, 255}},
        {100, 150, 90, {139, 119, 46}},    // fractions dropped, never rounded
        {255, 255, 255, {255, 120, 255}},
        {0, 0, 0, {0, 135, 0}},
        {10, 129, 128, {11, 9, 10}},
        {0, 128, 127, {0, 0, 0}},          // -1.4075 truncates to -1, clamps to 0
        {150, 44, 21, {0, 255, 0}},        // 255.7303 clamps
        {100, 30, 238, {0, 54, 254}},      // exact green 55; rounded doubles give 54.99999...
    };
    for (const auto& c : cases) {
        const BgrPixel got = ConvertPixel(c.y, c.cb, c.cr);
        EXPECT_EQ(got, c.bgr) << int(c.y) << "," << int(c.cb) << "," << int(c.cr) << " gave "
                              << int(got.blue) << "," << int(got.green) << "," << int(got.red);
    }
}

// Exact arithmetic in units of 1/10000, truncated toward zero, then clamped.
BgrPixel ExactPixel(int y, int cb, int cr) {
    const auto toByte = [](std::int64_t tenThousandths) {
        return ClampToByte(static_cast<std::int32_t>(tenThousandths / 10000));
    };
    const std::int64_t dCb = cb - 128;
    const std::int64_t dCr = cr - 128;
    return BgrPixel{toByte(y * 10000 + dCb * 17790), toByte(y * 10000 - dCb * 3455 - dCr * 7169),
                    toByte(y * 10000 + dCr * 14075)};
}

// Double arithmetic agrees with exact arithmetic except where the exact green
// is a whole number and the rounded products land just below it. That happens
// for exactly one Cb, Cr pair over a run of Y; a wrong coefficient, single
// precision, rounding instead of truncation, or a fused multiply-add each
// change this set.
TEST(ConvertPixel, AgreesWithExactArithmeticOnAllTriples) {
    int exceptions = 0;
    int unexpected = 0;
    for (int y = 0; y < 256; ++y) {
        for (int cb = 0; cb < 256; ++cb) {
            for (int cr = 0; cr < 256; ++cr) {
                const BgrPixel got = ConvertPixel(static_cast<std::uint8_t>(y),
                                                  static_cast<std::uint8_t>(cb),
                                                  static_cast<std::uint8_t>(cr));
                BgrPixel want = ExactPixel(y, cb, cr);
                if (cb == 30 && cr == 238 && y >= 95 && y <= 173) {
                    --want.green;
                    ++exceptions;
                }
                if (got != want && ++unexpected <= 10) {
                    ADD_FAILURE() << "Y=" << y << " Cb=" << cb << " Cr=" << cr << " gave "
                                  << int(got.blue) << "," << int(got.green) << ","
                                  << int(got.red) << ", expected " << int(want.blue) << ","
                                  << int(want.green) << "," << int(want.red);
                }
            }
        }
    }
    EXPECT_EQ(exceptions, 79);
    EXPECT_EQ(unexpected, 0);
}

struct Kernel {
    const char* name;
    void (*convert)(std::span<const std::uint8_t, FRAME_DATA_SIZE>,
                    std::span<std::uint8_t, FRAME_DATA_SIZE>);
    bool (*runsHere)();
};

const Kernel KERNELS[] = {
    {"Dispatched", ConvertPixels, [] { return true; }},
    {"Reference", ConvertPixelsReference, [] { return true; }},
    {"Avx2", ConvertPixelsAvx2, CanConvertPixelsAvx2},
};

class ConvertPixelsKernel : public ::testing::TestWithParam<Kernel> {};

// Every triple passes through the kernel once, 25344 to a frame, and each
// must land bottom-up, in blue, green, red order, as ConvertPixel gives it.
TEST_P(ConvertPixelsKernel, PlacesEveryTripleBottomUpInBgrOrder) {
    const Kernel& kernel = GetParam();
    if (!kernel.runsHere()) GTEST_SKIP() << kernel.name << " does not run on this CPU";
    std::vector<std::uint8_t> planes(FRAME_DATA_SIZE);
    std::vector<std::uint8_t> pixels(FRAME_DATA_SIZE);
    constexpr std::uint32_t TRIPLES = 1u << 24;
    int mismatches = 0;
    for (std::uint32_t first = 0; first < TRIPLES; first += PLANE_SIZE) {
        const auto triple = [first](std::size_t at) { return first + at; };
        for (std::size_t at = 0; at < PLANE_SIZE; ++at) {
            const std::uint32_t t = triple(at) % TRIPLES;  // the last frame wraps around
            planes[at] = static_cast<std::uint8_t>(t >> 16);
            planes[PLANE_SIZE + at] = static_cast<std::uint8_t>(t >> 8);
            planes[2 * PLANE_SIZE + at] = static_cast<std::uint8_t>(t);
        }
        kernel.convert(std::span<const std::uint8_t, FRAME_DATA_SIZE>(planes.data(), FRAME_DATA_SIZE),
                       std::span<std::uint8_t, FRAME_DATA_SIZE>(pixels.data(), FRAME_DATA_SIZE));
        for (std::size_t row = 0; row < FRAME_HEIGHT; ++row) {
            for (std::size_t column = 0; column < FRAME_WIDTH; ++column) {
                const std::size_t at = row * FRAME_WIDTH + column;
                const BgrPixel want =
                    ConvertPixel(planes[at], planes[PLANE_SIZE + at], planes[2 * PLANE_SIZE + at]);
                const std::uint8_t* got = &pixels[(FRAME_HEIGHT - 1 - row) * ROW_BYTES + 3 * column];
                if ((got[0] != want.blue || got[1] != want.green || got[2] != want.red) &&
                    ++mismatches <= 10) {
                    ADD_FAILURE() << "triple " << triple(at) << " at row " << row << ", column "
                                  << column;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(AllKernels, ConvertPixelsKernel, ::testing::ValuesIn(KERNELS),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace frame2bmp
