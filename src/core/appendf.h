// printf-style formatting onto the end of a std::string, of any length.
#pragma once

#include <cstdarg>
#include <string>

void appendf(std::string& text, const char* format, ...);
void vappendf(std::string& text, const char* format, std::va_list args);
