#include "convert/convert_frame.h"

#include <cstring>

#include "convert/frame_format.h"
#include "platform/files.h"
#include "platform/notices.h"

namespace frame2bmp {
namespace {

bool Fits(const char* path) {
    return std::strlen(path) <= MAX_PATH_LENGTH;
}

}  // namespace

bool ConvertFrame(const char* inputPath, const char* outputPath) {
    InputFrame frame;

    const FileHandle input = Fits(inputPath) ? OpenForReading(inputPath) : NO_FILE;
    if (input == NO_FILE) {
        ShowNotice(TEXT_CANT_OPEN);
        ShowNotice(inputPath);
        return false;
    }
    // Only the first 76080 bytes are read; anything after them is ignored.
    const bool read = ReadBlock(input, frame.header) && ReadBlock(input, frame.planes);
    CloseFile(input);
    if (!read) {
        ShowNotice(TEXT_READ_ERROR);
        return false;
    }

    // The input is closed before the output is looked at, so an output that
    // names the input itself is replaced by its bitmap after a Yes.
    const bool outputFits = Fits(outputPath);
    if (outputFits && OpensForReading(outputPath) && !AskYesNo(TEXT_REPLACE)) {
        return false;
    }

    PixelBuffer pixels;
    ConvertPixels(frame.planes, pixels);

    const WriteOutcome outcome = outputFits
                                     ? WriteWholeFile(outputPath, {BitmapHeaderTemplate, pixels})
                                     : WriteOutcome::CantCreate;
    switch (outcome) {
        case WriteOutcome::Written:
            return true;
        case WriteOutcome::CantCreate:
            ShowNotice(TEXT_CANT_CREATE);
            ShowNotice(outputPath);
            return false;
        case WriteOutcome::WriteFailed:
            ShowNotice(TEXT_WRITE_ERROR);
            return false;
    }
    return false;
}

}  // namespace frame2bmp
