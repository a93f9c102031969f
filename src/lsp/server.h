// The language server proper: JSON-RPC messages in, messages out. It owns
// no input or output of its own, so the executable, the tests and the
// fuzzer drive the same code.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/analysis.h"
#include "lsp/framing.h"
#include "lsp/overlay_disk.h"
#include "lsp/text.h"

namespace lsp {

using json = nlohmann::json;

/// JSON-RPC and protocol error codes.
enum error_code : int {
  parse_error = -32700,
  invalid_request = -32600,
  method_not_found = -32601,
  invalid_params = -32602,
  internal_error = -32603,
  server_not_initialized = -32002,
};

class server {
 public:
  /// `send` receives each outgoing message body (without its header).
  server(disk_interface& base, std::function<void(const std::string&)> send);

  /// One incoming message body.
  void handle(std::string_view body);
  /// A frame that could not be read: answered with an error (id null).
  void handle_frame_error(const frame_event& event);
  /// Runs the assemblies that changes have made due, and publishes their
  /// messages. The loop calls it when no input is waiting, so that a burst
  /// of changes costs one run; requests that read a run call it first.
  void flush();
  /// Whether changes wait for flush().
  bool dirty() const;

  bool exit_requested() const { return exit_requested_; }
  /// 0 after shutdown, 1 when exit (or the end of input) came without it.
  int exit_code() const { return shutdown_ ? 0 : 1; }
  /// Writes a message to the client's log (window/logMessage).
  void log(int type, const std::string& text);

 private:
  struct document {
    std::string uri;
    std::string path;  ///< normalised
    std::string text;
    int version = 0;
  };
  struct main_run {
    std::optional<analysis> result;
    /// Label addresses of the last run that went through to the end.
    std::map<std::string, int> good_addresses;
    bool dirty = true;
  };

  void dispatch(const json& message);
  void request(const std::string& method, const json& id, const json& params);
  void notification(const std::string& method, const json& params);
  void respond(const json& id, json result);
  void respond_error(const json& id, int code, const std::string& message);
  void notify(const std::string& method, json params);
  void send(const json& message);

  json initialize(const json& params);
  void read_settings(const json& settings);
  void did_open(const json& params);
  void did_change(const json& params);
  void did_close(const json& params);
  json definition(const json& params);
  json references(const json& params);
  json hover(const json& params);
  json document_symbols(const json& params);
  json completion(const json& params);

  void mark_dependents(const std::string& path);
  void reconcile();
  void publish(const std::set<std::string>& ran);

  document* find_document(const json& params);
  /// The text of a file: an open buffer, else the disk.
  std::string text_of(const std::string& path);
  std::string uri_of(const std::string& path) const;
  /// The run that read `path`: its own when it is a main, else an includer's.
  const main_run* run_for(const std::string& path) const;
  std::string document_path(const std::string& uri) const;
  json range_json(std::string_view line_text, int line, std::size_t start, std::size_t end) const;
  json location(const std::string& path, int line, std::string_view name);
  std::optional<std::string> resolve_include(const std::string& including, const token& name);

  overlay_disk disk_;
  std::function<void(const std::string&)> send_;
  run_settings settings_;
  column_unit unit_ = column_unit::utf16;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exit_requested_ = false;
  /// A close left messages to take back, though nothing need run.
  bool pending_publish_ = false;
  std::map<std::string, document> documents_;      ///< by URI
  std::map<std::string, std::string> uri_by_key_;  ///< path_key to URI of open documents
  std::map<std::string, main_run> mains_;          ///< by URI
  /// What was last published for each URI (the diagnostics array as text).
  std::map<std::string, std::string> published_;
};

}  // namespace lsp
