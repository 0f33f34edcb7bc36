#pragma once
// talvern-clip run as a user runs it: the program of this build, its lines, exit
// status and errors.
#include <string>
#include <vector>

std::string Join(const std::string& dir, const std::string& name);

struct Outcome {
    int status = -1;
    std::vector<std::string> lines;
    std::string errors;
};

// Runs the program with these arguments (none of which may hold a blank) in
// `dir`, its output going to files there.
Outcome Clip(const std::string& dir, const std::string& arguments);
