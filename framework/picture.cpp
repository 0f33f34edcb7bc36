#include "framework/picture.h"

#include <algorithm>
#include <cctype>

#include "framework/utf8.h"
#include "framework/exceptions.h"

namespace {

std::string LowerExtension(const std::string& fileName)
{
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i < fileName.size(); i = Utf8Next(fileName, i)) {
        const char c = fileName[i];
        if (c == '.') dot = i;
        else if (c == '\\' || c == '/' || c == ':') dot = std::string::npos;
    }
    if (dot == std::string::npos) return {};
    std::string ext = fileName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

void RequireBitmapExtension(const std::string& fileName)
{
    const std::string ext = LowerExtension(fileName);
    if (ext != "bmp" && ext != "dib" && ext != "rle")
        throw EInvalidGraphic("不明な画像ファイルの拡張子です (." + ext + ")");
}

}  // namespace

void TPicture::LoadFromFile(const std::string& fileName)
{
    RequireBitmapExtension(fileName);
    TBitmap loaded;
    loaded.LoadFromFile(fileName);
    bitmap_.TakeOver(loaded);
}

void TPicture::LoadFromStream(TStream& stream, const std::string& fileName)
{
    RequireBitmapExtension(fileName);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    bitmap_.TakeOver(loaded);
}
