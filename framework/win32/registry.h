#pragma once
// Read-only registry access: a root key, one open key, its string values.
#include <windows.h>

#include <string>

#include "framework/win32/handles.h"

class TRegistry {
public:
    explicit TRegistry(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

    // Opens `key` below the root for reading (a leading "\" is allowed); never
    // creates it. False when it does not exist or cannot be read.
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey() { key_.reset(); }

    // The value `name` of the open key ("" for the key's default value) as
    // text; empty when there is no open key, no such value, or it is no string.
    std::string ReadString(const std::string& name) const;

private:
    HKEY root_;
    UniqueKey key_;
};
