#include "frontend/paths.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace frame2bmp {
namespace {

struct Naming {
    std::string input;
    std::string output;
};

// Argument text to the input and output paths, as the entry derives them.
Naming NameFromArgumentText(std::string_view text) {
    PathParts parts;
    PathBuffer input;
    PathBuffer output;
    const std::string_view path = PathFromArgumentText(TrimArgumentText(text));
    if (!SplitPath(path, parts)) return {"<refused>", "<refused>"};
    EXPECT_TRUE(MakePath(parts.drive, parts.directory, parts.name, parts.extension, input));
    EXPECT_TRUE(MakePath(parts.drive, parts.directory, parts.name, ".BMP", output));
    return {input.data(), output.data()};
}

TEST(Naming, FromArgumentTextToInputAndOutput) {
    const struct {
        std::string text, input, output;
    } cases[] = {
        {R"(D:\frames\clip1.dat)", R"(D:\frames\clip1.dat)", R"(D:\frames\clip1.BMP)"},
        {R"("D:\my frames\clip 1.dat")", R"(D:\my frames\clip 1.dat)", R"(D:\my frames\clip 1.BMP)"},
        // Several arguments joined by blanks: never split at the blanks.
        {R"(D:\my frames\clip 1.dat)", R"(D:\my frames\clip 1.dat)", R"(D:\my frames\clip 1.BMP)"},
        {R"("clip1.dat" more text)", "clip1.dat", "clip1.BMP"},
        {R"("clip1.dat)", "clip1.dat", "clip1.BMP"},
        {R"("")", "", ".BMP"},
        {"clip1", "clip1", "clip1.BMP"},
        {"clip1.", "clip1.", "clip1.BMP"},
        {"clip1.old.dat", "clip1.old.dat", "clip1.old.BMP"},
        {R"(take.one\clip1)", R"(take.one\clip1)", R"(take.one\clip1.BMP)"},
        {"take.one/clip1", "take.one/clip1", "take.one/clip1.BMP"},
        {".dat", ".dat", ".BMP"},
        {"C:clip1.dat", "C:clip1.dat", "C:clip1.BMP"},
        {"C:", "C:", "C:.BMP"},
        {R"(D:/frames\clip1.dat)", R"(D:/frames\clip1.dat)", R"(D:/frames\clip1.BMP)"},
        {"/home/ann/clip1.dat", "/home/ann/clip1.dat", "/home/ann/clip1.BMP"},
        {"clip1.bmp", "clip1.bmp", "clip1.BMP"},
        {"", "", ".BMP"},
        // Leading bytes 1 to 32 are skipped; trailing blanks are part of the path.
        {"\t \x01 clip1.dat", "clip1.dat", "clip1.BMP"},
        {"clip1.dat  ", "clip1.dat  ", "clip1.BMP"},
        {" \"x y\".dat", "x y", "x y.BMP"},
        {"...", "...", "...BMP"},
        {"-clip.dat", "-clip.dat", "-clip.BMP"},
    };
    for (const auto& c : cases) {
        const Naming got = NameFromArgumentText(c.text);
        EXPECT_EQ(got.input, c.input) << "argument text [" << c.text << "]";
        EXPECT_EQ(got.output, c.output) << "argument text [" << c.text << "]";
    }
}

TEST(Naming, FromAWindowsCommandLine) {
    const struct {
        std::string commandLine, argumentText;
    } cases[] = {
        {R"(frame2bmp.exe D:\frames\clip1.dat)", R"(D:\frames\clip1.dat)"},
        {R"("C:\Program Files\frame2bmp.exe" "D:\my frames\clip 1.dat")", R"("D:\my frames\clip 1.dat")"},
        {R"("C:\Program Files\frame2bmp.exe"clip1.dat)", "clip1.dat"},  // nothing between
        {"frame2bmp.exe\t\x01  clip1.dat  ", "clip1.dat  "},
        {"frame2bmp.exe", ""},
        {R"("unclosed name clip1.dat)", ""},
        {"", ""},
        {"fr\xe9me.exe clip1.dat", "clip1.dat"},  // bytes above 0x7F belong to the name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimArgumentText(SkipProgramName(c.commandLine)), c.argumentText)
            << "command line [" << c.commandLine << "]";
    }
}

TEST(SplitPath, KeepsComponentsWholeOrRefuses) {
    const std::string n255(255, 'n');
    const std::string d254 = std::string(253, 'd') + "/";
    const struct {
        std::string path;
        bool fits;
    } cases[] = {
        {d254 + "/clip.dat", true},            // directory of 255 bytes
        {d254 + "d/clip.dat", false},          // 256
        {n255 + ".dat", true},
        {n255 + "n.dat", false},
        {"a." + std::string(254, 'e'), true},  // extension of 255 bytes, dot included
        {"a." + std::string(255, 'e'), false},
        {"C:" + d254 + "/" + n255, true},      // the drive is not part of the directory
    };
    for (const auto& c : cases) {
        PathParts parts;
        ASSERT_EQ(SplitPath(c.path, parts), c.fits) << c.path.size() << " bytes";
        if (!c.fits) continue;
        PathBuffer rebuilt;
        ASSERT_TRUE(MakePath(parts.drive, parts.directory, parts.name, parts.extension, rebuilt));
        EXPECT_EQ(std::string(rebuilt.data()), c.path);
    }
}

TEST(MakePath, AddsOnlyTheMissingPunctuation) {
    const struct {
        std::string drive, directory, name, extension, path;
    } cases[] = {
        {"D:", R"(\frames\)", "clip1", ".dat", R"(D:\frames\clip1.dat)"},
        {"D", "frames", "clip1", "dat", R"(D:frames\clip1.dat)"},
        {"Dx", "frames/", "clip1", "", "D:frames/clip1"},
        {"", "", "", ".BMP", ".BMP"},
    };
    for (const auto& c : cases) {
        PathBuffer made;
        ASSERT_TRUE(MakePath(c.drive, c.directory, c.name, c.extension, made));
        EXPECT_EQ(std::string(made.data()), c.path);
    }
    PathBuffer made;
    EXPECT_FALSE(MakePath("", "", std::string(256, 'n'), "", made));
}

class LocaleScope {
  public:
    explicit LocaleScope(const char* name) { ok_ = std::setlocale(LC_CTYPE, name) != nullptr; }
    ~LocaleScope() { std::setlocale(LC_CTYPE, "C"); }
    bool ok() const { return ok_; }

