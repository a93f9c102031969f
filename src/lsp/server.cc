#include "lsp/server.h"

#include <algorithm>

#include "core/opcode_table.h"
#include "lsp/instruction_info.h"
#include "lsp/uri.h"
#include "scanner/include_path.h"
#include "zr17_version.h"

namespace lsp {

namespace {

/// Deeper JSON than any client sends is refused before parsing: the
/// library's recursive parts (dumping, comparing) stay far from the stack's end.
constexpr int max_json_depth = 64;

bool too_deep(std::string_view body) {
  int depth = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (in_string) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > max_json_depth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

/// Params that lack what the method needs: answered with invalid params.
struct bad_params : std::runtime_error {
  using std::runtime_error::runtime_error;
};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

const json* member(const json& object, const char* name) {
  if (!object.is_object()) return nullptr;
  auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

std::string string_member(const json& object, const char* name) {
  const json* value = member(object, name);
  return value != nullptr && value->is_string() ? value->get<std::string>() : std::string();
}

std::vector<std::string> string_list(const json* value) {
  std::vector<std::string> list;
  if (value == nullptr || !value->is_array()) return list;
  for (const json& item : *value) {
    if (item.is_string()) list.push_back(item.get<std::string>());
  }
  return list;
}

/// The byte offset of a client position in `text`; past the end is the end.
std::size_t text_offset(std::string_view text, int line, int character, column_unit unit) {
  std::size_t start = 0;
  for (int n = 0; n < line; ++n) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) return text.size();
    start = end + 1;
  }
  std::size_t end = text.find('\n', start);
  if (end == std::string_view::npos) end = text.size();
  std::string_view content = text.substr(start, end - start);
  if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
  return start + byte_offset(content, character, unit);
}

int int_member(const json& object, const char* name) {
  const json* value = member(object, name);
  if (value == nullptr || !value->is_number_integer())
    throw bad_params(std::string("expected an integer '") + name + "'");
  const auto number = value->get<std::int64_t>();
  return static_cast<int>(std::clamp<std::int64_t>(number, 0, 1 << 30));
}

std::string hex_value(std::uint32_t value, int digits) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text += hex[(value >> shift) & 15];
  return text;
}

std::string file_name(const std::string& path) {
  const std::size_t cut = path.find_last_of(native_style() == path_style::windows ? "/\\" : "/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

server::server(disk_interface& base, std::function<void(const std::string&)> send)
    : disk_(base), send_(std::move(send)) {}

void server::handle(std::string_view body) {
  if (too_deep(body)) {
    respond_error(nullptr, parse_error, "Parse error: JSON nested too deeply");
    return;
  }
  const json message = json::parse(body.begin(), body.end(), nullptr, false);
  if (message.is_discarded()) {
    respond_error(nullptr, parse_error, "Parse error");
    return;
  }
  dispatch(message);
}

void server::handle_frame_error(const frame_event& event) {
  if (event.kind == frame_event::too_large) {
    respond_error(nullptr, invalid_request, "Message too large: " + event.detail);
  } else {
    respond_error(nullptr, parse_error, "Broken message header: " + event.detail);
  }
}

void server::dispatch(const json& message) {
  if (!message.is_object()) {
    respond_error(nullptr, invalid_request, "Invalid request: not a JSON object");
    return;
  }
  const json* id = member(message, "id");
  if (id != nullptr && !id->is_number() && !id->is_string() && !id->is_null()) {
    respond_error(nullptr, invalid_request, "Invalid request: id must be a number or a string");
    return;
  }
  const json id_value = id != nullptr ? *id : json();
  const json* method = member(message, "method");
  if (method == nullptr) {
    // A response to a request of ours (we send none that want one): dropped.
    if (id != nullptr && (message.contains("result") || message.contains("error"))) return;
    respond_error(id_value, invalid_request, "Invalid request: no method");
    return;
  }
  const json* version = member(message, "jsonrpc");
  if (version == nullptr || *version != "2.0") {
    if (id != nullptr)
      respond_error(id_value, invalid_request, "Invalid request: jsonrpc must be \"2.0\"");
    return;
  }
  if (!method->is_string()) {
    if (id != nullptr)
      respond_error(id_value, invalid_request, "Invalid request: method must be a string");
    return;
  }
  const json* params = member(message, "params");
  if (params != nullptr && !params->is_object() && !params->is_array()) {
    if (id != nullptr)
      respond_error(id_value, invalid_request,
                    "Invalid request: params must be an object or an array");
    return;
  }
  const json empty = json::object();
  const json& arguments = params != nullptr ? *params : empty;
  const std::string name = method->get<std::string>();
  try {
    if (id != nullptr) {
      request(name, id_value, arguments);
    } else {
      notification(name, arguments);
    }
  } catch (const bad_params& error) {
    if (id != nullptr) {
      respond_error(id_value, invalid_params, std::string("Invalid params: ") + error.what());
    } else {
      log(1, name + ": invalid params: " + error.what());
    }
  } catch (const json::exception& error) {
    if (id != nullptr) {
      respond_error(id_value, invalid_params, std::string("Invalid params: ") + error.what());
    } else {
      log(1, name + ": invalid params: " + error.what());
    }
  } catch (const std::exception& error) {
    if (id != nullptr) {
      respond_error(id_value, internal_error, std::string("Internal error: ") + error.what());
    } else {
      log(1, name + ": " + error.what());
    }
  }
}

void server::request(const std::string& method, const json& id, const json& params) {
  if (method == "initialize") {
    if (initialized_) {
      respond_error(id, invalid_request, "initialize may be sent only once");
      return;
    }
    respond(id, initialize(params));
    return;
  }
  if (!initialized_) {
    respond_error(id, server_not_initialized, "Server not initialized");
    return;
  }
  if (shutdown_) {
    respond_error(id, invalid_request, "Invalid request: the server is shutting down");
    return;
  }
  // Every answer comes after the messages of the changes before it, so a
  // client sees diagnostics and answers in the order of its own messages.
  flush();
  if (method == "shutdown") {
    shutdown_ = true;
    respond(id, nullptr);
  } else if (method == "textDocument/definition") {
    respond(id, definition(params));
  } else if (method == "textDocument/references") {
    respond(id, references(params));
  } else if (method == "textDocument/hover") {
    respond(id, hover(params));
  } else if (method == "textDocument/documentSymbol") {
    respond(id, document_symbols(params));
  } else if (method == "textDocument/completion") {
    respond(id, completion(params));
  } else {
    respond_error(id, method_not_found, "Method not found: " + method);
  }
}

void server::notification(const std::string& method, const json& params) {
  if (method == "exit") {
    exit_requested_ = true;
    return;
  }
  // Before initialize and after shutdown, notifications are dropped.
  if (!initialized_ || shutdown_) return;
  if (method == "textDocument/didOpen") {
    did_open(params);
  } else if (method == "textDocument/didChange") {
    did_change(params);
  } else if (method == "textDocument/didSave") {
    if (document* doc = find_document(params)) {
      if (const json* text = member(params, "text"); text != nullptr && text->is_string()) {
        doc->text = text->get<std::string>();
        disk_.set_buffer(doc->path, doc->text);
      }
      mark_dependents(doc->path);
    }
  } else if (method == "textDocument/didClose") {
    did_close(params);
  } else if (method == "workspace/didChangeConfiguration") {
    if (const json* settings = member(params, "settings")) read_settings(*settings);
    for (auto& entry : mains_) entry.second.dirty = true;
  }
  // initialized, $/cancelRequest, $/setTrace and the rest: nothing to do.
}

void server::respond(const json& id, json result) {
  send({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void server::respond_error(const json& id, int code, const std::string& message) {
  send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void server::notify(const std::string& method, json params) {
  send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

void server::send(const json& message) {
  // File contents reach the messages: bytes that are no UTF-8 are replaced.
  send_(message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void server::log(int type, const std::string& text) {
  notify("window/logMessage", {{"type", type}, {"message", text}});
}

json server::initialize(const json& params) {
  initialized_ = true;
  std::string root;
  if (const std::string uri = string_member(params, "rootUri"); !uri.empty()) {
    root = uri_to_path(uri);
  }
  if (root.empty()) root = string_member(params, "rootPath");
  if (const json* folders = member(params, "workspaceFolders");
      root.empty() && folders != nullptr && folders->is_array() && !folders->empty()) {
    root = uri_to_path(string_member(folders->front(), "uri"));
  }
  disk_.root = root.empty() ? std::string() : normalize_path(root);
  if (const json* options = member(params, "initializationOptions")) read_settings(*options);
  const json* encodings = nullptr;
  if (const json* capabilities = member(params, "capabilities")) {
    if (const json* general = member(*capabilities, "general")) {
      encodings = member(*general, "positionEncodings");
    }
  }
  for (const std::string& encoding : string_list(encodings)) {
    if (encoding == "utf-8") unit_ = column_unit::utf8;
  }
  return {
      {"capabilities",
       {
           {"positionEncoding", unit_ == column_unit::utf8 ? "utf-8" : "utf-16"},
           {"textDocumentSync",
            {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
           {"definitionProvider", true},
           {"referencesProvider", true},
           {"hoverProvider", true},
           {"documentSymbolProvider", true},
           {"completionProvider", {{"resolveProvider", false}, {"triggerCharacters", {"#"}}}},
       }},
      {"serverInfo", {{"name", "zr17_lsp"}, {"version", zr17_version}}},
  };
}

void server::read_settings(const json& settings) {
  const json* ours = member(settings, "zr17asm");
  const json& source = ours != nullptr && ours->is_object() ? *ours : settings;
  if (!source.is_object()) return;
  if (const json* dirs = member(source, "includeDirs")) settings_.include_dirs = string_list(dirs);
  if (const json* defines = member(source, "defines")) settings_.defines = string_list(defines);
  if (const json* warnings = member(source, "warnings");
      warnings != nullptr && warnings->is_boolean()) {
    settings_.warnings = warnings->get<bool>();
  }
}

std::string server::document_path(const std::string& uri) const {
  std::string path = uri_to_path(uri);
  if (!path.empty() && is_absolute_path(path)) return normalize_path(path);
  // A buffer without a file ("untitled:"): a name of its own under the root,
  // so that its quoted includes are found beside the workspace's files.
  std::string name = "untitled-";
  for (char c : uri)
    name += (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : '_';
  std::string root = disk_.root;
  if (root.empty()) root = native_style() == path_style::windows ? "C:\\" : "/";
  return normalize_path(root + (native_style() == path_style::windows ? "\\" : "/") + name);
}

void server::did_open(const json& params) {
  const json& item = params.at("textDocument");
  document doc;
  doc.uri = item.at("uri").get<std::string>();
  doc.text = item.at("text").get<std::string>();
  if (const json* version = member(item, "version");
      version != nullptr && version->is_number_integer()) {
    doc.version = version->get<int>();
  }
  doc.path = document_path(doc.uri);
  disk_.set_buffer(doc.path, doc.text);
  uri_by_key_[path_key(doc.path)] = doc.uri;
  const std::string path = doc.path;
  const std::string uri = doc.uri;
  documents_[uri] = std::move(doc);
  mark_dependents(path);
  bool included = false;
  for (const auto& [main_uri, run] : mains_) {
    if (main_uri != uri && run.result && run.result->files.count(path) != 0) included = true;
  }
  if (!included) mains_[uri].dirty = true;
}

void server::did_change(const json& params) {
  document* doc = find_document(params);
  if (doc == nullptr) return;
  if (const json* version = member(params.at("textDocument"), "version");
      version != nullptr && version->is_number_integer()) {
    doc->version = version->get<int>();
  }
  for (const json& change : params.at("contentChanges")) {
    const std::string& text = change.at("text").get_ref<const std::string&>();
    const json* range = member(change, "range");
    if (range == nullptr) {
      doc->text = text;
      continue;
    }
    const json& from = range->at("start");
    const json& to = range->at("end");
    std::size_t start =
        text_offset(doc->text, int_member(from, "line"), int_member(from, "character"), unit_);
    std::size_t end =
        text_offset(doc->text, int_member(to, "line"), int_member(to, "character"), unit_);
    if (end < start) std::swap(start, end);
    doc->text.replace(start, end - start, text);
  }
  disk_.set_buffer(doc->path, doc->text);
  mark_dependents(doc->path);
}

void server::did_close(const json& params) {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  auto found = documents_.find(uri);
  if (found == documents_.end()) return;
  const std::string path = found->second.path;
  documents_.erase(found);
  disk_.drop_buffer(path);
  uri_by_key_.erase(path_key(path));
  mains_.erase(uri);
  // The runs that read the buffer read the file now.
  mark_dependents(path);
  // Nothing of it is shown any more unless a run reads it again.
  pending_publish_ = true;
}

server::document* server::find_document(const json& params) {
  const json* item = member(params, "textDocument");
  if (item == nullptr) throw bad_params("no textDocument");
  auto found = documents_.find(item->at("uri").get<std::string>());
  return found == documents_.end() ? nullptr : &found->second;
}

void server::mark_dependents(const std::string& path) {
  for (auto& [uri, run] : mains_) {
    const auto doc = documents_.find(uri);
    if ((doc != documents_.end() && doc->second.path == path) || !run.result ||
        run.result->files.count(path) != 0) {
      run.dirty = true;
    }
  }
}

bool server::dirty() const {
  if (pending_publish_) return true;
  return std::any_of(mains_.begin(), mains_.end(),
                     [](const auto& entry) { return entry.second.dirty; });
}

void server::flush() {
  if (!dirty()) return;
  std::set<std::string> ran;
  try {
    // Each round runs the due mains; reconciling may make more due (a file
    // no longer included runs on its own): no more rounds than documents.
    for (std::size_t round = 0; round <= documents_.size() + 1; ++round) {
      // First: a close may have left an include without its main.
      reconcile();
      bool any = false;
      for (auto& [uri, run] : mains_) {
        if (!run.dirty) continue;
        const auto doc = documents_.find(uri);
        run.dirty = false;
        if (doc == documents_.end()) continue;
        any = true;
        run.result = analyse(doc->second.path, settings_, disk_);
        if (run.result->complete) {
          run.good_addresses.clear();
          for (const symbol& item : run.result->symbols) {
            if (item.kind == symbol::label && item.has_address) {
              run.good_addresses[item.name] = item.address;
            }
          }
        }
        ran.insert(uri);
      }
      if (!any) break;
    }
  } catch (const std::exception& error) {
    log(1, std::string("assembly failed: ") + error.what());
  }
  // What is still due after the last round waits for the next change: the
  // caller must be able to wait for input again.
  for (auto& entry : mains_) entry.second.dirty = false;
  pending_publish_ = false;
  publish(ran);
}

void server::reconcile() {
  // A main that another main's run reads is an include: its messages come
  // from that run. Two that read each other (a recursion) both stay.
  std::vector<std::string> demoted;
  for (const auto& [uri, run] : mains_) {
    const auto doc = documents_.find(uri);
    if (doc == documents_.end()) continue;
    for (const auto& [other_uri, other] : mains_) {
      if (other_uri == uri || !other.result || other.result->files.count(doc->second.path) == 0) {
        continue;
      }
      const auto other_doc = documents_.find(other_uri);
      const bool cycle = run.result && other_doc != documents_.end() &&
                         run.result->files.count(other_doc->second.path) != 0;
      if (!cycle) {
        demoted.push_back(uri);
        break;
      }
    }
  }
  for (const std::string& uri : demoted) mains_.erase(uri);
  // An open document that no run reads any more is a main again.
  for (const auto& entry : documents_) {
    if (mains_.count(entry.first) != 0) continue;
    const std::string& path = entry.second.path;
    const bool read = std::any_of(mains_.begin(), mains_.end(), [&path](const auto& run) {
      return run.second.result && run.second.result->files.count(path) != 0;
    });
    if (!read) mains_[entry.first].dirty = true;
  }
}

std::string server::uri_of(const std::string& path) const {
  auto found = uri_by_key_.find(path_key(path));
  return found != uri_by_key_.end() ? found->second : path_to_uri(path);
}

std::string server::text_of(const std::string& path) { return disk_.read(path); }

json server::range_json(std::string_view line_text, int line, std::size_t start,
                        std::size_t end) const {
  return {{"start", {{"line", line}, {"character", client_column(line_text, start, unit_)}}},
          {"end", {{"line", line}, {"character", client_column(line_text, end, unit_)}}}};
}

void server::publish(const std::set<std::string>& ran) {
  std::map<std::string, json> by_uri;
  std::map<std::string, std::set<std::string>> seen;
  std::set<std::string> touched;
  std::map<std::string, std::vector<std::string>> texts;  // keeps each file's text alive
  std::map<std::string, std::vector<std::string_view>> lines;
  const auto lines_of = [&](const std::string& path) -> const std::vector<std::string_view>& {
    auto found = lines.find(path);
    if (found != lines.end()) return found->second;
    texts[path].push_back(text_of(path));
    return lines.emplace(path, split_lines(texts[path].back())).first->second;
  };
  for (const auto& [main_uri, run] : mains_) {
    if (!run.result) continue;
    const analysis& result = *run.result;
    // A main that ran is always published: the client learns that its
    // change was seen. Other files only when their list changed.
    if (ran.count(main_uri) != 0) touched.insert(main_uri);
    for (const message_record& record : result.messages) {
      const std::string& file = record.file.empty() ? result.main : record.file;
      const std::string uri = uri_of(file);
      const std::vector<std::string_view>& text = lines_of(file);
      const int line = record.line > 0 ? record.line - 1 : 0;
      const std::string_view line_text = static_cast<std::size_t>(line) < text.size()
                                             ? text[static_cast<std::size_t>(line)]
                                             : std::string_view();
      std::size_t start = 0;
      std::size_t end = line_text.size();
      if (record.line > 0 && record.column > 0) {
        start = std::min(static_cast<std::size_t>(record.column - 1), line_text.size());
        if (record.end_column >= record.column) {
          end = std::min(static_cast<std::size_t>(record.end_column), line_text.size());
        } else {
          // The word or number there: "12.5" and "0x1F" whole.
          end = start;
          while (end < line_text.size() && (is_name_char(line_text[end]) || line_text[end] == '.'))
            ++end;
          if (end == start && end < line_text.size()) ++end;
        }
        // Whole characters: a byte column may point inside one.
        const auto continuation = [&line_text](std::size_t i) {
          return i < line_text.size() && (static_cast<unsigned char>(line_text[i]) & 0xC0) == 0x80;
        };
        while (start > 0 && continuation(start)) --start;
        while (continuation(end)) ++end;
      } else {
        while (start < end && (line_text[start] == ' ' || line_text[start] == '\t')) ++start;
      }
      const int level = record.level == severity::error     ? 1
                        : record.level == severity::warning ? 2
                                                            : 3;
      json item = {{"range", range_json(line_text, line, start, end)},
                   {"severity", level},
                   {"source", "zr17_asm"},
                   {"code", record.code},
                   {"message", record.text}};
      // A file that two mains include shows each of its messages once.
      std::string key = item.dump(-1, ' ', false, json::error_handler_t::replace);
      if (!seen[uri].insert(std::move(key)).second) continue;
      json& list = by_uri[uri];
      if (list.is_null()) list = json::array();
      list.push_back(std::move(item));
    }
  }
  std::set<std::string> uris = touched;
  for (const auto& entry : by_uri) uris.insert(entry.first);
  for (const auto& entry : published_) uris.insert(entry.first);
  for (const std::string& uri : uris) {
    auto found = by_uri.find(uri);
    json list = found != by_uri.end() ? std::move(found->second) : json::array();
    std::string text = list.dump(-1, ' ', false, json::error_handler_t::replace);
    auto old = published_.find(uri);
    const bool changed = old == published_.end() ? text != "[]" : old->second != text;
    if (!changed && touched.count(uri) == 0) continue;
    json params = {{"uri", uri}, {"diagnostics", std::move(list)}};
    for (const auto& [doc_uri, doc] : documents_) {
      if (doc_uri == uri) params["version"] = doc.version;
    }
    notify("textDocument/publishDiagnostics", std::move(params));
    if (text == "[]") {
      published_.erase(uri);
    } else {
      published_[uri] = std::move(text);
    }
  }
}

const server::main_run* server::run_for(const std::string& path) const {
  auto key = uri_by_key_.find(path_key(path));
  if (key != uri_by_key_.end()) {
    auto own = mains_.find(key->second);
    if (own != mains_.end() && own->second.result) return &own->second;
  }
  for (const auto& [uri, run] : mains_) {
    if (run.result && run.result->files.count(path) != 0) return &run;
  }
  return nullptr;
}

json server::location(const std::string& path, int line, std::string_view name) {
  const std::string text = text_of(path);
  const std::vector<std::string_view> lines = split_lines(text);
  const int index = line > 0 ? line - 1 : 0;
  std::string_view line_text;
  if (static_cast<std::size_t>(index) < lines.size())
    line_text = lines[static_cast<std::size_t>(index)];
  const std::size_t start = find_word(line_text, name);
  const bool found = line_text.substr(start, name.size()) == name;
  return {{"uri", uri_of(path)},
          {"range", range_json(line_text, index, start, found ? start + name.size() : start)}};
}

std::optional<std::string> server::resolve_include(const std::string& including,
                                                   const token& name) {
  std::vector<std::string> candidates;
  const std::string root = disk_.working_directory();
  const char sep = native_style() == path_style::windows ? '\\' : '/';
  if (name.angled) {
    candidates.push_back(angled_include_path(root, name.text));
  } else {
    candidates.push_back(quoted_include_path(including, name.text));
  }
  std::vector<std::string> dropped;
  for (const std::string& dir : settings_.include_dirs) {
    std::string path = is_absolute_path(dir) || root.empty() ? dir : root + sep + dir;
    candidates.push_back(path + sep + std::string(name.text));
  }
  for (const std::string& candidate : candidates) {
    if (disk_.exists(candidate)) return normalize_path(candidate);
  }
  return std::nullopt;
}

json server::definition(const json& params) {
  flush();
  document* doc = find_document(params);
  if (doc == nullptr) return nullptr;
  const json& position = params.at("position");
  const int line = int_member(position, "line");
  const std::vector<std::string_view> lines = split_lines(doc->text);
  if (static_cast<std::size_t>(line) >= lines.size()) return nullptr;
  const std::size_t byte =
      byte_offset(lines[static_cast<std::size_t>(line)], int_member(position, "character"), unit_);
  const std::vector<token> tokens = tokenize(doc->text);
  const token* at = token_at(tokens, line, byte);
  if (at == nullptr) return nullptr;
  if (at->kind == token_kind::include_name) {
    const std::optional<std::string> path = resolve_include(doc->path, *at);
    if (!path) return nullptr;
    return json::array({{{"uri", uri_of(*path)},
                         {"range",
                          {{"start", {{"line", 0}, {"character", 0}}},
                           {"end", {{"line", 0}, {"character", 0}}}}}}});
  }
  if (at->kind != token_kind::identifier) return nullptr;
  const main_run* run = run_for(doc->path);
  if (run == nullptr) return nullptr;
  json list = json::array();
  for (const symbol& item : run->result->symbols) {
    if (item.name != at->text || item.file.empty()) continue;
    list.push_back(location(item.file, item.line, item.name));
  }
  if (list.empty()) return nullptr;
  return list;
}

json server::references(const json& params) {
  flush();
  document* doc = find_document(params);
  if (doc == nullptr) return nullptr;
  const json& position = params.at("position");
  const int line = int_member(position, "line");
  const std::vector<std::string_view> lines = split_lines(doc->text);
  if (static_cast<std::size_t>(line) >= lines.size()) return nullptr;
  const std::size_t byte =
      byte_offset(lines[static_cast<std::size_t>(line)], int_member(position, "character"), unit_);
  const std::vector<token> tokens = tokenize(doc->text);
  const token* at = token_at(tokens, line, byte);
  if (at == nullptr || at->kind != token_kind::identifier) return nullptr;
  const std::string name(at->text);
  bool declarations = true;
  if (const json* context = member(params, "context")) {
    if (const json* include = member(*context, "includeDeclaration");
        include != nullptr && include->is_boolean()) {
      declarations = include->get<bool>();
    }
  }
  const main_run* run = run_for(doc->path);
  std::set<std::string> files{doc->path};
  std::set<std::pair<std::string, int>> declared;  // file and 0-based line
  if (run != nullptr) {
    files = run->result->files;
    for (const symbol& item : run->result->symbols) {
      if (item.name == name && !item.file.empty()) declared.insert({item.file, item.line - 1});
    }
  }
  json list = json::array();
  for (const std::string& file : files) {
    const std::string text = text_of(file);
    const std::vector<std::string_view> file_lines = split_lines(text);
    std::set<int> declaration_seen;
    for (const token& t : tokenize(text)) {
      if (t.kind != token_kind::identifier || t.text != name) continue;
      // The declaration is the name's first appearance on its line.
      if (declared.count({file, t.line}) != 0 && declaration_seen.insert(t.line).second &&
          !declarations) {
        continue;
      }
      const std::string_view line_text = file_lines[static_cast<std::size_t>(t.line)];
      list.push_back({{"uri", uri_of(file)},
                      {"range", range_json(line_text, t.line, t.start, t.start + t.text.size())}});
    }
  }
  return list;
}

json server::hover(const json& params) {
  flush();
  document* doc = find_document(params);
  if (doc == nullptr) return nullptr;
  const json& position = params.at("position");
  const int line = int_member(position, "line");
  const std::vector<std::string_view> lines = split_lines(doc->text);
  if (static_cast<std::size_t>(line) >= lines.size()) return nullptr;
  const std::string_view line_text = lines[static_cast<std::size_t>(line)];
  const std::size_t byte = byte_offset(line_text, int_member(position, "character"), unit_);
  const std::vector<token> tokens = tokenize(doc->text);
  const token* at = token_at(tokens, line, byte);
  if (at == nullptr) return nullptr;
  std::string text;
  if (at->kind == token_kind::include_name) {
    const std::optional<std::string> path = resolve_include(doc->path, *at);
    text = path ? "Includes `" + *path + "`"
                : "Include file not found: `" + std::string(at->text) + "`";
  } else if (at->kind == token_kind::identifier) {
    const std::string name(at->text);
    const int id = find_opcode_keyword(name);
    const main_run* run = run_for(doc->path);
    if (id >= 0) {
      text = instruction_markdown(opcode_row(id));
    } else if (name.size() == 1 &&
               std::string_view("xyzrXYZR").find(name[0]) != std::string_view::npos) {
      const int code = static_cast<int>(std::string_view("xyzr").find(lower(name[0])));
      text =
          "Register `" + std::string(1, lower(name[0])) + "` (code " + std::to_string(code) + ")";
    } else if (run != nullptr) {
      for (const symbol& item : run->result->symbols) {
        if (item.name != name) continue;
        if (!text.empty()) text += "\n\n---\n\n";
        const std::string where =
            item.file.empty() ? std::string("the server's settings")
                              : "`" + file_name(item.file) + ":" + std::to_string(item.line) + "`";
        switch (item.kind) {
          case symbol::constant:
            text += "```zr17asm\nCONST " + name + " " + std::to_string(item.value) +
                    "\n```\n\nValue " + std::to_string(item.value) + " (" +
                    hex_value(static_cast<std::uint32_t>(item.value), 8) + "), declared in " +
                    where;
            break;
          case symbol::label: {
            text += "```zr17asm\n" + name + ":\n```\n\n";
            if (item.has_address) {
              text += "Address " + hex_value(static_cast<std::uint32_t>(item.address), 4) + " (" +
                      std::to_string(item.address) + ")";
            } else if (auto good = run->good_addresses.find(name);
                       good != run->good_addresses.end()) {
              text += "Address " + hex_value(static_cast<std::uint32_t>(good->second), 4) + " (" +
                      std::to_string(good->second) + ") in the last assembly without errors";
            } else {
              text += "Address not known: the program has not assembled without errors yet";
            }
            text += ", declared in " + where;
            break;
          }
          case symbol::define:
            text += "```zr17asm\n#define " + name + "\n```\n\nDefined in " + where;
            break;
        }
      }
    }
  }
  if (text.empty()) return nullptr;
  const std::size_t start = at->start;
  return {{"contents", {{"kind", "markdown"}, {"value", text}}},
          {"range", range_json(line_text, line, start, start + at->text.size())}};
}

json server::document_symbols(const json& params) {
  flush();
  document* doc = find_document(params);
  if (doc == nullptr) return nullptr;
  const main_run* run = run_for(doc->path);
  json list = json::array();
  if (run == nullptr) return list;
  const std::vector<std::string_view> lines = split_lines(doc->text);
  std::vector<const symbol*> mine;
  for (const symbol& item : run->result->symbols) {
    if (!item.file.empty() && same_path(item.file, doc->path) && item.line > 0 &&
        static_cast<std::size_t>(item.line) <= lines.size()) {
      mine.push_back(&item);
    }
  }
  std::stable_sort(mine.begin(), mine.end(),
                   [](const symbol* a, const symbol* b) { return a->line < b->line; });
  for (const symbol* item : mine) {
    const int line = item->line - 1;
    const std::string_view line_text = lines[static_cast<std::size_t>(line)];
    const std::size_t start = find_word(line_text, item->name);
    const bool found = line_text.substr(start, item->name.size()) == item->name;
    std::string detail;
    int kind = 14;  // Constant
    if (item->kind == symbol::label) {
      kind = 12;  // Function: a place to jump to
      detail = item->has_address
                   ? "label at " + hex_value(static_cast<std::uint32_t>(item->address), 4)
                   : "label";
    } else if (item->kind == symbol::constant) {
      detail = "= " + std::to_string(item->value);
    } else {
      detail = "#define";
    }
    list.push_back({{"name", item->name},
                    {"detail", detail},
                    {"kind", kind},
                    {"range", range_json(line_text, line, 0, line_text.size())},
                    {"selectionRange", range_json(line_text, line, start,
                                                  found ? start + item->name.size() : start)}});
  }
  return list;
}

json server::completion(const json& params) {
  flush();
  document* doc = find_document(params);
  json items = json::array();
  std::set<std::string> names;
  const auto add = [&](const std::string& label, int kind, const std::string& detail) {
    if (!names.insert(label).second) return;
    items.push_back({{"label", label}, {"kind", kind}, {"detail", detail}});
  };
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    const opcode_info& row = opcode_row(id);
    if (row.check == check_kind::REFUSED) continue;
    add(row.mnemonic, 14, instruction_signature(row));  // Keyword
  }
  for (const char* reg : {"x", "y", "z", "r"}) add(reg, 6, "register");  // Variable
  add("CONST", 14, "CONST name value");
  for (const char* directive : {"#include", "#define", "#ifdef", "#else", "#endif"})
    add(directive, 14, "directive");
  if (doc != nullptr) {
    if (const main_run* run = run_for(doc->path)) {
      for (const symbol& item : run->result->symbols) {
        switch (item.kind) {
          case symbol::label: add(item.name, 18, "label"); break;  // Reference
          case symbol::constant: add(item.name, 21, "= " + std::to_string(item.value)); break;
          case symbol::define: add(item.name, 21, "#define"); break;
        }
      }
    }
  }
  return {{"isIncomplete", false}, {"items", std::move(items)}};
}

}  // namespace lsp
