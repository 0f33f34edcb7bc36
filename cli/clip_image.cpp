#include "cli/clip_image.h"

#include "framework/utf8.h"

TClipImage::TClipImage()
{
    GIF.UseDelay = false;
    SetSusieEnable(true);
    SetGVEnable(true);
}

void TClipImage::Configure(const TClipReaderOptions& options)
{
    Susie->SetPictureLimit(options.SusieTimeoutSeconds * 1000u);
    if (!options.SusieDirectory.empty()) SetSusiePath(options.SusieDirectory);
    if (!options.GVPath.empty()) SetGVPath(options.GVPath);
    if (options.NoSusie) SetSusieEnable(false);
    if (options.NoGV) SetGVEnable(false);
}

std::string TClipImage::FailureReason() const
{
    switch (LastFailure()) {
    case TLoadFailure::None: return {};
    case TLoadFailure::NotFound: return "not found";
    case TLoadFailure::Unrecognised:
        // An outside reader that failed on the file, or could not be given its name, says why.
        return LastFailureMessage().empty() ? "not a picture this program reads" : LastFailureMessage();
    case TLoadFailure::Unreadable:
    case TLoadFailure::Malformed: break;
    }
    return LastFailureMessage().empty() ? "unreadable" : LastFailureMessage();
}

namespace {

// "description|patterns|..." as "  description: patterns" lines.
std::string FilterLines(const std::string& filter)
{
    std::string lines;
    std::size_t start = 0;
    bool description = true;
    for (std::size_t i = 0; i <= filter.size(); i = i < filter.size() ? Utf8Next(filter, i) : i + 1) {
        if (i < filter.size() && filter[i] != '|') continue;
        lines += (description ? "    " : ": ") + filter.substr(start, i - start) + (description ? "" : "\n");
        description = !description;
        start = i + 1;
    }
    return lines;
}

}  // namespace

std::string TClipImage::ReaderList()
{
    std::string list = "Readers on:\n  built in\n    ﾋﾞｯﾄﾏｯﾌﾟ: *.BMP;*.RLE;*.RGB;*.DIB\n    GIF: *.GIF\n";
    if (SusieEnable) list += "  Susie plug-ins (" + GetSusiePath() + ")\n" + FilterLines(Susie->GetFilter());
    if (const std::string remarks = SusieEnable ? Susie->Remarks() : ""; !remarks.empty())
        list += "    (loads " + remarks + ")\n";
    if (GVEnable) list += "  GV (" + GetGVPath() + ")\n" + FilterLines(GV->GetFilter());
    if (!SusieEnable && !GVEnable) list += "  (no Susie plug-ins or GV)\n";
    return list;
}
