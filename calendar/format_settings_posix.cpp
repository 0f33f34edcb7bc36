#include "calendar/format_settings.h"

TFormatSettings DefaultFormatSettings()
{
    return TFormatSettings{};
}
