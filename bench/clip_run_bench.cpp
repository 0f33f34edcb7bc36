// talvern-clip as users run it: one process per batch, timed from outside and
// with its peak resident size from its resource usage, beside floors run the
// same way (this program started again in a floor's mode), each on one core:
//  - the whole-file floor reads every byte of each file and writes the crop;
//  - the lean cropper reads the header, then only the byte span of the
//    rectangle's rows, in one read, and writes the crop;
//  - the row-by-row lean cropper reads each of the rectangle's rows' columns
//    with a read of its own (the floor for a small crop of a huge picture).
// The croppers write the same bytes as talvern-clip (checked), taking the
// output's header from its output. With --before PATH another talvern-clip
// (an earlier build, say) runs in the same rounds, for before-and-after ratios.
//   clip_run_bench [--before PATH] [--rounds N]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include "framework/bitmap.h"
#include "gif/gif_writer.h"
#include "image/bmp_file.h"

namespace {

namespace fs = std::filesystem;
using ByteVector = std::vector<std::uint8_t>;

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// --- The floors: 24-bit bottom-up BMP files with a 40-byte header ---------------

struct Crop {
    long x = 0, y = 0;
    ByteVector header;  // the output's headers, from talvern-clip's output
    long width = 0, height = 0;
};

// The crop's rows, bottom row first, from `rows(n)`: the stored row n's bytes
// from the crop's first column on.
template <class Rows>
bool WriteCrop(const std::string& path, const Crop& crop, ByteVector& out, Rows rows)
{
    const std::size_t outRow = std::size_t(crop.width * 3 + 3) & ~std::size_t(3);
    out.assign(crop.header.begin(), crop.header.end());
    out.resize(crop.header.size() + outRow * std::size_t(crop.height), 0);
    for (long j = 0; j < crop.height; ++j) {
        const std::uint8_t* in = rows(crop.y + crop.height - 1 - j);
        if (!in) return false;
        std::memcpy(out.data() + crop.header.size() + std::size_t(j) * outRow, in, std::size_t(crop.width) * 3);
    }
    return WriteFile(path, out.data(), out.size());
}

bool ReadAt(int fd, std::uint8_t* to, std::size_t count, off_t at)
{
    return pread(fd, to, count, at) == ssize_t(count);
}

// One floor over files: "whole", "span" or "rows".
int RunFloor(const std::string& mode, Crop crop, const std::string& outputDirectory, char** files, int count)
{
    ByteVector in, out;
    for (int i = 0; i < count; ++i) {
        const std::string target = (fs::path(outputDirectory) / fs::path(files[i]).stem()).string() + ".bmp";
        const int fd = open(files[i], O_RDONLY);
        if (fd < 0) return 1;
        std::uint8_t head[54];
        bool ok = true;
        if (mode == "whole") {
            const off_t size = lseek(fd, 0, SEEK_END);
            in.resize(std::size_t(size));
            ok = ReadAt(fd, in.data(), in.size(), 0);
            std::memcpy(head, in.data(), sizeof head);
        } else {
            ok = ReadAt(fd, head, sizeof head, 0);
        }
        const long width = long(U32(head + 18)), height = long(U32(head + 22));
        const std::size_t rowSize = std::size_t(width * 3 + 3) & ~std::size_t(3);
        const off_t data = off_t(U32(head + 10));
        // Stored row n holds picture row height - 1 - n.
        const auto offset = [&](long pictureRow) {
            return data + off_t(height - 1 - pictureRow) * off_t(rowSize) + off_t(crop.x * 3);
        };
        if (ok && head[0] == 'B' && mode == "whole") {
            ok = WriteCrop(target, crop, out, [&](long y) { return in.data() + offset(y); });
        } else if (ok && mode == "span") {
            const off_t first = offset(crop.y + crop.height - 1);
            in.resize(std::size_t(crop.height - 1) * rowSize + std::size_t(crop.width) * 3);
            ok = ReadAt(fd, in.data(), in.size(), first) &&
                 WriteCrop(target, crop, out, [&](long y) { return in.data() + (offset(y) - first); });
        } else if (ok && mode == "rows") {
            in.resize(std::size_t(crop.width) * 3);
            ok = WriteCrop(target, crop, out, [&](long y) {
                return ReadAt(fd, in.data(), in.size(), offset(y)) ? in.data() : nullptr;
            });
        } else if (ok) {
            // Not a BMP file: the crop's bytes as talvern-clip wrote them.
            ok = WriteFile(target, crop.header.data(), crop.header.size());
        }
        close(fd);
        if (!ok) return 1;
    }
    return 0;
}

// --- Runs ----------------------------------------------------------------------

struct RunResult {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time, which others' load disturbs less
    double peakMb = 0;
    bool ok = false;
};

// Starts a program, its output dropped, and waits for it.
RunResult RunProgram(std::vector<char*> args)
{
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(args[0], args.data());
        _exit(127);
    }
    RunResult result;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    result.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.peakMb = double(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// Programs are started by a process forked before this one grows: a program's
// peak resident size counts the pages of the process it was forked from, and
// the spawner has few. Command lines go to it through a pipe, NUL-separated
// behind their length; results come back the same way.
class TSpawner {
public:
    TSpawner()
    {
        if (pipe(commands_) != 0 || pipe(results_) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(commands_[1]);
            close(results_[0]);
            Serve();
            _exit(0);
        }
        close(commands_[0]);
        close(results_[1]);
    }
    ~TSpawner()
    {
        close(commands_[1]);  // the spawner's cue to end
        close(results_[0]);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }

    RunResult Run(const std::vector<std::string>& argv)
    {
        std::string line;
        for (const std::string& a : argv) line += a + '\0';
        const std::uint32_t length = std::uint32_t(line.size());
        RunResult result;
        if (!WriteAll(commands_[1], &length, sizeof length) || !WriteAll(commands_[1], line.data(), line.size()) ||
            !ReadAll(results_[0], &result, sizeof result))
            return RunResult{};
        return result;
    }

private:
    static bool WriteAll(int fd, const void* data, std::size_t size)
    {
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = write(fd, static_cast<const char*>(data) + done, size - done);
            if (n <= 0) return false;
            done += std::size_t(n);
        }
        return true;
    }
    static bool ReadAll(int fd, void* data, std::size_t size)
    {
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = read(fd, static_cast<char*>(data) + done, size - done);
            if (n <= 0) return false;
            done += std::size_t(n);
        }
        return true;
    }
    void Serve()
    {
        std::uint32_t length = 0;
        while (ReadAll(commands_[0], &length, sizeof length)) {
            std::string line(length, '\0');
            if (!ReadAll(commands_[0], line.data(), line.size())) return;
            std::vector<char*> args;
            for (std::size_t at = 0; at < line.size(); at = line.find('\0', at) + 1) args.push_back(line.data() + at);
            const RunResult result = RunProgram(args);
            if (!WriteAll(results_[1], &result, sizeof result)) return;
        }
    }

