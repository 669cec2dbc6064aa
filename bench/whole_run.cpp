// Whole-run benchmark: frame2bmp against the I/O floor (and ffmpeg and
// ImageMagick where installed), each run as a separate process, alternating
// in pairs, the output removed before every run so that each creates a new
// file. Prints the median of the per-pair time ratios and the peak memory.
//
//   whole_run FRAME2BMP IO_FLOOR PEAK_RSS FRAME [PAIRS]

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Run {
    double seconds;
};

// Runs argv with no input and no output, as a script would.
Run Time(const std::vector<std::string>& args, const fs::path& output) {
    fs::remove(output);
    std::vector<char*> argv;
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t child;
    if (posix_spawn(&child, argv[0], &files, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(1);
    }
    int status;
    waitpid(child, &status, 0);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&files);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !fs::exists(output)) {
        std::fprintf(stderr, "%s failed or wrote no %s\n", argv[0], output.c_str());
        std::exit(1);
    }
    return {took.count()};
}

// The largest peak resident set over a few runs, measured by the small
// static runner peak_rss so that this process's own size does not count.
long PeakKiB(const std::string& runner, std::vector<std::string> args, const fs::path& output) {
    long peak = 0;
    for (int i = 0; i < 10; ++i) {
        fs::remove(output);
        std::string command = runner;
        for (const auto& arg : args) command += " '" + arg + "'";
        FILE* pipe = popen(command.c_str(), "r");
        long kib = 0;
        if (pipe == nullptr || std::fscanf(pipe, "%ld", &kib) != 1 || pclose(pipe) != 0) {
            std::fprintf(stderr, "cannot measure %s\n", args[0].c_str());
            std::exit(1);
        }
        peak = std::max(peak, kib);
    }
    return peak;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Find(const char* name) {
    for (const char* folder : {"/usr/bin/", "/usr/local/bin/"}) {
        const std::string path = std::string(folder) + name;
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return "";
}

struct Contender {
    std::string label;
    std::vector<std::string> argv;
    fs::path output;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: whole_run FRAME2BMP IO_FLOOR PEAK_RSS FRAME [PAIRS]\n");
        return 2;
    }
    const std::string runner = argv[3];
    const int pairs = argc > 5 ? std::atoi(argv[5]) : 300;
    const fs::path folder = fs::temp_directory_path() / ("frame2bmp-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path frame = folder / "clip1.dat";
    const fs::path bitmap = folder / "clip1.BMP";
    fs::copy_file(argv[4], frame, fs::copy_options::overwrite_existing);

    // The other tools read the three planes without the 48-byte header.
    const fs::path planes = folder / "planes.yuv";
    {
        std::ifstream in(frame, std::ios::binary);
        in.seekg(48);
        std::ofstream out(planes, std::ios::binary);
        out << in.rdbuf();
    }

    std::vector<Contender> contenders = {{"frame2bmp", {argv[1], frame.string()}, bitmap}};
    if (const std::string ffmpeg = Find("ffmpeg"); !ffmpeg.empty()) {
        contenders.push_back({"ffmpeg", {ffmpeg, "-y", "-loglevel", "error", "-f", "rawvideo",
                                         "-pix_fmt", "yuv444p", "-s", "176x144", "-i", planes.string(),
                                         "-pix_fmt", "bgr24", (folder / "ffmpeg.bmp").string()},
                              folder / "ffmpeg.bmp"});
    }
    if (const std::string convert = Find("convert"); !convert.empty()) {
        contenders.push_back({"ImageMagick", {convert, "-size", "176x144", "-depth", "8",
                                              "-sampling-factor", "4:4:4", "-interlace", "plane",
                                              "yuv:" + planes.string(), "BMP3:" + (folder / "im.bmp").string()},
                              folder / "im.bmp"});
    }
    const std::vector<std::string> floorArgv = {argv[2], frame.string(), bitmap.string()};

    std::printf("whole run, median of %d pairs against the I/O floor (read 76080 bytes, write 76086):\n",
                pairs);
    for (const auto& contender : contenders) {
        for (int i = 0; i < 20; ++i) {  // warm the page cache and the binaries
            Time(floorArgv, bitmap);
            Time(contender.argv, contender.output);
        }
        std::vector<double> ratios, floorTimes, times;
        for (int i = 0; i < pairs; ++i) {
            const Run base = Time(floorArgv, bitmap);
            const Run run = Time(contender.argv, contender.output);
            ratios.push_back(run.seconds / base.seconds);
            floorTimes.push_back(base.seconds);
            times.push_back(run.seconds);
        }
        const long floorPeak = PeakKiB(runner, floorArgv, bitmap);
        const long peak = PeakKiB(runner, contender.argv, contender.output);
        std::printf("  %-12s %6.3f ms  floor %6.3f ms  ratio %6.2f   peak RSS %6ld KiB (floor %ld KiB, %+ld KiB)\n",
                    contender.label.c_str(), Median(times) * 1e3, Median(floorTimes) * 1e3,
                    Median(ratios), peak, floorPeak, peak - floorPeak);
    }
    fs::remove_all(folder);
    return 0;
}
