// talvern-clip: crops image files to one rectangle and writes each crop as BMP,
// through the same clip job as the window.
#include <CLI/App.hpp>
#include <CLI/Config.hpp>
#include <CLI/Formatter.hpp>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/clip_job.h"
#include "cli/console_clip_host.h"
#include "cli/console_text.h"
#include "cli/crop_geometry.h"
#include "cli/clip_image.h"

namespace {

constexpr int kExitAllOk = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

void WriteLine(std::FILE* stream, const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void PrintResult(TConsoleClipHost&, const TConsoleClipHost::Entry& entry)
{
    if (entry.Result == "OK")
        WriteLine(stdout, "OK " + ConsolePath(entry.Path) + " -> " + ConsolePath(entry.Output));
    else
        WriteLine(stdout, "NG " + ConsolePath(entry.Path) + ": " + ConsoleText(entry.Reason));
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Crops image files to one rectangle and writes each crop as a BMP file named after\n"
                 "its source, at the source's colour depth and palette. One line per file: OK and\n"
                 "the file written, or NG and why. Exit status 0 when every file is OK, 1 when\n"
                 "any is NG, 2 for bad usage.",
                 "talvern-clip"};
    std::string geometry = "640x480+0+0";
    std::string outputDirectory;
    std::vector<std::string> files;
    app.add_option("--crop", geometry, "The rectangle: WIDTHxHEIGHT+X+Y in picture pixels")
        ->capture_default_str()
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParseCropGeometry(text) ? std::string() : "expected WIDTHxHEIGHT+X+Y, got " + text;
            },
            "WxH+X+Y"));
    app.add_option("--out", outputDirectory,
                   "Output directory, created (one level) when missing; default: beside each source");
    TClipReaderOptions readers;
    app.add_flag("--no-susie", readers.NoSusie, "Do not use Susie plug-ins");
    app.add_flag("--no-gv", readers.NoGV, "Do not use GV");
    app.add_option("--susie-dir", readers.SusieDirectory, "Also load the Susie plug-ins of DIR")->type_name("DIR");
    app.add_option("--gv", readers.GVPath, "GV's program")->type_name("PATH");
    app.footer([&readers] {
        TClipImage loader;
        loader.Configure(readers);
        return ConsoleText(loader.ReaderList());
    });
    app.add_option("FILE", files, "Image files to crop")->required();
    app.set_version_flag("--version", "talvern-clip " TALVERN_VERSION);

    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::reverse(arguments.begin(), arguments.end());  // the order CLI11 takes them in
    try {
        app.parse(arguments);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? kExitAllOk : kExitUsage;
    }

    TConsoleClipHost host(files, outputDirectory);
    host.OnResult = PrintResult;
    TClipImage image;
    image.Configure(readers);
    host.LoadFailureReason = [&image] { return image.FailureReason(); };
    TClipJob job(host, image);
    job.ClipRect = *ParseCropGeometry(geometry);
    job.ButtonRunClick();

    const auto& entries = host.Entries();
    const bool anyProcessed = std::any_of(entries.begin(), entries.end(), [](const auto& e) { return !e.Result.empty(); });
    if (!anyProcessed) {
        WriteLine(stderr, "talvern-clip: " + ConsoleText(host.LastError()));
        return kExitUsage;
    }
    const bool allOk = std::all_of(entries.begin(), entries.end(), [](const auto& e) { return e.Result == "OK"; });
    return allOk ? kExitAllOk : kExitSomeFailed;
}
