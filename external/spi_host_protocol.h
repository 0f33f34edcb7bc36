#pragma once
// The messages between the program and its plug-in host, the process of ours
// that loads Susie plug-ins and calls them. Each message is a frame: its body's
// length (32 bits) and the body. All numbers are little-endian; every text is
// UTF-16 (a count of units, then the units).
//
// A request names its call, a sequence number, the plug-in's path and the
// call's arguments. A reply echoes call and sequence and says whether the
// plug-in answered (its result, info text, picture information, and for the
// picture calls the DIB) or whether the host could not call it (a reason).
// The DIB itself travels in a file mapping the host creates: the reply names
// the host's handle to it and where the two blocks lie in it.
//
// The host is untrusted: ParseReply takes only a reply that answers its request,
// with every count and size within the bounds below, and DibFitsView measures
// the DIB against the mapping the program really got.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace spihost {

enum class TCall : std::uint32_t { PluginInfo = 1, IsSupported, PictureInfo, Picture, Preview };
enum class TStatus : std::uint32_t { Answered = 0, Failed = 1 };

// Frame bodies: replies carry small texts only; requests may carry an image in
// memory mode.
constexpr std::uint32_t kMaxReply = 1u << 20;
constexpr std::uint32_t kMaxRequest = 256u << 20;
// Texts in replies, in UTF-16 units.
constexpr std::uint32_t kMaxInfoText = 65536;
constexpr std::uint32_t kMaxReason = 1024;
// The smallest DIB info block: a BITMAPINFOHEADER.
constexpr std::uint64_t kMinDibInfo = 40;

struct TRequest {
    TCall call = TCall::PluginInfo;
    std::uint32_t sequence = 0;
    std::u16string plugin;
    std::u16string file;
    std::int32_t number = 0;  // PluginInfo: the info number
    std::int32_t length = 0;  // PluginInfo: the buffer's length
    std::int64_t offset = 0;  // the picture calls' offset-or-length
    bool memory = false;      // the picture calls: `bytes` is the image
    // IsSupported: the file's first bytes; in memory mode the image.
    std::vector<std::uint8_t> bytes;
};

struct TPictureInfo {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::uint16_t xDensity = 0, yDensity = 0;
    std::int16_t colorDepth = 0;
};

struct TReply {
    TCall call = TCall::PluginInfo;
    std::uint32_t sequence = 0;
    TStatus status = TStatus::Answered;
    std::u16string reason;  // Failed: why the host could not call the plug-in
    std::int32_t result = 0;
    // PluginInfo: the info string; PictureInfo: the plug-in's info text.
    std::u16string text;
    TPictureInfo info;
    // Picture, Preview with result 0: the host's handle to the mapping, the info
    // block at offset 0 and the bits right after it.
    std::uint64_t section = 0;
    std::uint64_t infoBytes = 0;
    std::uint64_t bitsBytes = 0;
};

// Whole frames, length included.
std::vector<std::uint8_t> EncodeRequest(const TRequest& request);
std::vector<std::uint8_t> EncodeReply(const TReply& reply);
// Frame bodies. Nullopt for a body cut short, with bytes over, or with a count
// past its bound.
std::optional<TRequest> DecodeRequest(std::span<const std::uint8_t> body);
// Nullopt also for a reply to another call or sequence, a text longer than the
// call allows, or a mapping where none belongs or missing where one does.
std::optional<TReply> ParseReply(const TRequest& request, std::span<const std::uint8_t> body);
// The body length a frame's first four bytes announce.
std::uint32_t FrameLength(const std::uint8_t* prefix);

// True when the DIB's two blocks lie within the `viewBytes` of its mapping and
// the info block holds at least an info header.
bool DibFitsView(const TReply& reply, std::uint64_t viewBytes);

}  // namespace spihost
