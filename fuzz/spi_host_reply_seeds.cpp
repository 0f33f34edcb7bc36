// Seeds for spi_host_reply_fuzz: one good reply of each kind, each with the
// request byte and mapping size that make it taken.
//   spi_host_reply_fuzz_seeds CORPUS-FOLDER
#include <cstdint>
#include <cstdio>
#include <string>

#include "external/spi_host_protocol.h"

using namespace spihost;

namespace {

void Write(const std::string& folder, const std::string& name, std::uint8_t requestByte, std::uint64_t viewBytes,
           const TReply& reply)
{
    std::vector<std::uint8_t> seed{requestByte};
    for (int i = 0; i < 8; ++i) seed.push_back(std::uint8_t(viewBytes >> (8 * i)));
    const std::vector<std::uint8_t> frame = EncodeReply(reply);
    seed.insert(seed.end(), frame.begin() + 4, frame.end());
    if (std::FILE* file = std::fopen((folder + "/" + name).c_str(), "wb")) {
        std::fwrite(seed.data(), 1, seed.size(), file);
        std::fclose(file);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const std::string folder = argv[1];
    // The request byte: call (1 + byte % 5), buffer length byte / 5.
    TReply info;
    info.call = TCall::PluginInfo;
    info.sequence = 7;
    info.result = 4;
    info.text = u"00IN";
    Write(folder, "plugin_info", std::uint8_t(0 + 5 * 40), 0, info);

    TReply supported;
    supported.call = TCall::IsSupported;
    supported.sequence = 7;
    supported.result = 1;
    Write(folder, "is_supported", 1, 0, supported);

    TReply picture;
    picture.call = TCall::PictureInfo;
    picture.sequence = 7;
    picture.info = {0, 0, 1024, 768, 72, 72, 24};
    picture.text = u"comment";
    Write(folder, "picture_info", 2, 0, picture);

    TReply dib;
    dib.call = TCall::Picture;
    dib.sequence = 7;
    dib.section = 0x1C4;
    dib.infoBytes = 40;
    dib.bitsBytes = 1024 * 768 * 3;
    Write(folder, "picture", 3, 4096 * 577, dib);

    TReply failed;
    failed.call = TCall::Preview;
    failed.sequence = 7;
    failed.status = TStatus::Failed;
    failed.reason = u"the plug-in returned no picture";
    Write(folder, "preview_failed", 4, 0, failed);
    return 0;
}
