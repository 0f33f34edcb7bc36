#pragma once
// kxvSuperImage: the image view that reads every format the program knows. It
// is the one place where a reader is chosen: a BMP or GIF by its content, then
// the Susie plug-in set, then GV, then the picture's own loader.
#include <memory>
#include <string>

#include "framework/byte_buffer.h"
#include "gif/kxv_gif.h"
#include "image/external_reader.h"
#include "image/kxv_image.h"

// Why the last load failed, as far as the load itself found out.
enum class TLoadFailure {
    None,          // the load succeeded
    NotFound,      // empty name, or no such file
    Unreadable,    // the file exists but could not be opened or read
    Malformed,     // a built-in reader took the file and found it broken
    Unrecognised,  // no reader decoded the file; an outside reader's refusal is the message
};

class kxvSuperImage : public kxvImage {
public:
    // With the platform's Susie set and GV bridge.
    kxvSuperImage();
    kxvSuperImage(std::unique_ptr<TExternalReader> susie, std::unique_ptr<TExternalReader> gv);
    ~kxvSuperImage() override;

    kxvGIF GIF;
    const std::unique_ptr<TExternalReader> Susie;
    const std::unique_ptr<TExternalReader> GV;

    // What the readers said the last time they were switched or located through
    // this view: whether each is really on.
    bool GVEnable = false;
    bool SusieEnable = false;
    void SetGVEnable(bool value);
    void SetSusieEnable(bool value);
    std::string GetGVPath() const { return GV->Path(); }
    void SetGVPath(const std::string& value);
    std::string GetSusiePath() const { return Susie->Path(); }
    void SetSusiePath(const std::string& value);

    std::string GetFilter() override;
    // Never raises; false on every failure, with the reason in LastFailure().
    bool LoadFromFile(const std::string& fileName) override;
    // The BMP and GIF readers decode only what the region needs, reading the
    // file through a small buffer instead of whole; the outside readers decode
    // the whole picture.
    bool LoadRegionFromFile(const std::string& fileName, const TRect& region) override;
    // True when the file's first two bytes are "BM". Raises the file errors.
    static bool IsBitmap(const std::string& fileName);

    TLoadFailure LastFailure() const { return lastFailure_; }
    // The message of the error behind Unreadable or Malformed, or the outside
    // reader's refusal behind Unrecognised.
    const std::string& LastFailureMessage() const { return lastFailureMessage_; }

    // The GIF decoder's paint event: shows what it has drawn so far.
    void GIFOnPaint(kxvGIF& sender, kxRect* rect);

private:
    // LoadRegionFromFile, or without a region LoadFromFile.
    bool Load(const std::string& fileName, const TRect* region);
    bool LoadContent(const std::string& fileName, const TRect* region);
    bool LoadBuiltIn(const std::string& fileName);
    bool LoadBuiltIn(TStream& stream);
    bool LoadBuiltInRegion(const std::string& fileName, const TRect& region);
    void TakeFromGIF();
    bool TakeFromReader(TExternalReader& reader);

    TByteBuffer fileBytes_;  // the last file read whole (or a region's rows), its memory kept for the next
    bool fileBytesInUse_ = false;
    TByteBuffer gatheredRows_;  // a region's 24-bit rows that took several reads

    TLoadFailure lastFailure_ = TLoadFailure::None;
    std::string lastFailureMessage_;
};
