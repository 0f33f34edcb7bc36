#pragma once
// One Susie plug-in loaded inside the plug-in host, and the host's answer to a
// request for it. The host shows the plug-in a file the way it can take the
// name without loss: through its Unicode exports where it has them; else the
// name in the ANSI code page; else the short 8.3 name; else the file's bytes in
// memory mode. Texts the narrow exports return come back from the ANSI code
// page. Everything the plug-in hands over is bounded by the block it came in.
#include <windows.h>

#include <cstdint>
#include <string>

#include "external/spi_host_protocol.h"
#include "framework/win32/handles.h"

class THostedPlugin {
public:
    explicit THostedPlugin(const std::wstring& path);

    // Fills the reply's status, result and payload for `request`.
    void Answer(const spihost::TRequest& request, spihost::TReply& reply);

private:
    using LongPtr = std::intptr_t;
    template <typename Char>
    struct TExports {
        int(WINAPI* getPluginInfo)(int, Char*, int) = nullptr;
        int(WINAPI* isSupported)(const Char*, std::uintptr_t) = nullptr;
        int(WINAPI* getPictureInfo)(const Char*, LongPtr, unsigned, void*) = nullptr;
        int(WINAPI* getPicture)(const Char*, LongPtr, unsigned, HLOCAL*, HLOCAL*, void*, LongPtr) = nullptr;
        int(WINAPI* getPreview)(const Char*, LongPtr, unsigned, HLOCAL*, HLOCAL*, void*, LongPtr) = nullptr;
    };
    template <typename Char>
    void Resolve(TExports<Char>& exports, const char* suffix);

    void PluginInfo(const spihost::TRequest& request, spihost::TReply& reply);
    void IsSupported(const spihost::TRequest& request, spihost::TReply& reply);
    void PictureInfo(const spihost::TRequest& request, spihost::TReply& reply);
    void Picture(const spihost::TRequest& request, spihost::TReply& reply);
    bool HasEntry(spihost::TCall call) const;

    UniqueModule module_;
    std::u16string loadFailure_;
    bool wide_ = false;  // GetPluginInfoW present: the W exports are used where present
    TExports<char> narrow_;
    TExports<wchar_t> unicode_;
};

// True when every heap of the process passes its own check: a plug-in that
// wrote over heap memory leaves a host that must not go on.
bool HeapsAreSound();
