// Fuzzes the way from argument text to the input and output paths, in the
// C locale, UTF-8 and Shift-JIS (the first byte of an input picks one).
//
// Checked on every input, beyond the sanitizers' own checks:
// - a path is either refused or gives an output that ends in ".BMP";
// - a path that is not refused is rebuilt from its parts as itself;
// - the output is the input with its extension replaced by ".BMP";
// - only a path with a component over 255 bytes is refused.

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "frontend/paths.h"

namespace {

const char* const LOCALES[] = {"C", "C.UTF-8", "ja_JP.SJIS"};

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* locale : LOCALES) {
        if (std::setlocale(LC_CTYPE, locale) == nullptr) {
            std::fprintf(stderr, "locale %s is missing (LOCPATH=%s)\n", locale,
                         std::getenv("LOCPATH") ? std::getenv("LOCPATH") : "");
            std::abort();
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace frame2bmp;
    if (size == 0) return 0;
    std::setlocale(LC_CTYPE, LOCALES[data[0] % 3]);

    // A command line holds no NUL byte.
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    text = text.substr(0, text.find('\0'));

    const std::string_view path = PathFromArgumentText(TrimArgumentText(text));
    PathParts parts;
    if (!SplitPath(path, parts)) {
        Check(path.size() > MAX_COMPONENT_LENGTH, "refused a path with no long component");
        return 0;
    }
    PathBuffer input;
    PathBuffer output;
    Check(MakePath(parts.drive, parts.directory, parts.name, parts.extension, input),
          "parts of a split path do not fit");
    Check(MakePath(parts.drive, parts.directory, parts.name, ".BMP", output),
          "output does not fit");

    const std::size_t inputLength = std::strlen(input.data());
    const std::size_t outputLength = std::strlen(output.data());
    Check(std::string_view(input.data(), inputLength) == path, "input path is not the path");
    Check(outputLength >= 4 && std::memcmp(output.data() + outputLength - 4, ".BMP", 4) == 0,
          "output does not end in .BMP");
    const std::size_t extensionLength = std::strlen(parts.extension);
    Check(std::string_view(output.data(), outputLength - 4) ==
              path.substr(0, path.size() - extensionLength),
          "output is not the input with a new extension");
    return 0;
}
