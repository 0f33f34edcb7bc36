#pragma once
// What the batch benchmarks share: their inputs (copies of one 1024x768 picture
// as a 24-bit BMP and as a 256-colour GIF), one round of the command-line clip
// path and one round of the I/O floor over them, and the median of the rounds.
// The floor reads each input whole (a GIF is also decoded from memory, which
// no clip can go below) and writes the output's bytes to a new file.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/clip_job.h"
#include "bench/bench_files.h"
#include "framework/bitmap.h"
#include "framework/streams.h"
#include "gif/gif_writer.h"
#include "gif/kxv_gif.h"
#include "image/bmp_file.h"

constexpr int kBatchFiles = 40;
constexpr int kBatchRounds = 7;

inline std::string BatchPath(const std::string& directory, const std::string& name)
{
    return (std::filesystem::path(directory) / name).string();
}

// Input i of a kind (".bmp", ".gif"), and its output in an output directory.
inline std::string BatchInput(const std::string& directory, int i, const std::string& extension)
{
    return BatchPath(directory, "in" + std::to_string(i) + extension);
}

inline std::string BatchOutput(const std::string& directory, int i)
{
    return BatchPath(directory, "in" + std::to_string(i) + ".bmp");
}

inline std::vector<std::string> BatchInputs(const std::string& directory, const std::string& extension)
{
    std::vector<std::string> inputs;
    for (int i = 0; i < kBatchFiles; ++i) inputs.push_back(BatchInput(directory, i, extension));
    return inputs;
}

// A new directory under the system's temporary one.
inline std::string MakeBatchDirectory(const std::string& prefix)
{
    const std::string directory =
        (std::filesystem::temp_directory_path() / (prefix + std::to_string(std::rand()))).string();
    std::filesystem::create_directories(directory);
    return directory;
}

// Writes kBatchFiles copies of each input kind; false when one failed.
inline bool MakeBatchInputs(const std::string& directory)
{
    TBitmap picture;
    picture.SetSize(1024, 768);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            picture.ScanLine(y)[x] = std::uint32_t((x * 255 / 1024) << 16 | (y * 255 / 768) << 8 | ((x ^ y) & 0xFF));
    const std::vector<std::uint8_t> gif = EncodeGif(DitheredPicture(1024, 768));
    for (int i = 0; i < kBatchFiles; ++i) {
        if (!SaveBitmapFile(BatchInput(directory, i, ".bmp"), picture, 24, nullptr) ||
            !WriteFile(BatchInput(directory, i, ".gif"), gif.data(), gif.size()))
            return false;
    }
    return true;
}

inline double SecondsSince(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The clip path over the inputs, each output written anew; false when a file
// failed.
inline bool ClipRound(TClipJob& job, const std::vector<std::string>& inputs, const std::string& outputDirectory)
{
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::remove(BatchOutput(outputDirectory, int(i)).c_str());
        if (!job.ClipFile(inputs[i])) return false;
    }
    return true;
}

// The floor, its buffers kept from round to round as the clip path keeps its own.
class TBatchFloor {
public:
    explicit TBatchFloor(bool decodeGif) : decodeGif_(decodeGif) { gif_.UseDelay = false; }

    bool Round(const std::vector<std::string>& inputs, const std::string& outputDirectory,
               const std::vector<char>& outputBytes)
    {
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            ReadFileInto(inputs[i], buffer_);
            if (decodeGif_) {
                TCustomMemoryStream stream(buffer_.data(), std::int64_t(buffer_.size()));
                gif_.LoadFromStream(stream, decoded_);
            }
            const std::string target = BatchOutput(outputDirectory, int(i));
            std::remove(target.c_str());
            if (buffer_.empty() || !WriteFile(target, outputBytes.data(), outputBytes.size())) return false;
        }
        return true;
    }

private:
    bool decodeGif_;
    std::vector<char> buffer_;
    kxvGIF gif_;
    TBitmap decoded_;
};
