#include "scanner/source_stack.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "core/run_context.h"
#include "scanner/flex_buffers.h"

const char* curfilename = nullptr;

namespace {

/// Each source gets a buffer of its own, filled by reads of at most 64 KiB.
constexpr int SOURCE_BUFFER_SIZE = 131072;

struct buffer_deleter {
  void operator()(yy_buffer_state* buffer) const { yy_delete_buffer(buffer); }
};

struct source_entry {
  /// The line at which this source continues while a nested one is read.
  int saved_line = 1;
  const char* file_name = nullptr;
  std::unique_ptr<source_reader> stream;
  std::unique_ptr<yy_buffer_state, buffer_deleter> buffer;
};

/// Bottom first: the main source, then each source it includes.
std::vector<source_entry> sources;

void push_entry(run_context& run, std::unique_ptr<source_reader> stream,
                const std::string& path) {
  try {
    source_entry entry;
    entry.file_name = run.prog.copy_string(path);
    entry.stream = std::move(stream);
    entry.buffer.reset(yy_create_buffer(nullptr, SOURCE_BUFFER_SIZE));
    if (!sources.empty()) sources.back().saved_line = yylineno;
    sources.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    run.diag.report(message_id::include_not_opened, nullptr, 0, "malloc", std::strerror(ENOMEM));
    throw fatal_exit{1};
  }
  yy_switch_to_buffer(sources.back().buffer.get());
  curfilename = sources.back().file_name;
  yylineno = 1;
}

}  // namespace

void push_main_source(run_context& run, std::unique_ptr<source_reader> stream,
                      const std::string& path) {
  push_entry(run, std::move(stream), path);
}

int newfile(run_context& run, const std::string& path, int directive_line) {
  std::string reason;
  std::unique_ptr<source_reader> stream = run.disk.open_source(path, reason);
  if (stream == nullptr) {
    run.diag.report(message_id::include_not_opened, curfilename, directive_line, path.c_str(),
                    reason.c_str());
    return 0;
  }
  for (const source_entry& entry : sources) {
    if (path == entry.file_name) {
      run.diag.report(message_id::include_recursion, curfilename, directive_line);
      return 0;
    }
  }
  push_entry(run, std::move(stream), path);
  run.included_sources.push_back(path);
  return 1;
}

int popfile() {
  if (sources.size() < 2) return 0;
  source_entry& including = sources[sources.size() - 2];
  yy_switch_to_buffer(including.buffer.get());
  sources.pop_back();
  yylineno = including.saved_line;
  curfilename = including.file_name;
  return 1;
}

std::size_t read_current_source(run_context& run, char* buffer, std::size_t max) {
  if (sources.empty() || sources.back().stream == nullptr) return 0;
  long count = sources.back().stream->read(buffer, max);
  if (count < 0) {
    run.diag.report_fatal(std::string(curfilename) + ": read error on the source file");
    throw fatal_exit{2};
  }
  return static_cast<std::size_t>(count);
}

void close_main_source() {
  if (!sources.empty()) sources.front().stream.reset();
}

void source_stack_reset() {
  // Deleting the current buffer also clears the scanner's hold on it.
  while (!sources.empty()) sources.pop_back();
  curfilename = nullptr;
}
