#include "fixture.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace frame2bmp::testing {

// Different in every row and column and in each plane, so that a flip, a
// mirror or a swapped channel shows.
Triple FixtureSample(int row, int column) {
    Triple t{(row * 7 + column * 3) % 256, (row * 5 + column * 2 + 40) % 256,
             (767 - row * 3 + column) % 256};  // never negative
    // Y 95..173 with Cb 30, Cr 238 is where rounded doubles and exact
    // arithmetic part; the frame avoids it so the reference below stays simple.
    if (t.cb == 30 && t.cr == 238) t.cr = 237;
    return t;
}

Bytes FixtureFrame(std::size_t size) {
    Bytes frame(std::max(size, FRAME_FILE));
    for (std::size_t i = 0; i < 48; ++i) frame[i] = static_cast<std::uint8_t>(0xA0 + i);
    for (int row = 0; row < HEIGHT; ++row) {
        for (int column = 0; column < WIDTH; ++column) {
            const Triple t = FixtureSample(row, column);
            const std::size_t at = 48 + static_cast<std::size_t>(row * WIDTH + column);
            frame[at] = static_cast<std::uint8_t>(t.y);
            frame[at + PLANE] = static_cast<std::uint8_t>(t.cb);
            frame[at + 2 * PLANE] = static_cast<std::uint8_t>(t.cr);
        }
    }
    for (std::size_t i = FRAME_FILE; i < frame.size(); ++i) frame[i] = 0x5A;  // ignored tail
    frame.resize(size);
    return frame;
}

// Exact arithmetic in units of 1/10000, truncated toward zero and clamped.
std::array<std::uint8_t, 3> ExactBgr(Triple t) {
    const auto byte = [](long tenThousandths) {
        const long v = tenThousandths / 10000;
        return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    };
    const long dCb = t.cb - 128;
    const long dCr = t.cr - 128;
    return {byte(t.y * 10000L + dCb * 17790), byte(t.y * 10000L - dCb * 3455 - dCr * 7169),
            byte(t.y * 10000L + dCr * 14075)};
}

Bytes ExpectedBitmap() {
    Bytes bmp = {'B', 'M', 0x36, 0x29, 0x01, 0x00, 0, 0, 0, 0, 54, 0, 0, 0,
                 40, 0, 0, 0, 176, 0, 0, 0, 144, 0, 0, 0, 1, 0, 24, 0,
                 0, 0, 0, 0, 0x00, 0x29, 0x01, 0x00, 0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0,
                 0, 0, 0, 0, 0, 0, 0, 0};
    for (int row = HEIGHT - 1; row >= 0; --row) {  // bottom-up
        for (int column = 0; column < WIDTH; ++column) {
            const auto bgr = ExactBgr(FixtureSample(row, column));
            bmp.insert(bmp.end(), bgr.begin(), bgr.end());
        }
    }
    return bmp;
}

// Reports the first differing byte rather than two long dumps.
::testing::AssertionResult SameBytes(const Bytes& got, const Bytes& want) {
    const auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    if (g == got.end() && w == want.end()) return ::testing::AssertionSuccess();
    const auto at = g - got.begin();
    auto failure = ::testing::AssertionFailure();
    failure << "sizes " << got.size() << " and " << want.size() << ", first difference at " << at;
    if (g != got.end() && w != want.end()) failure << ": " << int(*g) << " instead of " << int(*w);
    return failure;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void ProgramTest::SetUp() {
    char name[] = "/tmp/frame2bmp-test-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
}

void ProgramTest::TearDown() {
    fs::remove_all(dir_);
}

RunResult ProgramTest::Run(std::vector<std::string> args, std::optional<std::string> input) {
    return Run(RunOptions{std::move(args), std::move(input)});
}

RunResult ProgramTest::Run(RunOptions options) {
    options.argv.insert(options.argv.begin(), FRAME2BMP_BINARY);
    return RunAsIs(std::move(options));
}

RunResult ProgramTest::RunAsIs(RunOptions options) {
    if (options.directory.empty()) options.directory = dir_.string();
    RunResult r = RunProgram(options);
    EXPECT_TRUE(r.exited) << "signal " << r.signal;
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    return r;
}

}  // namespace frame2bmp::testing
