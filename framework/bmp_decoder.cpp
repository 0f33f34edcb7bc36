// Placeholder until the full decoder lands: accepts nothing.
#include "framework/bmp_decoder.h"

#include "framework/exceptions.h"

TDecodedBmp DecodeBmpFile(TStream&)
{
    throw EInvalidGraphic("ビットマップが不正です");
}