    int commands_[2] = {-1, -1};
    int results_[2] = {-1, -1};
    pid_t pid_ = -1;
};



void ClearDirectory(const std::string& directory)
{
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    fs::create_directories(directory);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The rounds' spread as "lowest-highest" in milliseconds.
std::string Spread(const std::vector<double>& values)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    char text[48];
    std::snprintf(text, sizeof text, "%.1f-%.1f", *low * 1e3, *high * 1e3);
    return text;
}

// One program of a measurement: its command line (without the files) and where
// it writes.
struct Contender {
    std::string name;
    std::vector<std::string> command;
    std::string output;
    std::vector<double> seconds, cpuSeconds, peaks;
};

struct Measurement {
    std::string title;
    std::vector<std::string> files;
    std::vector<Contender> contenders;
};

// Interleaved rounds of every contender; false when one failed or a floor's
// output differs from talvern-clip's (the first contender's).
bool Measure(Measurement& m, int rounds, TSpawner& programs)
{
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < m.contenders.size(); ++k) {
            // Each round starts with another contender, so none always runs first.
            Contender& c = m.contenders[(k + std::size_t(round)) % m.contenders.size()];
            ClearDirectory(c.output);
            std::vector<std::string> argv = c.command;
            argv.insert(argv.end(), m.files.begin(), m.files.end());
            const RunResult r = programs.Run(argv);
            if (!r.ok) {
                std::printf("clip_run_bench: %s failed in %s\n", c.name.c_str(), m.title.c_str());
                return false;
            }
            c.seconds.push_back(r.seconds);
            c.cpuSeconds.push_back(r.cpuSeconds);
            c.peaks.push_back(r.peakMb);
        }
    }
    const std::string name = fs::path(m.files.front()).stem().string() + ".bmp";
    const std::vector<char> expected = ReadFile((fs::path(m.contenders[0].output) / name).string());
    for (const Contender& c : m.contenders)
        if (ReadFile((fs::path(c.output) / name).string()) != expected) {
            std::printf("clip_run_bench: %s wrote another crop than talvern-clip in %s\n", c.name.c_str(), m.title.c_str());
            return false;
        }
    std::printf("%s\n", m.title.c_str());
    const double clip = Median(m.contenders[0].seconds), clipCpu = Median(m.contenders[0].cpuSeconds);
    for (const Contender& c : m.contenders) {
        const double t = Median(c.seconds), cpu = Median(c.cpuSeconds);
        std::printf("  %-34s %8.1f ms (%s)  peak %6.1f MB   talvern-clip / this %5.2fx   cpu %7.1f ms (%s) %5.2fx\n",
                    c.name.c_str(), t * 1e3, Spread(c.seconds).c_str(), Median(c.peaks), clip / t, cpu * 1e3,
                    Spread(c.cpuSeconds).c_str(), clipCpu / cpu);
    }
    return true;
}

