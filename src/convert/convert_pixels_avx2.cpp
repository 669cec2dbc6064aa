#include "convert/convert_pixels_avx2.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <cstring>

namespace frame2bmp {
namespace {

#define FRAME2BMP_AVX2 __attribute__((target("avx2")))

FRAME2BMP_AVX2 __m256i Load8(const std::uint8_t* samples) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples)));
}

// Eight int32 samples as two four-lane halves of exact doubles.
FRAME2BMP_AVX2 __m256d LowHalf(__m256i samples) {
    return _mm256_cvtepi32_pd(_mm256_castsi256_si128(samples));
}
FRAME2BMP_AVX2 __m256d HighHalf(__m256i samples) {
    return _mm256_cvtepi32_pd(_mm256_extracti128_si256(samples, 1));
}

// G' for four pixels exactly as ConvertPixel computes it: each product and
// each difference one rounded double operation, in the same order, unfused.
FRAME2BMP_AVX2 __m256d Green(__m256d luma, __m256d dCb, __m256d dCr) {
    return _mm256_sub_pd(_mm256_sub_pd(luma, _mm256_mul_pd(dCb, _mm256_set1_pd(0.3455))),
                         _mm256_mul_pd(dCr, _mm256_set1_pd(0.7169)));
}

}  // namespace

bool CanConvertPixelsAvx2() {
    return __builtin_cpu_supports("avx2");
}

