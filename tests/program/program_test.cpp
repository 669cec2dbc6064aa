// The real program, run in a temporary folder as a user or a script runs it.

#include "fixture.h"

namespace frame2bmp::testing {
namespace {

TEST_F(ProgramTest, ConvertsAFrameByteForByte) {
    WriteFile(At("clip1.dat"), FixtureFrame());
    EXPECT_EQ(Run({"clip1.dat"}).err, "");
    EXPECT_TRUE(SameBytes(ReadFile(At("clip1.BMP")), ExpectedBitmap()));
    EXPECT_TRUE(SameBytes(ReadFile(At("clip1.dat")), FixtureFrame()));  // the input is left alone
}

// netpbm's reader agrees on what the picture is: the header is one a real
// decoder accepts, rows come out top-down and channels as red, green, blue.
TEST_F(ProgramTest, IndependentDecoderReadsThePicture) {
    WriteFile(At("clip1.dat"), FixtureFrame());
    Run({"clip1.dat"});
    const RunResult decoded = RunProgram({{"/usr/bin/bmptopnm", At("clip1.BMP").string()}, "", ""});
    ASSERT_EQ(decoded.exitCode, 0) << "bmptopnm (Debian's netpbm) is needed: " << decoded.err;
    const std::string header = "P6\n176 144\n255\n";
    ASSERT_EQ(decoded.out.substr(0, header.size()), header);
    std::string rgb;
    for (int row = 0; row < HEIGHT; ++row) {
        for (int column = 0; column < WIDTH; ++column) {
            const auto bgr = ExactBgr(FixtureSample(row, column));
            rgb += {static_cast<char>(bgr[2]), static_cast<char>(bgr[1]), static_cast<char>(bgr[0])};
        }
    }
    EXPECT_TRUE(decoded.out.substr(header.size()) == rgb);
}

TEST_F(ProgramTest, InputSizes) {
    const struct {
        std::size_t size;
        bool converts;
    } cases[] = {{0, false}, {47, false}, {48, false}, {FRAME_FILE - 1, false},
                 {FRAME_FILE, true}, {FRAME_FILE + 1, true}, {3 * FRAME_FILE, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        fs::remove(At("clip1.BMP"));
        WriteFile(At("clip1.dat"), FixtureFrame(c.size));
        const RunResult r = Run({"clip1.dat"});
        EXPECT_EQ(r.err, c.converts ? "" : "Read error\n");
        if (c.converts) {
            EXPECT_TRUE(SameBytes(ReadFile(At("clip1.BMP")), ExpectedBitmap()));
        } else {
            EXPECT_FALSE(fs::exists(At("clip1.BMP")));
        }
    }
}

TEST_F(ProgramTest, MissingInputNamesThePathAndCreatesNothing) {
    const struct {
        std::vector<std::string> args;
        std::string err;
        std::string wouldBeOutput;
    } cases[] = {
        {{"missing.dat"}, "Can't open file\nmissing.dat\n", "missing.BMP"},
        {{}, "Can't open file\n\n", ".BMP"},
        // Control bytes from a file name never reach the terminal.
        {{"bad\x1b[2J\x7fname.dat"}, "Can't open file\nbad?[2J?name.dat\n", "bad\x1b[2J\x7fname.BMP"},
    };
    for (const auto& c : cases) {
        // Even an existing output is not asked about when there is no input.
        WriteFile(At(c.wouldBeOutput), {1, 2, 3});
        EXPECT_EQ(Run(c.args, "y\n").err, c.err);
        EXPECT_TRUE(SameBytes(ReadFile(At(c.wouldBeOutput)), (Bytes{1, 2, 3})));
    }
}

TEST_F(ProgramTest, ArgumentTextLikeAWindowsCommandLine) {
    WriteFile(At("my clip 1.dat"), FixtureFrame());
    const std::vector<std::string> forms[] = {
        {"my clip 1.dat"},                       // one argument with blanks
        {"my", "clip", "1.dat"},                 // joined by single blanks
        {"\"my clip 1.dat\" and more text"},     // text after the closing quote is ignored
        {"\"my clip 1.dat"},                     // no closing quote
        {"\t my clip 1.dat"},                    // leading blanks and tabs skipped
    };
    for (const auto& args : forms) {
        SCOPED_TRACE(args.front());
        fs::remove(At("my clip 1.BMP"));
        EXPECT_EQ(Run(args).err, "");
        EXPECT_TRUE(SameBytes(ReadFile(At("my clip 1.BMP")), ExpectedBitmap()));
    }
}

TEST_F(ProgramTest, AsksBeforeReplacingAndOnlyYesReplaces) {
    const struct {
        std::string answer;
        bool replaces;
    } cases[] = {
        {"y\n", true},   {"YES\n", true},   {"Yes \t\r\n", true}, {"y", true},
        {"n\n", false},  {"\n", false},     {"", false},          {"yess\n", false},
        {" y\n", false}, {"y es\n", false}, {"no\ny\n", false},
    };
    WriteFile(At("clip1.dat"), FixtureFrame());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const Bytes old(5000, 0x77);
        WriteFile(At("clip1.BMP"), old);
        EXPECT_EQ(Run({"clip1.dat"}, c.answer).err, REPLACE_PROMPT);
        EXPECT_TRUE(SameBytes(ReadFile(At("clip1.BMP")), c.replaces ? ExpectedBitmap() : old));
    }
    // With standard input closed there is nobody to say Yes.
    WriteFile(At("clip1.BMP"), {9});
    EXPECT_EQ(Run({"clip1.dat"}, std::nullopt).err, REPLACE_PROMPT);
    EXPECT_TRUE(SameBytes(ReadFile(At("clip1.BMP")), Bytes{9}));
}

TEST_F(ProgramTest, OutputThatNamesTheInputReplacesTheFrameAfterYes) {
    WriteFile(At("clip1.BMP"), FixtureFrame());
    EXPECT_EQ(Run({"clip1.BMP"}, "n\n").err, REPLACE_PROMPT);
    EXPECT_TRUE(SameBytes(ReadFile(At("clip1.BMP")), FixtureFrame()));
    EXPECT_EQ(Run({"clip1.BMP"}, "y\n").err, REPLACE_PROMPT);
    EXPECT_TRUE(SameBytes(ReadFile(At("clip1.BMP")), ExpectedBitmap()));
}

TEST_F(ProgramTest, DirectoryWhereTheOutputShouldGo) {
    WriteFile(At("clip1.dat"), FixtureFrame());
    fs::create_directory(At("clip1.BMP"));
    EXPECT_EQ(Run({"clip1.dat"}, "y\n").err, "Can't create file\nclip1.BMP\n");
    EXPECT_TRUE(fs::is_directory(At("clip1.BMP")));
    EXPECT_EQ(Run({"nowhere/clip1.dat"}).err, "Can't open file\nnowhere/clip1.dat\n");
}

TEST_F(ProgramTest, WriteErrorOnAFullDeviceLeavesTheDeviceAndItsLinkAlone) {
    WriteFile(At("clip1.dat"), FixtureFrame());
    fs::create_symlink("/dev/full", At("clip1.BMP"));
    EXPECT_EQ(Run({"clip1.dat"}, "y\n").err, REPLACE_PROMPT + "Write error\n");
    EXPECT_TRUE(fs::is_symlink(At("clip1.BMP")));
    EXPECT_EQ(fs::read_symlink(At("clip1.BMP")), "/dev/full");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// Paths of up to 259 bytes and components of up to 255 are used whole; a
// longer one is refused, never cut to name a different file.
TEST_F(ProgramTest, PathLimits) {
    // Built by appending: GCC 12 misreads chains of string + with -Wrestrict.
    const auto cat = [](std::initializer_list<std::string> parts) {
        std::string joined;
        for (const auto& part : parts) joined.append(part);
        return joined;
    };
    const auto dirOf = [](std::size_t length) {  // "ddd.../" of `length` bytes
        return std::string(length - 1, 'd').append("/");
    };
    const auto n = [](std::size_t length) { return std::string(length, 'n'); };
    const auto e = [](std::size_t length) { return std::string(length, 'e'); };
    const struct {
        std::string label;
        std::string input;   // created as a frame unless too long for the file system
        std::string err;     // "" means converted to `output`
        std::string output;
    } cases[] = {
        {"path 259", cat({dirOf(201), n(54), ".dat"}), "", cat({dirOf(201), n(54), ".BMP"})},
        {"path 260", cat({dirOf(201), n(55), ".dat"}), "open", ""},
        {"output 259", cat({dirOf(201), n(54)}), "", cat({dirOf(201), n(54), ".BMP"})},
        {"output 260", cat({dirOf(201), n(55)}), "create", cat({dirOf(201), n(55), ".BMP"})},
        {"output 260 from a shorter extension", cat({dirOf(201), n(55), ".x"}), "create",
         cat({dirOf(201), n(55), ".BMP"})},
        // Within the program's limits, but the file system refuses a 259-byte name.
        {"name 255", n(255), "create", cat({n(255), ".BMP"})},
        {"name 256", n(256), "open", ""},
        {"directory 254", cat({dirOf(254), "n"}), "", cat({dirOf(254), "n.BMP"})},
        {"directory 255", cat({dirOf(255), "n"}), "create", cat({dirOf(255), "n.BMP"})},
        {"directory 256", cat({dirOf(256), "n"}), "open", ""},
        {"extension 254", cat({"n.", e(253)}), "", "n.BMP"},
        {"extension 255", cat({".", e(254)}), "", ".BMP"},
        {"extension 256", cat({".", e(255)}), "open", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const fs::path input = At(c.input);
        std::error_code ignored;
        fs::create_directories(input.parent_path(), ignored);
        WriteFile(input, FixtureFrame());  // fails silently past the file system's limits
        const RunResult r = Run({c.input});
        if (c.err.empty()) {
            EXPECT_EQ(r.err, "");
            EXPECT_TRUE(SameBytes(ReadFile(At(c.output)), ExpectedBitmap()));
        } else if (c.err == "open") {
            EXPECT_EQ(r.err, "Can't open file\n" + c.input + "\n");
        } else {
            EXPECT_EQ(r.err, "Can't create file\n" + c.output + "\n");
            EXPECT_FALSE(fs::exists(At(c.output), ignored));
        }
        fs::remove_all(At(c.input.substr(0, c.input.find('/'))), ignored);
    }
}

// On a terminal each notice waits for Enter, as a message box waits for OK;
// the question is answered on the terminal too.
TEST_F(ProgramTest, OnATerminalNoticesWaitForEnter) {
    RunOptions waiting{{FRAME2BMP_BINARY, "missing.dat"}, "\n", dir_.string()};
    waiting.terminalInput = true;
    waiting.timeoutSeconds = 2;
    const RunResult stuck = RunProgram(waiting);
    EXPECT_FALSE(stuck.exited) << "the second notice did not wait";
    EXPECT_EQ(stuck.err, "Can't open file\nmissing.dat\n");

    RunOptions dismissed{{"missing.dat"}, "\n\n"};
    dismissed.terminalInput = true;
    EXPECT_EQ(Run(dismissed).err, "Can't open file\nmissing.dat\n");

    WriteFile(At("clip1.dat"), FixtureFrame());
    WriteFile(At("clip1.BMP"), {1});
    RunOptions answered{{"clip1.dat"}, "yes\n"};
    answered.terminalInput = true;
    EXPECT_EQ(Run(answered).err, "Output file exists. Replace? [y/N] ");  // the terminal echoes the newline
    EXPECT_TRUE(SameBytes(ReadFile(At("clip1.BMP")), ExpectedBitmap()));
}

// Standard error nobody reads, full or closed: the run still ends with exit
// status 0, and a conversion still succeeds. (File-size limits are among the
// injected faults.)
TEST_F(ProgramTest, SurvivesBrokenStandardError) {
    WriteFile(At("clip1.dat"), FixtureFrame());
    for (const ErrorStream error : {ErrorStream::BrokenPipe, ErrorStream::Full, ErrorStream::Closed}) {
        RunOptions failing{{"missing.dat"}, ""};
        failing.error = error;
        Run(failing);

        RunOptions converting{{"clip1.dat"}, ""};
        converting.error = error;
        fs::remove(At("clip1.BMP"));
        Run(converting);
        EXPECT_TRUE(SameBytes(ReadFile(At("clip1.BMP")), ExpectedBitmap()));
    }
}

}  // namespace
}  // namespace frame2bmp::testing
