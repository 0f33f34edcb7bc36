#pragma once
// The command-line clipper's loader: the multi-format loader, started as the
// window starts its own (each outside reader switched on where it is found),
// then set as the options say. An animated GIF loads to its last frame without
// waiting out its delays.
#include <optional>
#include <string>

#include "image/kxv_super_image.h"

struct TClipReaderOptions {
    bool NoSusie = false;
    bool NoGV = false;
    std::string SusieDirectory;  // added as the plug-in button adds a folder
    std::string GVPath;          // as the GV button sets it
    unsigned SusieTimeoutSeconds = 30;  // one picture from a plug-in
};

class TClipImage : public kxvSuperImage {
public:
    TClipImage();
    void Configure(const TClipReaderOptions& options);
    // Why the last load failed, for the terminal.
    std::string FailureReason() const;
    // The readers that are on and the formats each brings, one per line.
    std::string ReaderList();
};