std::string Path(const std::string& directory, const std::string& name)
{
    return (fs::path(directory) / name).string();
}

// The files of one kind: copies of one file under as many names.
std::vector<std::string> Copies(const std::string& directory, const std::string& first, int count)
{
    std::vector<std::string> files{first};
    for (int i = 1; i < count; ++i) {
        const std::string copy = Path(directory, "in" + std::to_string(i) + fs::path(first).extension().string());
        fs::copy_file(first, copy, fs::copy_options::overwrite_existing);
        files.push_back(copy);
    }
    return files;
}

// A 24-bit bottom-up BMP file written row by row (no picture in memory).
bool WriteBigBmp(const std::string& path, int width, int height)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const std::uint32_t rowSize = (std::uint32_t(width) * 3 + 3) & ~3u;
    std::uint8_t header[54] = {'B', 'M'};
    auto put = [&](int at, std::uint32_t v) { for (int i = 0; i < 4; ++i) header[at + i] = std::uint8_t(v >> (8 * i)); };
    put(2, 54 + rowSize * std::uint32_t(height));
    put(10, 54);
    put(14, 40);
    put(18, std::uint32_t(width));
    put(22, std::uint32_t(height));
    header[26] = 1;
    header[28] = 24;
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
    std::vector<std::uint8_t> row(rowSize, 0);
    for (int y = 0; y < height && ok; ++y) {
        for (int x = 0; x < width * 3; ++x) row[std::size_t(x)] = std::uint8_t(x * 7 + y * 3 + (x ^ y));
        ok = std::fwrite(row.data(), 1, row.size(), f) == row.size();
    }
    return std::fclose(f) == 0 && ok;
}

Contender Clip(const std::string& name, const std::string& program, const std::string& crop, int jobs,
               const std::string& output)
{
    return {name, {program, "--crop", crop, "--jobs", std::to_string(jobs), "--out", output}, output, {}, {}, {}};
}

