// zr17_lsp: the language server for ZR17 assembler sources, speaking the
// Language Server Protocol over standard input and output.
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "lsp/framing.h"
#include "lsp/server.h"
#include "platform/disk.h"
#include "zr17_version.h"

namespace {

/// What the reading thread hands over. Shared, not on main's stack: the
/// reader may still sit in read() when main returns.
struct inbox {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<lsp::frame_event> events;
  bool ended = false;
  bool cut = false;  ///< the input ended inside a message
};

long read_input(char* buffer, std::size_t size) {
#ifdef _WIN32
  return _read(0, buffer, static_cast<unsigned>(size));
#else
  return static_cast<long>(::read(0, buffer, size));
#endif
}

/// Reads standard input as it comes (a message is handled as soon as it is
/// whole, not when a buffer fills) and cuts it into frames.
void read_frames(const std::shared_ptr<inbox>& box) {
  lsp::frame_reader reader;
  std::vector<char> buffer(1 << 16);
  std::vector<lsp::frame_event> events;
  while (true) {
    const long count = read_input(buffer.data(), buffer.size());
    if (count <= 0) break;
    reader.feed(std::string_view(buffer.data(), static_cast<std::size_t>(count)), events);
    if (events.empty()) continue;
    {
      std::lock_guard<std::mutex> lock(box->mutex);
      for (lsp::frame_event& event : events) box->events.push_back(std::move(event));
    }
    events.clear();
    box->ready.notify_one();
  }
  {
    std::lock_guard<std::mutex> lock(box->mutex);
    box->ended = true;
    box->cut = reader.in_message();
  }
  box->ready.notify_one();
}

/// Standard output; once a write fails (the client has gone), the server ends.
struct output {
  bool broken = false;

  void write(const std::string& body) {
    if (broken) return;
    const std::string framed = lsp::frame(body);
    if (std::fwrite(framed.data(), 1, framed.size(), stdout) != framed.size() ||
        std::fflush(stdout) != 0) {
      broken = true;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--version" || arg == "-v") {
      std::printf("zr17_lsp %s\n", zr17_version);
      return 0;
    }
    if (arg == "--help" || arg == "-h") {
      std::printf(
          "Usage: zr17_lsp [--stdio]\n"
          "The ZR17 assembler's language server: speaks the Language Server Protocol\n"
          "on standard input and output. Start it from an editor.\n");
      return 0;
    }
    // --stdio and anything else an editor passes: stdio is all there is.
  }
#ifdef _WIN32
  // Content-Length counts bytes: no CR LF translation on either stream.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef __GLIBC__
  // Each run allocates its program and image anew: large blocks kept in the
  // heap are reused by the next run instead of being mapped and faulted in
  // again (a third of the processor time of a change to a 64 KB program).
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
#ifndef _WIN32
  // A client that closes its end makes writes fail, not the process die.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  real_disk disk;
  output out;
  lsp::server server(disk, [&out](const std::string& body) { out.write(body); });
  auto box = std::make_shared<inbox>();
  std::thread(read_frames, box).detach();

  while (true) {
    if (out.broken) {
      std::fprintf(stderr, "zr17_lsp: the client no longer reads the output\n");
      return 1;
    }
    std::unique_lock<std::mutex> lock(box->mutex);
    if (box->events.empty() && !box->ended) {
      if (server.dirty()) {
        // Input has gone quiet: now the changes are worth a run.
        lock.unlock();
        server.flush();
        continue;
      }
      box->ready.wait(lock, [&box] { return !box->events.empty() || box->ended; });
    }
    if (box->events.empty()) break;  // the input has ended
    lsp::frame_event event = std::move(box->events.front());
    box->events.pop_front();
    lock.unlock();
    if (event.kind == lsp::frame_event::message) {
      server.handle(event.body);
    } else {
      server.handle_frame_error(event);
    }
    if (server.exit_requested()) return server.exit_code();
  }
  if (box->cut) std::fprintf(stderr, "zr17_lsp: the input ended inside a message\n");
  return server.exit_code();
}
