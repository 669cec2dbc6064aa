// Unusual and hostile input: files that are not frames, names built to
// confuse, and names in encodings where a byte is not a character.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <thread>

#include "fixture.h"

namespace frame2bmp::testing {
namespace {

TEST_F(ProgramTest, InputsThatAreNotPlainFiles) {
    fs::create_directory(At("folder.dat"));
    EXPECT_EQ(Run({"folder.dat"}).err, "Can't open file\nfolder.dat\n");
    EXPECT_FALSE(fs::exists(At("folder.BMP")));

    // /dev/zero never ends: the first 76080 bytes make an all-zero frame.
    fs::create_symlink("/dev/zero", At("zero.dat"));
    EXPECT_EQ(Run({"zero.dat"}).err, "");
    const Bytes zero = ReadFile(At("zero.BMP"));
    ASSERT_EQ(zero.size(), BITMAP_FILE);
    const auto bgr = ExactBgr({0, 0, 0});
    for (std::size_t at = 54; at < BITMAP_FILE; at += 3) {
        ASSERT_TRUE(zero[at] == bgr[0] && zero[at + 1] == bgr[1] && zero[at + 2] == bgr[2]) << at;
    }

    // A FIFO whose writer gives up after a thousand bytes.
    ASSERT_EQ(mkfifo(At("pipe.dat").c_str(), 0600), 0);
    std::thread writer([path = At("pipe.dat")] {
        const int fd = open(path.c_str(), O_WRONLY);
        const Bytes some = FixtureFrame(1000);
        EXPECT_EQ(write(fd, some.data(), some.size()), 1000);
        close(fd);
    });
    EXPECT_EQ(Run({"pipe.dat"}).err, "Read error\n");
    writer.join();
    EXPECT_FALSE(fs::exists(At("pipe.BMP")));

    // A FIFO whose writer sends a whole frame, in pieces.
    ASSERT_EQ(mkfifo(At("stream.dat").c_str(), 0600), 0);
    std::thread streamer([path = At("stream.dat")] {
        const int fd = open(path.c_str(), O_WRONLY);
        const Bytes frame = FixtureFrame();
        for (std::size_t at = 0; at < frame.size(); at += 4096) {
            const std::size_t piece = std::min<std::size_t>(4096, frame.size() - at);
            EXPECT_EQ(write(fd, frame.data() + at, piece), static_cast<ssize_t>(piece));
        }
        close(fd);
    });
    EXPECT_EQ(Run({"stream.dat"}).err, "");
    streamer.join();
    EXPECT_TRUE(SameBytes(ReadFile(At("stream.BMP")), ExpectedBitmap()));
}

// An output that is a FIFO opens for reading, so it is asked about; with
// nobody reading it, creating it fails at once rather than waiting forever.
TEST_F(ProgramTest, OutputThatIsAFifoWithNoReader) {
    WriteFile(At("clip1.dat"), FixtureFrame());
    ASSERT_EQ(mkfifo(At("clip1.BMP").c_str(), 0600), 0);
    RunOptions options{{"clip1.dat"}, "y\n"};
    options.timeoutSeconds = 10;
    EXPECT_EQ(Run(options).err, REPLACE_PROMPT + "Can't create file\nclip1.BMP\n");
    EXPECT_TRUE(fs::is_fifo(At("clip1.BMP")));
}

TEST_F(ProgramTest, NamesBuiltToConfuse) {
    const struct {
        std::string file, output;
    } cases[] = {
        {"-clip.dat", "-clip.BMP"},               // not an option
        {"--help", "--help.BMP"},
        {"clip1.dat  ", "clip1.BMP"},             // trailing blanks belong to the extension
        {"...", "...BMP"},                        // name "..", extension "."
        {"esc\x1b]0;title\x07.dat", "esc\x1b]0;title\x07.BMP"},
        {"new\nline.dat", "new\nline.BMP"},
        {"quote\".dat", "quote\".BMP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        WriteFile(At(c.file), FixtureFrame());
        EXPECT_EQ(Run({c.file}).err, "");
        EXPECT_TRUE(SameBytes(ReadFile(At(c.output)), ExpectedBitmap()));
    }
    // Only dots name folders, never files; the path is shown with its
    // control bytes made harmless.
    EXPECT_EQ(Run({"."}).err, "Can't open file\n.\n");
    EXPECT_EQ(Run({".."}).err, "Can't open file\n..\n");
    EXPECT_EQ(Run({"gone\x1b[2J\r.dat"}).err, "Can't open file\ngone?[2J?.dat\n");
}

// Shift-JIS, built at test time with Debian's localedef into a folder of
// its own.
const std::string& ShiftJisLocales() {
    static std::string folder;
    static std::once_flag once;
    std::call_once(once, [] {
        char name[] = "/tmp/frame2bmp-locale-XXXXXX";
        if (mkdtemp(name) == nullptr) return;
        const RunResult made = RunProgram({{"/usr/bin/localedef", "--no-warnings=ascii", "-i",
                                            "ja_JP", "-f", "SHIFT_JIS",
                                            std::string(name) + "/ja_JP.SJIS"},
                                           std::string()});
        if (fs::exists(std::string(name) + "/ja_JP.SJIS/LC_CTYPE")) {
            folder = name;
        } else {
            ADD_FAILURE() << "localedef (Debian's locales) could not build ja_JP.SJIS: " << made.err;
        }
    });
    return folder;
}

// In Shift-JIS the second byte of a double-byte character may be 0x5C, the
// byte of '\'. Read as characters, "a.b" + 0x95 0x5C + "c" is one name with
// the extension ".b表c"; read as bytes it would be a folder "a.b\x95\" and a
// name "c". Linux file names may hold 0x5C, so both readings name a file.
TEST_F(ProgramTest, MultibyteNamesFollowTheLocale) {
    const std::string& locales = ShiftJisLocales();
    ASSERT_FALSE(locales.empty());
    const std::vector<std::string> sjis = {"LOCPATH=" + locales, "LC_ALL=ja_JP.SJIS"};
    const std::vector<std::string> utf8 = {"LC_ALL=C.UTF-8"};
    const std::vector<std::string> plain = {"LC_ALL=C"};
    const struct {
        std::string label;
        std::vector<std::string> environment;
        std::string file, output;
    } cases[] = {
        {"Shift-JIS trail byte 0x5C", sjis, "a.b\x95\x5C" "c", "a.BMP"},
        {"same bytes in the C locale", plain, "a.b\x95\x5C" "c", "a.b\x95\x5C" "c.BMP"},
        {"Shift-JIS 0x83 0x5C before the dot", sjis, "\x83\x5C.dat", "\x83\x5C.BMP"},
        {"Shift-JIS lead byte cut short", sjis, "x.\x95", "x.BMP"},
        {"UTF-8", utf8, "vid\xc3\xa9o.d\xc3\xa0t", "vid\xc3\xa9o.BMP"},
        {"invalid in UTF-8", utf8, "\xff\xfe.b\xe3", "\xff\xfe.BMP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteFile(At(c.file), FixtureFrame());
        RunOptions options{{c.file}, ""};
        options.environment = c.environment;
        EXPECT_EQ(Run(options).err, "");
        EXPECT_TRUE(SameBytes(ReadFile(At(c.output)), ExpectedBitmap()));
        fs::remove(At(c.file));
        fs::remove(At(c.output));
    }
}

}  // namespace
}  // namespace frame2bmp::testing
