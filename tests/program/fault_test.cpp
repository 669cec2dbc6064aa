// Faults injected for real into the real program: system calls made to fail
// by strace, a file system that fills up, a file-size limit. Whatever fails,
// the right notice is shown, the exit status is 0, and no partial bitmap is
// left where the output should be.

#include <unistd.h>

#include <cctype>

#include "fixture.h"

namespace frame2bmp::testing {
namespace {

enum class Left {
    Nothing,  // no file at the output path
    Old,      // the output that was there, byte for byte
    Bitmap,   // the complete bitmap
};

struct Fault {
    std::string label;
    bool existingOutput;     // an old output is there, and the answer is Yes
    std::string traced;      // "input" or "output": the path strace watches
    std::string injection;   // strace's inject rule, or empty
    long long sizeLimit;     // RLIMIT_FSIZE, or -1
    bool fullFileSystem;     // the output's folder is a 48 KiB tmpfs
    std::string err;         // with $IN and $OUT for the absolute paths
    Left left;
};

const Fault FAULTS[] = {
    {"ENOSPC writing the header", false, "output", "inject=write:error=ENOSPC:when=1", -1, false,
     "Write error\n", Left::Nothing},
    {"ENOSPC writing the pixels", false, "output", "inject=write:error=ENOSPC:when=2", -1, false,
     "Write error\n", Left::Nothing},
    {"file system full in the middle of the pixels", false, "", "", -1, true, "Write error\n",
     Left::Nothing},
    {"EIO closing the output", false, "output", "inject=close:error=EIO", -1, false,
     "Write error\n", Left::Nothing},
    {"size limit 0", false, "", "", 0, false, "Write error\n", Left::Nothing},
    {"size limit 53, inside the header", false, "", "", 53, false, "Write error\n", Left::Nothing},
    {"size limit 40000, inside the pixels", false, "", "", 40000, false, "Write error\n",
     Left::Nothing},
    {"size limit 76085, one byte short", false, "", "", 76085, false, "Write error\n",
     Left::Nothing},
    {"size limit 76086, just enough", false, "", "", 76086, false, "", Left::Bitmap},
    {"EIO reading the header", false, "input", "inject=read:error=EIO:when=1", -1, false,
     "Read error\n", Left::Nothing},
    {"EIO reading the planes", false, "input", "inject=read:error=EIO:when=2", -1, false,
     "Read error\n", Left::Nothing},
    {"EACCES opening the input", false, "input", "inject=openat:error=EACCES", -1, false,
     "Can't open file\n$IN\n", Left::Nothing},
    {"EACCES creating the output", false, "output", "inject=openat:error=EACCES", -1, false,
     "Can't create file\n$OUT\n", Left::Nothing},
    // After Yes the old file is truncated as it is opened, so it cannot be
    // kept; what must not happen is a truncated bitmap left in its place.
    {"after Yes, ENOSPC writing the pixels", true, "output", "inject=write:error=ENOSPC:when=2", -1,
     false, "Write error\n", Left::Nothing},
    {"after Yes, EIO closing the output", true, "output", "inject=close:error=EIO:when=2", -1,
     false, "Write error\n", Left::Nothing},
    {"after Yes, file system full", true, "", "", -1, true, "Write error\n", Left::Nothing},
    {"after Yes, size limit 40000", true, "", "", 40000, false, "Write error\n", Left::Nothing},
    // Opening fails before anything is truncated: the old file stays.
    {"after Yes, EACCES creating the output", true, "output", "inject=openat:error=EACCES:when=2",
     -1, false, "Can't create file\n$OUT\n", Left::Old},
};

std::string Substitute(std::string text, const std::string& input, const std::string& output) {
    for (const auto& [key, value] : {std::pair{std::string("$IN"), input}, {"$OUT", output}}) {
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
            text.replace(at, key.size(), value);
            at += value.size();
        }
    }
    return text;
}

// Runs the program with the output's folder on a tmpfs of 48 KiB, mounted in
// a mount namespace of its own so nothing outlives the run. The input is
// reached through a symbolic link. Exit status 90: the tmpfs could not be
// mounted; 91: something was left at the output path.
const char FULL_FILE_SYSTEM_SCRIPT[] = R"(
    mount -t tmpfs -o size=48k frame2bmp-full "$1" || exit 90
    ln -s "$2" "$1/clip1.dat"
    if [ "$4" = old ]; then head -c 5000 /dev/zero > "$1/clip1.BMP"; fi
    "$3" "$1/clip1.dat"
    status=$?
    if [ -e "$1/clip1.BMP" ] || [ -L "$1/clip1.BMP" ]; then exit 91; fi
    exit $status
)";

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.label;
}

class FaultTest : public ProgramTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(FaultTest, ReportsAndLeavesNoPartialBitmap) {
    const Fault& fault = GetParam();
    WriteFile(At("clip1.dat"), FixtureFrame());
    const Bytes old(5000, 0x33);
    std::string input = At("clip1.dat").string();
    std::string output = At("clip1.BMP").string();
    if (fault.existingOutput) WriteFile(At("clip1.BMP"), old);

    RunOptions options({}, std::string(fault.existingOutput ? "y\n" : ""));
    options.fileSizeLimit = fault.sizeLimit;
    if (fault.fullFileSystem) {
        fs::create_directory(At("small"));
        input = At("small/clip1.dat").string();
        output = At("small/clip1.BMP").string();
        options.argv = {"/usr/bin/unshare", "-m", "/bin/sh", "-c", FULL_FILE_SYSTEM_SCRIPT, "sh",
                        At("small").string(), At("clip1.dat").string(), FRAME2BMP_BINARY,
                        fault.existingOutput ? "old" : "new"};
    } else if (!fault.injection.empty()) {
        ASSERT_EQ(access("/usr/bin/strace", X_OK), 0) << "strace (Debian's strace) is needed";
        options.environment = {"ASAN_OPTIONS=detect_leaks=0"};  // LeakSanitizer cannot run under ptrace
        options.argv = {"/usr/bin/strace", "-f", "-qq", "-o", "/dev/null", "-P",
                        fault.traced == "input" ? input : output, "-e", fault.injection,
                        FRAME2BMP_BINARY, input};
    } else {
        options.argv = {FRAME2BMP_BINARY, input};
    }

    const RunResult r = RunProgram(options);
    ASSERT_NE(r.exitCode, 90) << "cannot mount a tmpfs: " << r.err;
    EXPECT_NE(r.exitCode, 91) << "a file was left at the output path";
    EXPECT_TRUE(r.exited) << "signal " << r.signal;
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    const std::string prompt = fault.existingOutput ? REPLACE_PROMPT : "";
    EXPECT_EQ(r.err, prompt + Substitute(fault.err, input, output));

    if (!fault.fullFileSystem) {
        switch (fault.left) {
            case Left::Nothing:
                EXPECT_FALSE(fs::exists(fs::symlink_status(output)));
                break;
            case Left::Old:
                EXPECT_TRUE(SameBytes(ReadFile(output), old));
                break;
            case Left::Bitmap:
                EXPECT_TRUE(SameBytes(ReadFile(output), ExpectedBitmap()));
                break;
        }
    }
    EXPECT_TRUE(SameBytes(ReadFile(At("clip1.dat")), FixtureFrame()));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(FAULTS),
                         [](const auto& param) {
                             std::string name;
                             for (const char c : param.param.label) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             }
                             return name;
                         });

}  // namespace
}  // namespace frame2bmp::testing
