#include "frontend/run.h"

#include "convert/convert_frame.h"
#include "frontend/paths.h"
#include "platform/notices.h"

namespace frame2bmp {

int RunFrame2Bmp(std::string_view argumentText) {
    const std::string_view path = PathFromArgumentText(TrimArgumentText(argumentText));

    PathParts parts;
    PathBuffer inputPath;
    PathBuffer outputPath;
    if (!SplitPath(path, parts) ||
        !MakePath(parts.drive, parts.directory, parts.name, parts.extension, inputPath) ||
        !MakePath(parts.drive, parts.directory, parts.name, ".BMP", outputPath)) {
        // A component too long to keep whole: no file of that name can be
        // opened without naming another.
        ShowNotice(TEXT_CANT_OPEN);
        ShowNotice(path);
        return 0;
    }
    ConvertFrame(inputPath.data(), outputPath.data());
    return 0;
}

}  // namespace frame2bmp
