// What the tests of the real program share: a frame whose every pixel
// differs, the bitmap it must give (worked out apart from the program's own
// code), and a temporary folder to run in.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "run_program.h"

namespace frame2bmp::testing {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr int WIDTH = 176;
constexpr int HEIGHT = 144;
constexpr int PLANE = WIDTH * HEIGHT;
constexpr std::size_t FRAME_FILE = 48 + 3 * PLANE;   // 76080
constexpr std::size_t BITMAP_FILE = 54 + 3 * PLANE;  // 76086

inline const std::string REPLACE_PROMPT = "Output file exists. Replace? [y/N] \n";

struct Triple {
    int y, cb, cr;
};

Triple FixtureSample(int row, int column);

// The fixture's header and planes, cut or padded (with bytes to be ignored)
// to `size`.
Bytes FixtureFrame(std::size_t size = FRAME_FILE);

// Exact arithmetic in units of 1/10000, truncated toward zero and clamped.
std::array<std::uint8_t, 3> ExactBgr(Triple t);

// The whole bitmap file the fixture frame must give.
Bytes ExpectedBitmap();

::testing::AssertionResult SameBytes(const Bytes& got, const Bytes& want);
Bytes ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, const Bytes& bytes);

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the program in the temporary folder; whatever happens, it must
    // exit with status 0 and print nothing on standard output.
    RunResult Run(std::vector<std::string> args, std::optional<std::string> input = std::string());
    RunResult Run(RunOptions options);
    // The same for a command that runs the program itself (strace, unshare).
    RunResult RunAsIs(RunOptions options);

    fs::path At(const std::string& relative) const { return dir_ / relative; }

    fs::path dir_;
};

}  // namespace frame2bmp::testing
