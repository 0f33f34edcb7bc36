#pragma once
// Where the test plug-ins and the shipped plug-in are built, and files for them.
#include <string>

// The build's folder (three levels above the test program).
std::string BuildDir();
// A test plug-in of tests/fixtures by its target name, with this build's extension.
std::string FixturePlugin(const std::string& name);
// In a 64-bit build, a 32-bit test plug-in (built beside, for the 32-bit host).
std::string FixturePlugin32(const std::string& name);
// The shipped plug-in as installed beside the programs.
std::string ShippedPlugin();
// This build's plug-in extension, ".spi" or ".sph".
std::string PluginExtension();
// Copies `plugin` into `dir` under `name` (its extension added); returns the copy's path.
std::string InstallPlugin(const std::string& plugin, const std::string& dir, const std::string& name);
// A file the DIB test plug-in accepts, its picture chosen by `kind`.
std::string WriteDibRequest(const std::string& dir, char kind);
