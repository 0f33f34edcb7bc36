#pragma once
// A batch of files cropped by several workers at once, for the command-line
// clipper. Each worker has its own image (so its own reader state), host and
// job. Results come back on the calling thread in the order the paths were
// given; only a few paths per worker are read ahead, so memory stays the same
// however long the batch is.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cli/clip_image.h"
#include "cli/console_clip_host.h"
#include "image/kx_rect.h"

class TClipBatch {
public:
    using Entry = TConsoleClipHost::Entry;
    // The next path of the batch, or none at its end.
    using PathSource = std::function<std::optional<std::string>()>;
    using ResultSink = std::function<void(const Entry&)>;

    // jobs below 1 count as 1. Every worker's loader is set as `readers` say;
    // the first worker may be handed one made already (its plug-ins loaded once).
    TClipBatch(const kxRect& clipRect, std::string outputDirectory, int jobs, TClipReaderOptions readers = {},
               std::unique_ptr<TClipImage> firstLoader = nullptr);

    // Clips every path the source yields, `onResult` once per path in their
    // order. The output directory must exist (or be empty) already: the run's
    // checks are the job's CheckRun.
    void Run(const PathSource& next, const ResultSink& onResult);

private:
    // The loader handed in, else a new one set as the readers say.
    std::unique_ptr<TClipImage> TakeLoader();

    kxRect clipRect_;
    std::string outputDirectory_;
    int jobs_;
    TClipReaderOptions readers_;
    std::unique_ptr<TClipImage> firstLoader_;
};
