#pragma once
// An outside reader that this platform does not have: always off, it refuses to
// be switched on, offers no formats and loads nothing.
#include "image/external_reader.h"

class TAbsentReader final : public TExternalReader {
public:
    bool Enable() const override { return false; }
    void SetEnable(bool) override {}
    std::string Path() const override { return path_; }
    void SetPath(const std::string& value) override { path_ = value; }
    std::string GetFilter() override { return {}; }
    bool LoadFromFile(const std::string&, TBitmap&) override { return false; }
    int SourceColorDepth() const override { return 0; }
    const TLogPalette* SourcePalette() const override { return nullptr; }
    void SetPalette(PaletteHandle) override {}

private:
    std::string path_;
};
