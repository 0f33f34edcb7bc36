// Loading a 1024 x 768 PNG through the shipped Susie plug-in (as the program
// loads it: test, picture information, decode, DIB into a TBitmap) beside the
// same file read by the Windows Imaging Component directly into 24-bit rows, in
// one run. Repetitions interleave the two; medians are printed.
//   wic_plugin_bench.exe [repetitions]
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "external/kxv_spi.h"
#include "framework/bitmap.h"
#include "framework/file_system.h"
#include "framework/win32/com.h"
#include "wic_image_writer_win32.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

std::string Directory(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

bool ThroughPlugin(kxvSPI& spi, const std::string& file)
{
    TBitmap bitmap;
    PaletteHandle palette;
    spi.SetFileName(file);
    return spi.Support && spi.GetPicture(&bitmap, palette) && bitmap.Width() == kWidth;
}

// The plug-in's own decode, called as a host would, its blocks freed unread.
bool PluginDecodeOnly(spi::GetPictureProc getPicture, const std::string& file)
{
    HLOCAL info = nullptr, bits = nullptr;
    const bool ok = getPicture(file.c_str(), 0, 0, &info, &bits, nullptr, 0) == 0;
    LocalFree(info);
    LocalFree(bits);
    return ok;
}

bool ThroughWic(IWICImagingFactory* factory, const std::wstring& file, std::vector<BYTE>& rows)
{
    UniqueCom<IWICBitmapDecoder> decoder;
    UniqueCom<IWICBitmapFrameDecode> frame;
    UniqueCom<IWICFormatConverter> converter;
    const UINT stride = (kWidth * 3 + 3) & ~3u;
    rows.resize(std::size_t(stride) * kHeight);
    return SUCCEEDED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                        WICDecodeMetadataCacheOnDemand, decoder.put())) &&
           SUCCEEDED(decoder->GetFrame(0, frame.put())) && SUCCEEDED(factory->CreateFormatConverter(converter.put())) &&
           SUCCEEDED(converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr,
                                           0, WICBitmapPaletteTypeMedianCut)) &&
           SUCCEEDED(converter->CopyPixels(nullptr, stride, UINT(rows.size()), rows.data()));
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::string dir = Directory(ProgramPath());
    const std::string file = dir + "\\bench_1024x768.png";
    if (!WriteWicImage(file, TWicContainer::Png, kWidth, kHeight, TestPattern(kWidth, kHeight), false)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
    }
    kxvSPI spi(Directory(dir) + "\\app\\talvern_wic" + (sizeof(void*) == 8 ? ".sph" : ".spi"));
    if (!spi.Loaded) {
        std::fprintf(stderr, "the shipped plug-in is not beside app\\\n");
        return 1;
    }
    const ComScope com;
    UniqueCom<IWICImagingFactory> factory;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()));
    const std::wstring wide(file.begin(), file.end());
    std::vector<BYTE> rows;

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const auto now = [] {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return t.QuadPart;
    };
    const auto ms = [&](long long ticks) { return 1000.0 * double(ticks) / double(frequency.QuadPart); };
    const auto getPicture = reinterpret_cast<spi::GetPictureProc>(GetProcAddress(spi.Module.get(), "GetPicture"));
    std::vector<double> plugin, decodeOnly, infoOnly, direct;
    for (int i = 0; i <= repetitions; ++i) {  // the first round warms up and is not counted
        const auto t0 = now();
        const bool a = ThroughPlugin(spi, file);
        const auto t1 = now();
        const bool b = ThroughWic(factory.get(), wide, rows);
        const auto t2 = now();
        const bool c = PluginDecodeOnly(getPicture, file);
        const auto t3 = now();
        const bool d = spi.GetPictureInfo();
        const auto t4 = now();
        if (!a || !b || !c || !d) {
            std::fprintf(stderr, "a load failed (plug-in %d, WIC %d, decode %d)\n", a, b, c);
            return 1;
        }
        if (i == 0) continue;
        plugin.push_back(ms(t1 - t0));
        direct.push_back(ms(t2 - t1));
        decodeOnly.push_back(ms(t3 - t2));
        infoOnly.push_back(ms(t4 - t3));
    }
    const double p = Median(plugin), d = Median(direct);
    std::printf("1024x768 24-bit PNG, median of %d\n", repetitions);
    std::printf("  through the plug-in into a TBitmap: %8.2f ms\n", p);
    std::printf("  the plug-in's GetPicture alone:     %8.2f ms\n", Median(decodeOnly));
    std::printf("  the plug-in's GetPictureInfo alone: %8.2f ms\n", Median(infoOnly));
    std::printf("  WIC directly into 24-bit rows:      %8.2f ms\n", d);
    std::printf("  ratio plug-in / WIC:                %8.2f\n", p / d);
    return 0;
}
