#include "clip_runner.h"

#include <cstdlib>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "framework/file_system.h"
#include "test_support.h"

namespace {

std::string Program()
{
    const std::string self = ProgramPath();
    std::string dir = self.substr(0, self.find_last_of(PathSep()));  // tests/cli
    dir = dir.substr(0, dir.find_last_of(PathSep()));                // tests
    dir = dir.substr(0, dir.find_last_of(PathSep()));                // the build
#ifdef _WIN32
    return Join(Join(dir, "cli"), "talvern-clip.exe");
#else
    return Join(Join(dir, "cli"), "talvern-clip");
#endif
}

std::string Text(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::string Join(const std::string& dir, const std::string& name)
{
    return dir + PathSep() + name;
}

Outcome Clip(const std::string& dir, const std::string& arguments)
{
    const std::string out = Join(dir, "stdout.txt"), err = Join(dir, "stderr.txt");
    const int raw = RunCommand(Program() + " " + arguments + " >" + out + " 2>" + err);
    Outcome outcome;
#ifdef _WIN32
    outcome.status = raw;
#else
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    std::istringstream lines(Text(out));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        outcome.lines.push_back(line);
    }
    outcome.errors = Text(err);
    return outcome;
}