// The three values are computed in single precision, eight lanes at a time,
// and truncate to the same integers as ConvertPixel's doubles, for every
// input. The exact values Y + dCb * 1.779, (Y - dCb * 0.3455) - dCr * 0.7169
// and Y + dCr * 1.4075 are multiples of 1/1000, 1/10000 and 1/400, so one
// that is not whole lies at least 0.0001 from every whole number, and the
// single-precision results stay within 0.00004 of the exact values (the
// coefficients' own error times 128, plus a rounding for each product and
// each sum). So single precision truncates as the exact value does, and so
// does ConvertPixel's double arithmetic, except where the exact value is
// whole: there the rounded doubles may land just below it (green for Cb 30
// and Cr 238 with Y from 95 to 173), which must be reproduced.
//
// Blue and red are whole only for dCb = 0 or dCr = 0, where every
// computation is exact. Green is whole for grey pixels (dCb = dCr = 0),
// also exact, and for four other chroma pairs: a single-precision green
// within 0.00006 of a whole number, from a pixel that is not grey, sends its
// group of eight pixels through ConvertPixel's double arithmetic.
//
// The test suite checks this kernel against ConvertPixelsReference on all
// 2^24 triples.
FRAME2BMP_AVX2 void ConvertPixelsAvx2(std::span<const std::uint8_t, FRAME_DATA_SIZE> planes,
                                      std::span<std::uint8_t, FRAME_DATA_SIZE> pixels) {
    static_assert(FRAME_WIDTH % 8 == 0, "rows are converted eight pixels at a time");
    const std::uint8_t* yPlane = planes.data();
    const std::uint8_t* cbPlane = yPlane + PLANE_SIZE;
    const std::uint8_t* crPlane = cbPlane + PLANE_SIZE;

    const __m256i centre = _mm256_set1_epi32(128);
    const __m256 blueFromCb = _mm256_set1_ps(1.779f);
    const __m256 greenFromCb = _mm256_set1_ps(0.3455f);
    const __m256 greenFromCr = _mm256_set1_ps(0.7169f);
    const __m256 redFromCr = _mm256_set1_ps(1.4075f);
    const __m256 nearWhole = _mm256_set1_ps(0.00006f);
    const __m256 signBit = _mm256_set1_ps(-0.0f);
    // After the packs each 128-bit lane holds b0-b3 g0-g3 r0-r3 r0-r3 of its
    // four pixels; this puts them in file order, b0 g0 r0 b1 ... r3, with
    // four bytes to spare at the end.
    const __m256i fileOrder = _mm256_setr_epi8(0, 4, 8, 1, 5, 9, 2, 6, 10, 3, 7, 11, -1, -1, -1, -1,
                                               0, 4, 8, 1, 5, 9, 2, 6, 10, 3, 7, 11, -1, -1, -1, -1);

    for (std::size_t row = 0; row < FRAME_HEIGHT; ++row) {
        // The bitmap is bottom-up: input row 0 is the last stored row.
        std::uint8_t* out = pixels.data() + (FRAME_HEIGHT - 1 - row) * ROW_BYTES;
        for (std::size_t column = 0; column < FRAME_WIDTH; column += 8) {
            const std::size_t at = row * FRAME_WIDTH + column;
            const __m256i y = Load8(yPlane + at);
            const __m256i dCb = _mm256_sub_epi32(Load8(cbPlane + at), centre);
            const __m256i dCr = _mm256_sub_epi32(Load8(crPlane + at), centre);

            const __m256 luma = _mm256_cvtepi32_ps(y);
            const __m256 cb = _mm256_cvtepi32_ps(dCb);
            const __m256 cr = _mm256_cvtepi32_ps(dCr);
            const __m256i b = _mm256_cvttps_epi32(_mm256_add_ps(luma, _mm256_mul_ps(cb, blueFromCb)));
            const __m256i r = _mm256_cvttps_epi32(_mm256_add_ps(luma, _mm256_mul_ps(cr, redFromCr)));
            const __m256 green = _mm256_sub_ps(_mm256_sub_ps(luma, _mm256_mul_ps(cb, greenFromCb)),
                                               _mm256_mul_ps(cr, greenFromCr));

            const __m256 fromWhole = _mm256_andnot_ps(
                signBit, _mm256_sub_ps(green, _mm256_round_ps(green, _MM_FROUND_TO_NEAREST_INT |
                                                                         _MM_FROUND_NO_EXC)));
            const __m256 grey = _mm256_castsi256_ps(
                _mm256_cmpeq_epi32(_mm256_or_si256(dCb, dCr), _mm256_setzero_si256()));
            const __m256 whole = _mm256_andnot_ps(grey, _mm256_cmp_ps(fromWhole, nearWhole, _CMP_LT_OQ));
            const __m256i g =
                _mm256_movemask_ps(whole) == 0
                    ? _mm256_cvttps_epi32(green)
                    : _mm256_set_m128i(
                          _mm256_cvttpd_epi32(Green(HighHalf(y), HighHalf(dCb), HighHalf(dCr))),
                          _mm256_cvttpd_epi32(Green(LowHalf(y), LowHalf(dCb), LowHalf(dCr))));

            // Saturating to int16 and then to 0..255 is exactly ClampToByte.
            const __m256i bytes =
                _mm256_packus_epi16(_mm256_packs_epi32(b, g), _mm256_packs_epi32(r, r));
            const __m256i bgr = _mm256_shuffle_epi8(bytes, fileOrder);

            // 12 bytes per lane: the first store's spare bytes are overwritten
            // by the second, and the second's by the next pixels; at the end of
            // a row only the 12 bytes that belong to it are written.
            std::uint8_t* to = out + 3 * column;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm256_castsi256_si128(bgr));
            const __m128i last4 = _mm256_extracti128_si256(bgr, 1);
            if (column + 8 < FRAME_WIDTH) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 12), last4);
            } else {
                alignas(16) std::uint8_t spare[16];
                _mm_store_si128(reinterpret_cast<__m128i*>(spare), last4);
                std::memcpy(to + 12, spare, 12);
            }
        }
    }
}

}  // namespace frame2bmp

#else

namespace frame2bmp {

bool CanConvertPixelsAvx2() {
    return false;
}

void ConvertPixelsAvx2(std::span<const std::uint8_t, FRAME_DATA_SIZE> planes,
                       std::span<std::uint8_t, FRAME_DATA_SIZE> pixels) {
    ConvertPixelsReference(planes, pixels);
}

}  // namespace frame2bmp

#endif
