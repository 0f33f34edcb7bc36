// The program's reading of plug-in host replies, on arbitrary bytes: the first
// byte picks the request the reply must answer (its call and, for the info
// calls, the buffer's length), the next eight the size of the mapping the DIB
// claims to lie in, the rest is the reply's body. A reply taken must keep every
// bound: texts within the call's limit, a mapping only with a picture, and a
// DIB taken only when both blocks lie within the mapping. Re-encoded, it reads
// back the same. The host's reading of requests gets the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "external/spi_host_protocol.h"

using namespace spihost;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 9) return 0;
    TRequest request;
    request.call = TCall(1 + data[0] % 5);
    request.length = data[0] / 5;
    request.sequence = 7;
    std::uint64_t viewBytes = 0;
    std::memcpy(&viewBytes, data + 1, 8);
    const std::span<const std::uint8_t> body(data + 9, size - 9);

    DecodeRequest(body);
    const std::optional<TReply> reply = ParseReply(request, body);
    if (!reply) return 0;
    if (reply->call != request.call || reply->sequence != request.sequence) std::abort();
    if (reply->reason.size() > kMaxReason || reply->text.size() > kMaxInfoText) std::abort();
    if (request.call == TCall::PluginInfo && reply->text.size() >= std::size_t(request.length) && !reply->text.empty())
        std::abort();
    if (reply->section != 0 && (reply->result != 0 || reply->status != TStatus::Answered)) std::abort();
    if (DibFitsView(*reply, viewBytes) &&
        (reply->infoBytes < kMinDibInfo || reply->infoBytes + reply->bitsBytes > viewBytes ||
         reply->infoBytes + reply->bitsBytes < reply->infoBytes))
        std::abort();

    const std::vector<std::uint8_t> again = EncodeReply(*reply);
    const std::optional<TReply> back = ParseReply(request, {again.data() + 4, again.size() - 4});
    if (!back || back->text != reply->text || back->reason != reply->reason || back->section != reply->section ||
        back->infoBytes != reply->infoBytes || back->bitsBytes != reply->bitsBytes || back->result != reply->result)
        std::abort();
    return 0;
}
