#include "framework/win32/registry.h"

#include <vector>

#include "framework/win32/wide.h"

bool TRegistry::OpenKeyReadOnly(const std::string& key)
{
    std::string path = key;
    if (!path.empty() && path.front() == '\\') path.erase(0, 1);
    UniqueKey opened;
    if (RegOpenKeyExW(root_, Utf8ToWide(path).c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) return false;
    key_ = std::move(opened);
    return true;
}

std::string TRegistry::ReadString(const std::string& name) const
{
    if (!key_) return {};
    const std::wstring wideName = Utf8ToWide(name);
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
        ERROR_SUCCESS)
        return {};
    // The stored text need not end in a terminator; the buffer has one spare.
    return WideToUtf8(std::wstring(text.data()));
}