  private:
    bool ok_;
};

// In UTF-8 no byte of a multibyte character is below 0x80, so whole-character
// scanning must agree with the bytes; invalid bytes count one by one.
TEST(Naming, Utf8AndInvalidBytes) {
    LocaleScope locale("C.UTF-8");
    ASSERT_TRUE(locale.ok());
    const struct {
        std::string text, input, output;
    } cases[] = {
        {"vid\xc3\xa9os/cl\xc3\xa9.dat", "vid\xc3\xa9os/cl\xc3\xa9.dat", "vid\xc3\xa9os/cl\xc3\xa9.BMP"},
        {"\xe6\x98\xa0\xe5\x83\x8f.\xe5\x8e\x9f", "\xe6\x98\xa0\xe5\x83\x8f.\xe5\x8e\x9f",
         "\xe6\x98\xa0\xe5\x83\x8f.BMP"},
        // 0xE3 announces three bytes but 0x5C cannot continue it: the
        // backslash stands alone and separates.
        {"\xe3\\a.b\xff", "\xe3\\a.b\xff", "\xe3\\a.BMP"},
        {"clip1.\xe3", "clip1.\xe3", "clip1.BMP"},  // cut short at the end
    };
    for (const auto& c : cases) {
        const Naming got = NameFromArgumentText(c.text);
        EXPECT_EQ(got.input, c.input);
        EXPECT_EQ(got.output, c.output);
    }
}

}  // namespace
}  // namespace frame2bmp
