// How the file system spells paths. Sources may be written with either
// separator; the system wants its own.
#pragma once

#include <string>
#include <string_view>

/// The separator the system itself puts between directories: '\' on
/// Windows, '/' elsewhere.
char native_separator();

/// True when a leading '/' names the root of the whole file system: on POSIX
/// systems. On Windows it is only the root of the current drive.
bool has_posix_root(std::string_view name);

/// The path as the file system wants it: POSIX builds turn backslashes into
/// '/', so that paths written for either platform work; Windows takes both
/// separators, drive letters and UNC names as they are.
std::string native_path(const std::string& path);
