// libFuzzer target for the language server's input handling: the bytes go
// through the message framing in two pieces, and every body (and every
// framing error) through the server's JSON handling, as from standard input.
// The first message of a run is a fixed initialize, so that the fuzzer's
// messages reach the document handlers; sources are read from an
// in-memory disk that holds one include.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/framing.h"
#include "lsp/server.h"
#include "platform/disk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  memory_disk files;
  files.cwd = "/w";
  files.files["/w/defs.inc"] = "CONST LIMIT 10\n#define FAST\n";
  files.files["/w/lib/util.inc"] = "helper: nop\n jsubret\n";
  std::size_t sent = 0;
  lsp::server server(files, [&sent](const std::string& body) { sent += body.size(); });
  server.handle(
      R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"rootUri":"file:///w"}})");

  const std::string_view input(reinterpret_cast<const char*>(data), size);
  lsp::frame_reader reader;
  std::vector<lsp::frame_event> events;
  // Split where the first byte says, so that pieces cut headers anywhere.
  const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
  reader.feed(input.substr(0, cut), events);
  reader.feed(input.substr(cut), events);
  for (const lsp::frame_event& event : events) {
    if (event.kind == lsp::frame_event::message) {
      server.handle(event.body);
    } else {
      server.handle_frame_error(event);
    }
    if (server.exit_requested()) break;
  }
  server.flush();
  // Unframed, the whole input is one body too: the JSON handling sees
  // inputs that the framing would rarely let through.
  server.handle(input);
  server.flush();
  return 0;
}
