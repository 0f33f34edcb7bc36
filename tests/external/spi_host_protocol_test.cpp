// The plug-in host's messages: what goes out comes back whole, and the program
// takes no reply that does not answer its request or that lies about a size.
#include <gtest/gtest.h>

#include "external/spi_host_protocol.h"

namespace {

using namespace spihost;

TRequest PictureRequest()
{
    TRequest request;
    request.call = TCall::Picture;
    request.sequence = 7;
    request.plugin = u"C:\\plug-ins\\a.sph";
    request.file = u"C:\\pictures\\\u6F22\u5B57.png";
    request.offset = -3;
    request.memory = true;
    request.bytes = {1, 2, 3};
    return request;
}

TReply DibReply()
{
    TReply reply;
    reply.call = TCall::Picture;
    reply.sequence = 7;
    reply.section = 0x1234;
    reply.infoBytes = 40;
    reply.bitsBytes = 8;
    return reply;
}

std::vector<std::uint8_t> Body(std::vector<std::uint8_t> frame)
{
    EXPECT_EQ(FrameLength(frame.data()), frame.size() - 4);
    return {frame.begin() + 4, frame.end()};
}

TEST(SpiHostProtocol, RequestsAndRepliesComeBackWhole)
{
    const TRequest request = PictureRequest();
    const std::optional<TRequest> decoded = DecodeRequest(Body(EncodeRequest(request)));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->call, TCall::Picture);
    EXPECT_EQ(decoded->sequence, 7u);
    EXPECT_EQ(decoded->plugin, request.plugin);
    EXPECT_EQ(decoded->file, request.file);
    EXPECT_EQ(decoded->offset, -3);
    EXPECT_TRUE(decoded->memory);
    EXPECT_EQ(decoded->bytes, request.bytes);

    TRequest info;
    info.call = TCall::PictureInfo;
    TReply reply;
    reply.call = TCall::PictureInfo;
    reply.text = u"comment";
    reply.info = {-1, 2, 1024, 768, 72, 96, -24};
    const std::optional<TReply> parsed = ParseReply(info, Body(EncodeReply(reply)));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->text, u"comment");
    EXPECT_EQ(parsed->info.left, -1);
    EXPECT_EQ(parsed->info.height, 768);
    EXPECT_EQ(parsed->info.yDensity, 96);
    EXPECT_EQ(parsed->info.colorDepth, -24);

    const std::vector<std::uint8_t> body = Body(EncodeRequest(request));
    for (std::size_t cut = 0; cut < body.size(); ++cut)
        EXPECT_FALSE(DecodeRequest({body.data(), cut})) << cut;
}

TEST(SpiHostProtocol, AReplyMustAnswerItsOwnRequest)
{
    const TRequest request = PictureRequest();
    const std::vector<std::uint8_t> good = Body(EncodeReply(DibReply()));
    ASSERT_TRUE(ParseReply(request, good));
    for (std::size_t cut = 0; cut < good.size(); ++cut) EXPECT_FALSE(ParseReply(request, {good.data(), cut})) << cut;
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(ParseReply(request, longer));

    const auto rejected = [&](auto change) {
        TReply reply = DibReply();
        change(reply);
        return !ParseReply(request, Body(EncodeReply(reply)));
    };
    EXPECT_TRUE(rejected([](TReply& r) { r.sequence = 8; }));
    EXPECT_TRUE(rejected([](TReply& r) { r.call = TCall::Preview; }));
    EXPECT_TRUE(rejected([](TReply& r) { r.status = TStatus(2); }));
    EXPECT_TRUE(rejected([](TReply& r) { r.section = 0; }));  // a picture without its mapping
    EXPECT_TRUE(rejected([](TReply& r) { r.result = 1; }));   // an error with a mapping
    EXPECT_TRUE(rejected([](TReply& r) { r.text = u"x"; }));  // no text belongs to a picture
    EXPECT_TRUE(rejected([](TReply& r) { r.reason = std::u16string(kMaxReason + 1, u'x'); }));
    EXPECT_FALSE(rejected([](TReply& r) {
        r = TReply{};
        r.call = TCall::Picture;
        r.sequence = 7;
        r.status = TStatus::Failed;
        r.reason = u"the plug-in returned no picture";
    }));

    // An info string must fit the buffer it was asked for, terminator included.
    TRequest info;
    info.call = TCall::PluginInfo;
    info.length = 4;
    TReply answer;
    answer.call = TCall::PluginInfo;
    answer.text = u"abc";
    EXPECT_TRUE(ParseReply(info, Body(EncodeReply(answer))));
    answer.text = u"abcd";
    EXPECT_FALSE(ParseReply(info, Body(EncodeReply(answer))));
}

TEST(SpiHostProtocol, ADibMustLieWithinItsMapping)
{
    TReply reply = DibReply();
    EXPECT_TRUE(DibFitsView(reply, 48));
    EXPECT_TRUE(DibFitsView(reply, 4096));
    EXPECT_FALSE(DibFitsView(reply, 47));
    reply.infoBytes = 39;
    EXPECT_FALSE(DibFitsView(reply, 4096));
    reply.infoBytes = 40;
    reply.bitsBytes = ~std::uint64_t{0} - 20;  // a sum that wraps
    EXPECT_FALSE(DibFitsView(reply, 4096));
    reply.infoBytes = ~std::uint64_t{0};
    reply.bitsBytes = 1;
    EXPECT_FALSE(DibFitsView(reply, 4096));
}

}  // namespace
