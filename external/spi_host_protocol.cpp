#include "external/spi_host_protocol.h"

#include <cstring>

namespace spihost {

namespace {

class TWriter {
public:
    TWriter() { bytes_.resize(4); }
    template <typename T>
    void Number(T value)
    {
        for (std::size_t i = 0; i < sizeof(T); ++i) bytes_.push_back(std::uint8_t(std::uint64_t(value) >> (8 * i)));
    }
    void Text(const std::u16string& text)
    {
        Number(std::uint32_t(text.size()));
        for (const char16_t unit : text) Number(std::uint16_t(unit));
    }
    void Bytes(const std::vector<std::uint8_t>& bytes)
    {
        Number(std::uint32_t(bytes.size()));
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> Frame()
    {
        const auto length = std::uint32_t(bytes_.size() - 4);
        for (std::size_t i = 0; i < 4; ++i) bytes_[i] = std::uint8_t(length >> (8 * i));
        return std::move(bytes_);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// Reads fields in order; after the first read past the end every read gives 0
// and Whole() is false.
class TReader {
public:
    explicit TReader(std::span<const std::uint8_t> body) : body_(body) {}
    template <typename T>
    T Number()
    {
        if (!Take(sizeof(T))) return T{};
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) value |= std::uint64_t(body_[at_ - sizeof(T) + i]) << (8 * i);
        return T(value);
    }
    std::u16string Text(std::uint32_t limit)
    {
        const auto count = Number<std::uint32_t>();
        if (count > limit || !Fits(std::uint64_t(count) * 2)) {
            failed_ = true;
            return {};
        }
        std::u16string text(count, u'\0');
        for (char16_t& unit : text) unit = char16_t(Number<std::uint16_t>());
        return text;
    }
    std::vector<std::uint8_t> Bytes(std::uint32_t limit)
    {
        const auto count = Number<std::uint32_t>();
        if (count > limit || !Take(count)) {
            failed_ = true;
            return {};
        }
        return {body_.begin() + std::ptrdiff_t(at_ - count), body_.begin() + std::ptrdiff_t(at_)};
    }
    bool Whole() const { return !failed_ && at_ == body_.size(); }

private:
    bool Fits(std::uint64_t count) const { return !failed_ && count <= body_.size() - at_; }
    bool Take(std::uint64_t count)
    {
        if (!Fits(count)) {
            failed_ = true;
            return false;
        }
        at_ += std::size_t(count);
        return true;
    }

    std::span<const std::uint8_t> body_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

bool IsCall(std::uint32_t value)
{
    return value >= std::uint32_t(TCall::PluginInfo) && value <= std::uint32_t(TCall::Preview);
}

bool IsPictureCall(TCall call)
{
    return call == TCall::Picture || call == TCall::Preview;
}

// A path of the file system in UTF-16 units, with room for long-path prefixes.
constexpr std::uint32_t kMaxPath = 32768;

}  // namespace

std::vector<std::uint8_t> EncodeRequest(const TRequest& request)
{
    TWriter out;
    out.Number(std::uint32_t(request.call));
    out.Number(request.sequence);
    out.Text(request.plugin);
    out.Text(request.file);
    out.Number(request.number);
    out.Number(request.length);
    out.Number(request.offset);
    out.Number(std::uint8_t(request.memory));
    out.Bytes(request.bytes);
    return out.Frame();
}

std::optional<TRequest> DecodeRequest(std::span<const std::uint8_t> body)
{
    TReader in(body);
    TRequest request;
    const auto call = in.Number<std::uint32_t>();
    request.call = TCall(call);
    request.sequence = in.Number<std::uint32_t>();
    request.plugin = in.Text(kMaxPath);
    request.file = in.Text(kMaxPath);
    request.number = in.Number<std::int32_t>();
    request.length = in.Number<std::int32_t>();
    request.offset = in.Number<std::int64_t>();
    request.memory = in.Number<std::uint8_t>() != 0;
    request.bytes = in.Bytes(kMaxRequest);
    if (!in.Whole() || !IsCall(call)) return std::nullopt;
    return request;
}

std::vector<std::uint8_t> EncodeReply(const TReply& reply)
{
    TWriter out;
    out.Number(std::uint32_t(reply.call));
    out.Number(reply.sequence);
    out.Number(std::uint32_t(reply.status));
    out.Text(reply.reason);
    out.Number(reply.result);
    out.Text(reply.text);
    out.Number(reply.info.left);
    out.Number(reply.info.top);
    out.Number(reply.info.width);
    out.Number(reply.info.height);
    out.Number(reply.info.xDensity);
    out.Number(reply.info.yDensity);
    out.Number(reply.info.colorDepth);
    out.Number(reply.section);
    out.Number(reply.infoBytes);
    out.Number(reply.bitsBytes);
    return out.Frame();
}

std::optional<TReply> ParseReply(const TRequest& request, std::span<const std::uint8_t> body)
{
    TReader in(body);
    TReply reply;
    reply.call = TCall(in.Number<std::uint32_t>());
    reply.sequence = in.Number<std::uint32_t>();
    const auto status = in.Number<std::uint32_t>();
    reply.status = TStatus(status);
    reply.reason = in.Text(kMaxReason);
    reply.result = in.Number<std::int32_t>();
    // An info string fits the buffer it was read into, terminator included.
    const std::uint32_t textLimit = request.call == TCall::PluginInfo
                                        ? (request.length > 0 ? std::uint32_t(request.length) - 1 : 0)
                                        : request.call == TCall::PictureInfo ? kMaxInfoText : 0;
    reply.text = in.Text(textLimit);
    reply.info.left = in.Number<std::int32_t>();
    reply.info.top = in.Number<std::int32_t>();
    reply.info.width = in.Number<std::int32_t>();
    reply.info.height = in.Number<std::int32_t>();
    reply.info.xDensity = in.Number<std::uint16_t>();
    reply.info.yDensity = in.Number<std::uint16_t>();
    reply.info.colorDepth = in.Number<std::int16_t>();
    reply.section = in.Number<std::uint64_t>();
    reply.infoBytes = in.Number<std::uint64_t>();
    reply.bitsBytes = in.Number<std::uint64_t>();
    if (!in.Whole() || reply.call != request.call || reply.sequence != request.sequence) return std::nullopt;
    if (status != std::uint32_t(TStatus::Answered) && status != std::uint32_t(TStatus::Failed)) return std::nullopt;
    const bool carriesDib = reply.status == TStatus::Answered && IsPictureCall(reply.call) && reply.result == 0;
    if (carriesDib != (reply.section != 0)) return std::nullopt;
    if (!carriesDib && (reply.infoBytes != 0 || reply.bitsBytes != 0)) return std::nullopt;
    return reply;
}

std::uint32_t FrameLength(const std::uint8_t* prefix)
{
    return std::uint32_t(prefix[0]) | std::uint32_t(prefix[1]) << 8 | std::uint32_t(prefix[2]) << 16 |
           std::uint32_t(prefix[3]) << 24;
}

bool DibFitsView(const TReply& reply, std::uint64_t viewBytes)
{
    return reply.infoBytes >= kMinDibInfo && reply.infoBytes <= viewBytes &&
           reply.bitsBytes <= viewBytes - reply.infoBytes;
}

}  // namespace spihost
