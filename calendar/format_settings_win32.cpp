#include <windows.h>

#include "calendar/format_settings.h"
#include "framework/win32/wide.h"

namespace {

std::string LocaleText(LCTYPE item)
{
    wchar_t buffer[80];
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, buffer, static_cast<int>(std::size(buffer)));
    if (length <= 1) return {};
    return WideToUtf8(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

}  // namespace

TFormatSettings DefaultFormatSettings()
{
    TFormatSettings settings;
    if (std::string separator = LocaleText(LOCALE_SDATE); !separator.empty()) settings.DateSeparator = separator;
    // The locale lists Monday first; ours starts with Sunday.
    static constexpr LCTYPE names[7] = {LOCALE_SABBREVDAYNAME7, LOCALE_SABBREVDAYNAME1, LOCALE_SABBREVDAYNAME2,
                                        LOCALE_SABBREVDAYNAME3, LOCALE_SABBREVDAYNAME4, LOCALE_SABBREVDAYNAME5,
                                        LOCALE_SABBREVDAYNAME6};
    for (std::size_t i = 0; i < 7; ++i)
        if (std::string name = LocaleText(names[i]); !name.empty()) settings.ShortDayNames[i] = name;
    return settings;
}
