// printf-style formatting onto the end of a std::string.
#pragma once

#include <string>

void appendf(std::string& text, const char* format, ...);
