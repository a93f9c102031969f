#include "driver/command_line.h"

#include <string_view>

namespace {

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

class reader {
 public:
  reader(const std::vector<std::string>& args, disk_interface& disk) : args_(args), disk_(disk) {}

  command_line read() {
    command_line line;
    if (args_.empty()) return line;
    // The classic words count alone; with more arguments the first is the
    // source, whatever it says.
    const std::string& first = args_[0];
    if (args_.size() == 1 && (first == "--help" || first == "/?")) {
      line.what = command_line::action::help;
      return line;
    }
    if (args_.size() == 1 && first == "-v") {
      line.what = command_line::action::version;
      return line;
    }
    if (first == "--help" || first == "/?" || first == "-v") {
      return assemble(line, 0);
    }
    std::size_t i = 0;
    for (; i < args_.size(); ++i) {
      const std::string& arg = args_[i];
      if (arg == "--version") {
        line.what = command_line::action::version;
        return line;
      }
      if (arg == "--help") {
        line.what = command_line::action::help;
        return line;
      }
      if (!option(arg, i, line.options)) break;
    }
    if (i == args_.size()) throw usage_error{"no source file given"};
    // An unknown option after known ones is a mistake, not a file name.
    if (i > 0 && args_[i].size() > 1 && args_[i][0] == '-') {
      throw usage_error{"unknown option '" + args_[i] + "'"};
    }
    return assemble(line, i);
  }

 private:
  command_line assemble(command_line& line, std::size_t source) {
    line.what = command_line::action::assemble;
    line.source = args_[source];
    line.options.ignored_args.assign(args_.begin() + static_cast<long>(source) + 1, args_.end());
    return line;
  }

  /// Takes the option at `i` (and its value) into `options`; false when the
  /// argument is no option of ours.
  bool option(const std::string& arg, std::size_t& i, assembly_options& options) {
    if (arg == "-D") {
      options.defines.push_back(name(value_of(arg, i), arg));
    } else if (starts_with(arg, "--define=")) {
      options.defines.push_back(name(arg.substr(9), "--define"));
    } else if (arg == "-I") {
      options.include_dirs.push_back(directory(value_of(arg, i), arg));
    } else if (starts_with(arg, "--include-dir=")) {
      options.include_dirs.push_back(directory(arg.substr(14), "--include-dir"));
    } else if (arg == "-o") {
      options.output_dir = directory(value_of(arg, i), arg);
    } else if (starts_with(arg, "--output-dir=")) {
      options.output_dir = directory(arg.substr(13), "--output-dir");
    } else if (arg == "--listing" || starts_with(arg, "--listing=")) {
      options.listing = file(arg, "--listing");
    } else if (arg == "--symbols" || starts_with(arg, "--symbols=")) {
      options.symbols = file(arg, "--symbols");
    } else if (starts_with(arg, "--deps=") || arg == "--deps") {
      options.deps = file(arg, "--deps");
      if (options.deps->empty()) throw usage_error{"option '--deps' needs a file name"};
    } else if (starts_with(arg, "--diagnostics=") || arg == "--diagnostics") {
      const std::string form = arg.size() > 14 ? arg.substr(14) : "";
      if (form == "gnu") {
        options.diagnostics = diagnostic_form::gnu;
      } else if (form == "json") {
        options.diagnostics = diagnostic_form::json;
      } else {
        throw usage_error{"option '--diagnostics' takes 'gnu' or 'json'"};
      }
    } else if (arg == "-W" || arg == "--warnings") {
      options.warnings = true;
    } else if (arg == "--fatal-warnings") {
      options.warnings = true;
      options.fatal_warnings = true;
    } else {
      return false;
    }
    return true;
  }

  const std::string& value_of(const std::string& option, std::size_t& i) {
    if (i + 1 >= args_.size()) throw usage_error{"option '" + option + "' needs a value"};
    return args_[++i];
  }

  static std::string name(const std::string& value, const std::string& option) {
    if (value.empty()) throw usage_error{"option '" + option + "' needs a name"};
    return value;
  }

  std::string directory(const std::string& value, const std::string& option) {
    if (value.empty()) throw usage_error{"option '" + option + "' needs a directory"};
    if (!disk_.is_directory(value)) {
      throw usage_error{"option '" + option + "': no directory '" + value + "'"};
    }
    return value;
  }

  /// The FILE of "--name=FILE", or empty for "--name".
  static std::string file(const std::string& arg, std::string_view option) {
    if (arg.size() == option.size()) return {};
    const std::string value = arg.substr(option.size() + 1);
    if (value.empty()) throw usage_error{"option '" + std::string(option) + "=' needs a file name"};
    return value;
  }

  const std::vector<std::string>& args_;
  disk_interface& disk_;
};

}  // namespace

command_line parse_command_line(const std::vector<std::string>& args, disk_interface& disk) {
  return reader(args, disk).read();
}
