#pragma once
// A path shortened to a width as the system's path ellipsis shortens it: the
// characters at the end of the directory part, just before the file name, give
// way to "...", so that the start of the path and the file name both show. A
// file name too wide even by itself loses its end to the "..." instead; a text
// without a "\" is a file name alone.
#include <functional>
#include <string>

std::string PathEllipsis(const std::string& path, int maxWidth,
                         const std::function<int(const std::string&)>& textWidth);