Contender Floor(const std::string& name, const std::string& self, const std::string& mode, long x, long y,
                const std::string& reference, const std::string& output)
{
    return {name, {self, "floor", mode, std::to_string(x), std::to_string(y), reference, output}, output, {}, {}, {}};
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 7 && std::string(argv[1]) == "floor") {
        Crop crop;
        crop.x = std::atol(argv[3]);
        crop.y = std::atol(argv[4]);
        const std::vector<char> reference = ReadFile(argv[5]);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(reference.data());
        if (reference.size() < 54) return 1;
        const bool bmp = reference[0] == 'B' && U32(bytes + 14) == 40 && bytes[28] == 24;
        crop.width = long(U32(bytes + 18));
        crop.height = long(U32(bytes + 22));
        crop.header.assign(bytes, bytes + (bmp ? U32(bytes + 10) : reference.size()));
        return RunFloor(argv[2], crop, argv[6], argv + 7, argc - 7);
    }
    TSpawner programs;
    std::string before;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--before") before = argv[i + 1];
        if (std::string(argv[i]) == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    const std::string self = fs::absolute(argv[0]).string(), clip = TALVERN_CLIP_PATH;
    // On a memory file system where there is one: the disk's write-back of the
    // outputs (hundreds of MB a round) would drown the costs per file.
    const fs::path root = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const std::string directory = (root / ("talvern-run-bench-" + std::to_string(getpid()))).string();
    fs::create_directories(directory);
    const std::string out = Path(directory, "out");
    bool ok = true;

    // The batch: 200 copies of one 1024x768 picture, as a 24-bit BMP and a GIF.
    TBitmap picture;
    picture.SetSize(1024, 768);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            picture.ScanLine(y)[x] = std::uint32_t((x * 255 / 1024) << 16 | (y * 255 / 768) << 8 | ((x ^ y) & 0xFF));
    const std::string bmpDirectory = Path(directory, "bmp"), gifDirectory = Path(directory, "gif");
    fs::create_directories(bmpDirectory);
    fs::create_directories(gifDirectory);
    const ByteVector gif = EncodeGif(DitheredPicture(1024, 768));
    ok = SaveBitmapFile(Path(bmpDirectory, "in0.bmp"), picture, 24, nullptr) &&
         WriteFile(Path(gifDirectory, "in0.gif"), gif.data(), gif.size());
    const std::vector<std::string> bmps = Copies(bmpDirectory, Path(bmpDirectory, "in0.bmp"), 200);
    const std::vector<std::string> gifs = Copies(gifDirectory, Path(gifDirectory, "in0.gif"), 200);

    // The croppers take the output's header from talvern-clip's output.
    const auto reference = [&](const std::string& input, const std::string& crop) {
        const std::string dir = Path(directory, "ref" + crop);
        ClearDirectory(dir);
        ok = ok && programs.Run({clip, "--crop", crop, "--out", dir, input}).ok;
        return Path(dir, fs::path(input).stem().string() + ".bmp");
    };
    const auto withBefore = [&](std::vector<Contender> contenders, const std::string& crop, int jobs) {
        if (!before.empty()) contenders.insert(contenders.begin() + 1, Clip("before, --jobs " + std::to_string(jobs), before, crop, jobs, out + "-before"));
        return contenders;
    };

    std::printf("== talvern-clip, one process per batch, beside floors on one core\n"
                "   (medians of %d rounds, their lowest and highest in brackets; cpu: user and system time)\n", rounds);
    if (ok) {
        const std::string crop = "640x480+0+0", ref = reference(bmps[0], crop);
        Measurement m{"Bmp24: 200 files of 1024x768 cropped to " + crop, bmps,
                      withBefore({Clip("talvern-clip --jobs 1", clip, crop, 1, out + "-1"),
                                  Floor("whole-file floor", self, "whole", 0, 0, ref, out + "-whole"),
                                  Floor("lean cropper (rows' span)", self, "span", 0, 0, ref, out + "-span"),
                                  Clip("talvern-clip --jobs 2", clip, crop, 2, out + "-2")},
                                 crop, 1)};
        ok = Measure(m, rounds, programs);
    }
    for (const std::string crop : {"640x200+0+0", "1024x768+0+0"}) {
        if (!ok) break;
        const std::string ref = reference(gifs[0], crop);
        Measurement m{"Gif256: 200 files of 1024x768 cropped to " + crop, gifs,
                      withBefore({Clip("talvern-clip --jobs 1", clip, crop, 1, out + "-1"),
                                  Floor("whole-file floor (no decoding)", self, "whole", 0, 0, ref, out + "-whole")},
                                 crop, 1)};
        ok = Measure(m, rounds, programs);
    }
    if (ok) {
        const std::string big = Path(directory, "big.bmp"), crop = "640x480+0+0";
        ok = WriteBigBmp(big, 8000, 8000);
        const std::string ref = reference(big, crop);
        Measurement m{"Bmp24: one 8000x8000 file (183 MB) cropped to " + crop, {big},
                      withBefore({Clip("talvern-clip --jobs 1", clip, crop, 1, out + "-1"),
                                  Floor("row-by-row lean cropper", self, "rows", 0, 0, ref, out + "-rows"),
                                  Floor("whole-file floor", self, "whole", 0, 0, ref, out + "-whole")},
                                 crop, 1)};
        ok = ok && Measure(m, rounds, programs);
    }
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    if (!ok) std::printf("clip_run_bench: could not make, clip or floor the inputs\n");
    return ok ? 0 : 1;
}
