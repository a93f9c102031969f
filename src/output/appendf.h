// printf-style formatting onto the end of a std::string.
#pragma once

#include <string>

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void appendf(std::string& text, const char* format, ...);
