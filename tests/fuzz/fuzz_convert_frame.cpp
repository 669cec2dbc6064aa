// Fuzzes a whole conversion run on arbitrary file contents: the input is a
// real file, and the run opens, reads, asks, converts and writes through
// the same code as the program. The first byte of an input says whether an
// output exists already and whether the answer is Yes; the rest is the file.
//
// Checked on every input: the result, the notices shown, and what is left at
// the output path all agree with the file's size and the answer.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "convert/convert_frame.h"
#include "convert/frame_format.h"
#include "platform/notices.h"

namespace frame2bmp {
namespace {

std::vector<std::string> shown;
bool answer = false;

}  // namespace

void ShowNotice(std::string_view text) {
    shown.emplace_back(text);
}

bool AskYesNo(std::string_view text) {
    shown.emplace_back(text);
    return answer;
}

}  // namespace frame2bmp

namespace {

std::string folder;

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

void Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0,
          "cannot write a test file");
}

std::vector<std::uint8_t> Read(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char name[] = "/tmp/frame2bmp-fuzz-XXXXXX";
    Check(mkdtemp(name) != nullptr, "cannot make a folder");
    folder = name;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace frame2bmp;
    if (size == 0) return 0;
    const bool existing = (data[0] & 1) != 0;
    answer = (data[0] & 2) != 0;
    const std::uint8_t* file = data + 1;
    const std::size_t fileSize = size - 1;

    const std::string input = folder + "/clip1.dat";
    const std::string output = folder + "/clip1.BMP";
    Write(input, file, fileSize);
    const std::uint8_t old[] = {'o', 'l', 'd'};
    unlink(output.c_str());
    if (existing) Write(output, old, sizeof old);

    shown.clear();
    const bool converted = ConvertFrame(input.c_str(), output.c_str());
    const std::vector<std::uint8_t> left = Read(output);
    const std::vector<std::uint8_t> oldBytes(old, old + sizeof old);
    const std::size_t frameSize = INPUT_HEADER_SIZE + FRAME_DATA_SIZE;

    if (fileSize < frameSize) {
        Check(!converted, "converted a short file");
        Check(shown == std::vector<std::string>{std::string(TEXT_READ_ERROR)}, "short file notices");
        Check(existing ? left == oldBytes : access(output.c_str(), F_OK) != 0,
              "a short file touched the output");
    } else if (existing && !answer) {
        Check(!converted, "converted after No");
        Check(shown == std::vector<std::string>{std::string(TEXT_REPLACE)}, "No notices");
        Check(left == oldBytes, "the output changed after No");
    } else {
        Check(converted, "a whole frame did not convert");
        Check(shown.size() == (existing ? 1u : 0u), "notices on success");
        PixelBuffer pixels;
        ConvertPixels(std::span<const std::uint8_t, FRAME_DATA_SIZE>(file + INPUT_HEADER_SIZE,
                                                                    FRAME_DATA_SIZE),
                      pixels);
        std::vector<std::uint8_t> want(BitmapHeaderTemplate.begin(), BitmapHeaderTemplate.end());
        want.insert(want.end(), pixels.begin(), pixels.end());
        Check(left == want, "the bitmap is not the frame's");
    }
    return 0;
}
