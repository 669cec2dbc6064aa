#include "frontend/paths.h"

#include "platform/text.h"

namespace frame2bmp {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool CopyComponent(std::string_view from, char (&to)[256]) {
    if (from.size() > MAX_COMPONENT_LENGTH) return false;
    from.copy(to, from.size());  // an empty view may hold no pointer at all
    to[from.size()] = '\0';
    return true;
}

// Whether the last whole character of `text` (not empty) is a separator.
bool EndsWithSeparator(std::string_view text) {
    std::size_t last = 0;
    for (std::size_t at = 0; at < text.size(); at += CharacterLength(text.substr(at))) {
        last = at;
    }
    return last + 1 == text.size() && IsSeparator(text[last]);
}

}  // namespace

std::string_view SkipProgramName(std::string_view commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t quote = commandLine.find('"', 1);
        end = quote == std::string_view::npos ? commandLine.size() : quote + 1;
    } else {
        while (end < commandLine.size() && static_cast<unsigned char>(commandLine[end]) > ' ') ++end;
    }
    return commandLine.substr(end);
}

std::string_view TrimArgumentText(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && text[start] >= 1 && text[start] <= 32) ++start;
    return text.substr(start);
}

std::string_view PathFromArgumentText(std::string_view text) {
    if (text.empty() || text[0] != '"') return text;
    const std::string_view quoted = text.substr(1);
    return quoted.substr(0, quoted.find('"'));
}

bool SplitPath(std::string_view path, PathParts& parts) {
    std::size_t start = 0;
    parts.drive[0] = '\0';
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive[0] = path[0];
        parts.drive[1] = ':';
        parts.drive[2] = '\0';
        start = 2;
    }

    // One pass over whole characters: only a single-byte character can be a
    // separator or a dot.
    std::size_t directoryEnd = start;
    std::size_t dot = std::string_view::npos;
    for (std::size_t at = start; at < path.size();) {
        const std::size_t length = CharacterLength(path.substr(at));
        if (length == 1 && IsSeparator(path[at])) directoryEnd = at + 1;
        if (length == 1 && path[at] == '.') dot = at;
        at += length;
    }

    // A dot in the directory never starts an extension.
    const bool hasExtension = dot != std::string_view::npos && dot >= directoryEnd;
    const std::size_t nameEnd = hasExtension ? dot : path.size();
    return CopyComponent(path.substr(start, directoryEnd - start), parts.directory) &&
           CopyComponent(path.substr(directoryEnd, nameEnd - directoryEnd), parts.name) &&
           CopyComponent(path.substr(nameEnd), parts.extension);
}

bool MakePath(std::string_view drive, std::string_view directory, std::string_view name,
              std::string_view extension, PathBuffer& path) {
    path[0] = '\0';
    if (directory.size() > MAX_COMPONENT_LENGTH || name.size() > MAX_COMPONENT_LENGTH ||
        extension.size() > MAX_COMPONENT_LENGTH) {
        return false;
    }
    std::size_t used = 0;
    const auto append = [&](std::string_view text) {
        used += text.copy(path.data() + used, text.size());
    };
    if (!drive.empty()) {
        append(drive.substr(0, 1));
        append(":");
    }
    if (!directory.empty()) {
        append(directory);
        if (!EndsWithSeparator(directory)) append("\\");
    }
    append(name);
    if (!extension.empty()) {
        if (extension[0] != '.') append(".");
        append(extension);
    }
    path[used] = '\0';
    return true;
}

}  // namespace frame2bmp
