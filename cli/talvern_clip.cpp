// talvern-clip: crops image files to one rectangle and writes each crop as BMP,
// through the same clip job as the window.
#include <CLI/App.hpp>
#include <CLI/Config.hpp>
#include <CLI/Formatter.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/clip_job.h"
#include "cli/clip_batch.h"
#include "cli/clip_image.h"
#include "cli/console_clip_host.h"
#include "cli/console_text.h"
#include "cli/crop_geometry.h"
#include "cli/path_list.h"
#include "cli/progress_line.h"
#include "framework/clock.h"

namespace {

constexpr int kExitAllOk = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

void WriteLine(std::FILE* stream, const std::string& line)
{
    WriteText(stream, line + "\n");
}

void PrintResult(const TConsoleClipHost::Entry& entry)
{
    if (entry.Result == "OK")
        WriteLine(stdout, "OK " + entry.Path + " -> " + entry.Output);
    else
        WriteLine(stdout, "NG " + entry.Path + ": " + entry.Reason);
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Crops image files to one rectangle and writes each crop as a BMP file named after\n"
                 "its source, at the source's colour depth and palette. One line per file, in the\n"
                 "order given: OK and the file written, or NG and why. Exit status 0 when every\n"
                 "file is OK, 1 when any is NG, 2 for bad usage.",
                 "talvern-clip"};
    // Options are --name and -n everywhere: a file argument such as /home/me/a.png
    // is a file, also on Windows.
    app.allow_windows_style_options(false);
    std::string geometry = "640x480+0+0";
    std::string outputDirectory;
    std::string filesFrom;
    const unsigned processors = std::thread::hardware_concurrency();
    int jobs = processors > 0 ? int(processors) : 1;
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
    app.add_option("--jobs,-j", jobs,
                   "Files cropped at once; default: the number of processors. Each worker has Susie\n"
                   "plug-in hosts of its own; GV is not made for several files at once: while it is\n"
                   "on, one at a time")
        ->capture_default_str()
        ->check(CLI::Range(1, 1024));
    app.add_option("--files-from", filesFrom,
                   "Also crop the files named in this list, one path per line (blank lines are\n"
                   "skipped); - reads the list from standard input");
    TClipReaderOptions readers;
    app.add_flag("--no-susie", readers.NoSusie, "Do not use Susie plug-ins");
    app.add_flag("--no-gv", readers.NoGV, "Do not use GV");
    app.add_option("--susie-dir", readers.SusieDirectory, "Also load the Susie plug-ins of DIR")->type_name("DIR");
    app.add_option("--gv", readers.GVPath, "GV's program")->type_name("PATH");
    app.add_option("--susie-timeout", readers.SusieTimeoutSeconds,
                   "Seconds one picture may take in a Susie plug-in; past them its host is ended and\n"
                   "the file is NG")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600))
        ->type_name("SECONDS");
    app.footer([&readers] {
        TClipImage loader;
        loader.Configure(readers);
        return loader.ReaderList();
    });
    app.add_option("FILE", files, "Image files to crop");
    app.set_version_flag("--version", "talvern-clip " TALVERN_VERSION);

    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::reverse(arguments.begin(), arguments.end());  // the order CLI11 takes them in
    try {
        app.parse(arguments);
    } catch (const CLI::ParseError& error) {
        std::ostringstream out, err;
        const int status = app.exit(error, out, err);
        WriteText(stdout, out.str());
        WriteText(stderr, err.str());
        return status == 0 ? kExitAllOk : kExitUsage;
    }

    std::ifstream listFile;
    std::istream* list = nullptr;
    if (filesFrom == "-") {
        list = &std::cin;
    } else if (!filesFrom.empty()) {
        OpenByName(listFile, filesFrom);
        if (!listFile) {
            WriteLine(stderr, "talvern-clip: cannot read the list " + filesFrom);
            return kExitUsage;
        }
        list = &listFile;
    }
    TPathList paths(files, list);
    std::optional<std::string> first = paths.Next();

    // The run's checks, with the window's messages: the rectangle, at least one
    // file, the output directory.
    // Their loader goes on to the batch's first worker.
    const kxRect clipRect = *ParseCropGeometry(geometry);
    auto loader = std::make_unique<TClipImage>();
    loader->Configure(readers);
    {
        TConsoleClipHost checks(first ? std::vector<std::string>{*first} : std::vector<std::string>{},
                                outputDirectory);
        TClipJob job(checks, *loader);
        job.ClipRect = clipRect;
        if (!job.CheckRun()) {
            WriteLine(stderr, "talvern-clip: " + checks.LastError());
            return kExitUsage;
        }
        if (loader->GVEnable) jobs = 1;
    }

    const bool resultsOnTerminal = IsTerminal(stdout);
    TProgressLine progress(stderr, IsTerminal(stderr), MonotonicMilliseconds());
    if (!list) progress.SetTotal(files.size());
    std::uint64_t done = 0;
    bool allOk = true;
    TClipBatch batch(clipRect, outputDirectory, jobs, readers, std::move(loader));
    batch.Run(
        [&]() -> std::optional<std::string> {
            if (first) return std::exchange(first, std::nullopt);
            return paths.Next();
        },
        [&](const TConsoleClipHost::Entry& entry) {
            if (resultsOnTerminal) progress.Hide();
            PrintResult(entry);
            allOk = allOk && entry.Result == "OK";
            progress.Update(++done, MonotonicMilliseconds());
        });
    progress.Hide();
    return allOk ? kExitAllOk : kExitSomeFailed;
}
