#include "plugin_fixtures_win32.h"

#include <windows.h>

#include "framework/file_system.h"
#include "framework/win32/wide.h"
#include "test_support.h"

namespace {

std::string Parent(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

}  // namespace

std::string BuildDir()
{
    return Parent(Parent(Parent(ProgramPath())));
}

std::string PluginExtension()
{
    return sizeof(void*) == 8 ? ".sph" : ".spi";
}

std::string FixturePlugin(const std::string& name)
{
    return BuildDir() + "\\tests\\fixtures\\" + name + PluginExtension();
}

std::string FixturePlugin32(const std::string& name)
{
    return BuildDir() + "\\companion32\\tests\\fixtures\\" + name + ".spi";
}

std::string ShippedPlugin()
{
    return BuildDir() + "\\app\\talvern_wic" + PluginExtension();
}

std::string InstallPlugin(const std::string& plugin, const std::string& dir, const std::string& name)
{
    const std::string target = dir + "\\" + name + plugin.substr(plugin.size() - 4);
    CopyFileW(Utf8ToWide(plugin).c_str(), Utf8ToWide(target).c_str(), FALSE);
    return target;
}

std::string WriteDibRequest(const std::string& dir, char kind)
{
    const std::string path = dir + "\\request_" + std::string(1, kind) + ".tvd";
    WriteAll(path, Bytes().str("TVDIB").u8(std::uint8_t(kind)).fill(10).data);
    return path;
}
