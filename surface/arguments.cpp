// Start values from the command line (in the browser: from the page address, which the page hands
// over as the command line).
#include "surface/arguments.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "surface/runtime.hpp"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>

// The page shows the line apart from the runtime error report; a page without the place for it
// still puts it in the console.
EM_JS(void, web_notice, (const char* utf8), {
  var line = UTF8ToString(utf8);
  if (typeof showNotice === 'function') showNotice(line);
  else console.warn(line);
});
#endif

void RUNTIME_NOTICE(const String& line) {
#ifdef __EMSCRIPTEN__
  web_notice(line.c_str());
#else
  const String out = line + "\n";
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
#endif
}

namespace args {

namespace {

constexpr std::string_view kBlanks = " \t";
// A bad argument is shown at most this long: a line, not a screenful.
constexpr std::size_t kShownMax = 60;

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// An argument as the line names it: without leading dashes, control bytes as '?', cut at a
// character boundary when it is too long.
std::string shown(std::string_view arg) {
  if (arg.starts_with("--")) arg.remove_prefix(2);
  std::string out;
  for (const char c : arg) {
    const auto byte = static_cast<unsigned char>(c);
    out.push_back(byte < 0x20 || byte == 0x7F ? '?' : c);
  }
  if (out.size() > kShownMax) {
    std::size_t cut = kShownMax;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;  // not inside a UTF-8 sequence
    out.resize(cut);
    out += "...";
  }
  return out.empty() ? "\"\"" : out;
}

std::string bad_line(std::string_view arg, const std::string& why) {
  return "Ungültiger Startwert: " + shown(arg) + " (" + why + "). Es gelten die Voreinstellungen.";
}

std::string known_names(std::span<const Option> options) {
  std::string names;
  for (const Option& o : options) names += (names.empty() ? "" : ", ") + std::string(o.name);
  return names;
}

// The number of a Choice or Switch text, or nullopt when it is none of its values.
std::optional<Integer> whole_number(const std::string& text, Integer lowest, Integer highest) {
  Double value = 0;
  if (!STR_READ_DECIMAL(text, value) || value != std::floor(value) || value < lowest || value > highest)
    return std::nullopt;
  return static_cast<Integer>(value);
}

// What option `o` expects, for the line that names a bad value.
std::string expected(const Option& o) {
  switch (o.kind) {
    case Kind::Choice:
      return "erwartet eine ganze Zahl von 1 bis " + std::to_string(o.limit);
    case Kind::Decimal:
      return "erwartet eine Zahl wie 1,5 oder -0.3";
    case Kind::Switch:
      return "erwartet 0 oder 1";
  }
  return {};
}

bool asks_for_help(std::string_view arg) { return arg == "--help" || arg == "-h" || arg == "help"; }

}  // namespace

Reading read(std::span<const std::string> args, std::span<const Option> options) {
  Reading reading;
  for (const std::string& arg : args) {
    if (asks_for_help(arg)) return {Reading::Outcome::Help, {}, {}};
  }
  const auto bad = [](std::string_view arg, const std::string& why) {
    return Reading{Reading::Outcome::Bad, {}, bad_line(arg, why)};
  };
  for (const std::string& arg : args) {
    std::string_view word = arg;
    if (word.starts_with("--")) word.remove_prefix(2);
    const std::size_t eq = word.find('=');
    const std::string_view name = word.substr(0, eq);
    std::size_t index = 0;
    while (index < options.size() && options[index].name != name) ++index;
    if (name.empty() || index == options.size())
      return bad(arg, "unbekannter Name; bekannt sind " + known_names(options));
    const Option& option = options[index];
    if (find(reading.values, index) != nullptr) return bad(arg, std::string(name) + " ist schon angegeben");

    Value value{index, std::string(eq == std::string_view::npos ? "1" : trimmed(word.substr(eq + 1))), 0};
    if (eq == std::string_view::npos && option.kind != Kind::Switch) return bad(arg, expected(option));
    Double number = 0;
    if (option.kind == Kind::Decimal) {
      if (!STR_READ_DECIMAL(value.text, number)) return bad(arg, expected(option));
    } else {
      const auto whole = option.kind == Kind::Choice ? whole_number(value.text, 1, option.limit)
                                                     : whole_number(value.text, 0, 1);
      if (!whole) return bad(arg, expected(option));
      value.number = *whole;
    }
    reading.values.push_back(std::move(value));
  }
  return reading;
}

std::string help(std::string_view program, std::span<const Option> options) {
  std::string text = "Aufruf: " + std::string(program) + " [--name=Wert ...]\n";
  text += "Im Browser dieselben Startwerte in der Adresse: " + std::string(program) + ".html?name=Wert&name=Wert\n\n";
  std::vector<std::string> forms;
  std::size_t width = 0;
  for (const Option& o : options) {
    std::string form = "--" + std::string(o.name);
    if (o.kind == Kind::Choice) form += "=1.." + std::to_string(o.limit);
    if (o.kind == Kind::Decimal) form += "=Zahl";
    if (o.kind == Kind::Switch) form += "[=0|1]";
    width = std::max(width, form.size());
    forms.push_back(std::move(form));
  }
  for (std::size_t i = 0; i < options.size(); ++i)
    text += "  " + forms[i] + std::string(width - forms[i].size() + 2, ' ') + std::string(options[i].help) + "\n";
  if (std::any_of(options.begin(), options.end(), [](const Option& o) { return o.kind == Kind::Decimal; }))
    text += "\nZahlen mit Punkt oder Komma: 1.5 oder 1,5.";
  text += "\nIst ein Wert ungültig, nennt das Programm ihn in einer Zeile und startet mit seinen Voreinstellungen.\n";
  return text;
}

std::optional<int> from_command_line(std::string_view program, int argc, const char* const* argv,
                                     std::span<const Option> options, std::vector<Value>& values) {
  std::vector<std::string> list;
  for (int i = 1; i < argc; ++i) list.emplace_back(argv[i] != nullptr ? argv[i] : "");
  Reading reading = read(list, options);
  values.clear();
  switch (reading.outcome) {
    case Reading::Outcome::Help: {
      const std::string text = help(program, options);
#ifdef __EMSCRIPTEN__
      // A page that ended here would stay empty: it shows the help where a bad value's line
      // goes and starts the program as it always starts.
      RUNTIME_NOTICE(text.substr(0, text.size() - 1));
      return std::nullopt;
#else
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fflush(stdout);
      return 0;
#endif
    }
    case Reading::Outcome::Bad:
      RUNTIME_NOTICE(reading.line);
      return std::nullopt;
    case Reading::Outcome::Values:
      values = std::move(reading.values);
      return std::nullopt;
  }
  return std::nullopt;
}

const Value* find(const std::vector<Value>& values, std::size_t option) {
  for (const Value& v : values)
    if (v.option == option) return &v;
  return nullptr;
}

}  // namespace args
