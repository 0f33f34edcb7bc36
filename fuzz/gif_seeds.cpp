// Writes a few small GIF files into the folder named on the command line: the
// fuzzer's seeds (interlace, local tables, transparency, disposal, extensions).
#include <string>
#include <vector>

#include "fuzz/seed_folder.h"
#include "gif/gif_writer.h"

namespace {

std::vector<std::uint8_t> Pixels(int count, int colors)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(count));
    unsigned seed = 7;
    for (auto& v : out) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>((seed >> 16) % unsigned(colors));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<TSeed> seeds;
    GifImage image;
    image.width = 12;
    image.height = 9;
    image.globalRgb = Rgb({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    GifFrame frame;
    frame.width = 12;
    frame.height = 9;
    frame.pixels = Pixels(108, 4);
    image.frames = {frame};
    seeds.emplace_back("plain.gif", EncodeGif(image));
    frame.interlace = true;
    frame.control = true;
    frame.transparent = true;
    frame.disposal = 3;
    image.frames = {frame};
    seeds.emplace_back("interlaced_transparent.gif", EncodeGif(image));
    GifFrame second = frame;
    second.left = 3;
    second.top = 2;
    second.width = 5;
    second.height = 4;
    second.pixels = Pixels(20, 8);
    second.localRgb = Rgb({1, 2, 3, 4, 5, 6, 7, 8});
    second.disposal = 2;
    second.interlace = false;
    image.frames = {frame, second};
    seeds.emplace_back("animation.gif", EncodeGif(image));
    // Extensions: comment, application, plain text.
    std::vector<std::uint8_t> ext = GifHead(image);
    for (int b : std::initializer_list<int>{0x21, 0xFE, 2, 'h', 'i', 0, 0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.',
                           '0', 3, 1, 0, 0, 0, 0x21, 0x01, 12, 0, 0, 0, 0, 12, 0, 9, 0, 4, 8, 3, 0, 3, 'A', ' ', 'b', 0})
        ext.push_back(static_cast<std::uint8_t>(b));
    const auto body = GifFrameBytes(second, 4);
    ext.insert(ext.end(), body.begin(), body.end());
    ext.push_back(0x3B);
    seeds.emplace_back("extensions.gif", ext);
    // One colour over many rows: LZW strings longer than a table chunk, and more
    // rows than the decoder's row buffer holds at once.
    const GifFrame uniform{.width = 16, .height = 600, .pixels = std::vector<std::uint8_t>(16 * 600, 1)};
    const GifImage tall{.width = 16, .height = 600, .globalRgb = Rgb({0x000000, 0xFFFFFF}), .frames = {uniform}};
    seeds.emplace_back("uniform_tall.gif", EncodeGif(tall));
    return WriteSeeds(argc, argv, seeds);
}
