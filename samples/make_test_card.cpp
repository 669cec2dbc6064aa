// Writes the sample frame: a QCIF test card with colour bars, a grey ramp
// and an "F" that reads wrongly when the picture is flipped or mirrored.
//
//   make_test_card OUTPUT

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int WIDTH = 176;
constexpr int HEIGHT = 144;
constexpr int PLANE = WIDTH * HEIGHT;

struct Rgb {
    int red, green, blue;
};

std::uint8_t ToSample(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// The inverse of the converter's colour equations, rounded.
void PutPixel(std::vector<std::uint8_t>& planes, int row, int column, Rgb c) {
    const double y = 0.299 * c.red + 0.587 * c.green + 0.114 * c.blue;
    const std::size_t at = static_cast<std::size_t>(row * WIDTH + column);
    planes[at] = ToSample(y);
    planes[PLANE + at] = ToSample(128 + (c.blue - y) / 1.779);
    planes[2 * PLANE + at] = ToSample(128 + (c.red - y) / 1.4075);
}

bool InGlyphF(int row, int column) {
    // An "F", 30 wide and 36 tall, its top-left corner at row 102, column 12.
    const int r = row - 102;
    const int c = column - 12;
    if (r < 0 || r >= 36 || c < 0 || c >= 30) return false;
    return c < 7 || r < 7 || (r >= 15 && r < 21 && c < 22);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_card OUTPUT\n");
        return 2;
    }
    static constexpr std::array<Rgb, 8> bars{{{191, 191, 191}, {191, 191, 0}, {0, 191, 191},
                                              {0, 191, 0},     {191, 0, 191}, {191, 0, 0},
                                              {0, 0, 191},     {0, 0, 0}}};
    std::vector<std::uint8_t> planes(3 * PLANE);
    for (int row = 0; row < HEIGHT; ++row) {
        for (int column = 0; column < WIDTH; ++column) {
            Rgb c{40, 40, 48};
            if (row < 72) {
                c = bars[static_cast<std::size_t>(column / (WIDTH / 8))];
            } else if (row < 96) {
                const int grey = column * 255 / (WIDTH - 1);
                c = {grey, grey, grey};
            } else if (InGlyphF(row, column)) {
                c = {255, 255, 255};
            } else if (row >= 110 && row < 130 && column >= 140 && column < 165) {
                c = {255, 96, 0};  // an orange block, right of centre
            }
            PutPixel(planes, row, column, c);
        }
    }

    std::array<char, 48> header{};
    std::strncpy(header.data(), "frame2bmp test card, QCIF 4:4:4", header.size());

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
                    std::fwrite(planes.data(), 1, planes.size(), out) == planes.size();
    if (std::fclose(out) != 0 || !ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
