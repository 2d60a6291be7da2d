// Reading the snapshot script.
#include "surface/snapshot.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "surface/keys.hpp"

namespace snapshot {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Splits off the first blank-separated word of `rest`.
std::string_view next_word(std::string_view& rest) {
  std::size_t i = 0;
  while (i < rest.size() && is_space(rest[i])) ++i;
  std::size_t j = i;
  while (j < rest.size() && !is_space(rest[j])) ++j;
  const std::string_view word = rest.substr(i, j - i);
  rest.remove_prefix(j);
  return word;
}

// A whole word as a finite double in [lo, hi].
std::optional<double> number(std::string_view word, double lo, double hi) {
  double v = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (word.empty() || ec != std::errc{} || end != word.data() + word.size()) return std::nullopt;
  if (!std::isfinite(v) || v < lo || v > hi) return std::nullopt;
  return v;
}

// A whole word as an integer in [lo, hi]; leading '+' allowed.
std::optional<long long> integer(std::string_view word, long long lo, long long hi) {
  if (word.size() > 1 && word.front() == '+') word.remove_prefix(1);
  long long v = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (word.empty() || ec != std::errc{} || end != word.data() + word.size() || v < lo || v > hi) return std::nullopt;
  return v;
}

std::optional<int> coordinate(std::string_view word) {
  const auto v = integer(word, -kMaxCoordinate, kMaxCoordinate);
  return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
}

std::optional<int> button(std::string_view word) {
  if (word.empty()) return 1;
  const auto v = integer(word, 1, 4);
  if (!v || *v == 3) return std::nullopt;
  return static_cast<int>(*v);
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::optional<Integer> key_code(std::string_view word) {
  const std::string name = lower(word);
  // The close request has a verb of its own.
  for (const surf::KeyEntry& k : surf::kKeyTable)
    if (k.key != surf::Key::Close && k.name == name) return k.code;
  // A code as the key queue holds it: one byte, or 255 + 256 * scan with a one-byte scan.
  const auto v = integer(word, 0, surf::extended_key_code(255));
  if (!v) return std::nullopt;
  if (*v < 256 || (*v - 255) % 256 == 0) return static_cast<Integer>(*v);
  return std::nullopt;
}

std::optional<std::vector<Event>> parse(std::string_view text, std::string& error) {
  std::vector<Event> events;
  bool closed = false;
  int line_no = 0;
  for (std::size_t pos = 0; pos <= text.size();) {
    ++line_no;
    const std::size_t nl = std::min(text.find('\n', pos), text.size());
    std::string_view line = text.substr(pos, nl - pos);
    pos = nl + 1;
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    std::string_view rest = line;
    const std::string_view time_word = next_word(rest);
    if (time_word.empty()) continue;
    const auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(line_no) + ": " + why;
      return std::nullopt;
    };
    Event e;
    e.line = line_no;
    const auto at = number(time_word, 0, kMaxTimeMs);
    if (!at) return fail("time '" + std::string(time_word) + "' is not a number of ms from 0 to 86400000");
    e.at_ms = *at;
    const std::string verb = lower(next_word(rest));
    if (verb == "type") {
      // One blank separates the verb from the text; further leading blanks are typed,
      // trailing ones are not (they usually stand before a comment).
      if (!rest.empty() && is_space(rest.front())) rest.remove_prefix(1);
      while (!rest.empty() && is_space(rest.back())) rest.remove_suffix(1);
      e.verb = Verb::Type;
      e.text = keys::utf8_to_cp437(rest);
      if (e.text.empty()) return fail("type needs a text");
      events.push_back(std::move(e));
      continue;
    }
    std::vector<std::string_view> args;
    for (std::string_view w = next_word(rest); !w.empty(); w = next_word(rest)) args.push_back(w);
    const auto arity = [&](std::size_t lo, std::size_t hi) { return args.size() >= lo && args.size() <= hi; };
    if (verb == "click" || verb == "move") {
      const bool click = verb == "click";
      if (!arity(2, click ? 3 : 2)) return fail(verb + (click ? " needs <x> <y> [hold-ms]" : " needs <x> <y>"));
      const auto x = coordinate(args[0]), y = coordinate(args[1]);
      if (!x || !y) return fail("coordinates must be whole numbers within +/-1000000");
      e.verb = click ? Verb::Click : Verb::Move;
      e.x = *x;
      e.y = *y;
      if (click) {
        const auto hold = args.size() == 3 ? number(args[2], 0, kMaxTimeMs) : std::optional<double>(kDefaultHoldMs);
        if (!hold) return fail("hold time must be a number of ms from 0 to 86400000");
        e.hold_ms = *hold;
      }
    } else if (verb == "leave" || verb == "close") {
      if (!args.empty()) return fail(verb + " takes no arguments");
      e.verb = verb == "leave" ? Verb::Leave : Verb::Close;
      if (e.verb == Verb::Close) {
        if (closed) return fail("only one close request");
        closed = true;
      }
    } else if (verb == "press" || verb == "release") {
      if (!arity(0, 1)) return fail(verb + " takes at most a button");
      const auto b = button(args.empty() ? std::string_view{} : args[0]);
      if (!b) return fail("button must be 1, 2 or 4");
      e.verb = verb == "press" ? Verb::Press : Verb::Release;
      e.x = *b;
    } else if (verb == "wheel") {
      const auto n = arity(1, 1) ? integer(args[0], -1000, 1000) : std::nullopt;
      if (!n || *n == 0) return fail("wheel needs a non-zero number of notches within +/-1000");
      e.verb = Verb::Wheel;
      e.x = static_cast<int>(*n);
    } else if (verb == "key") {
      const auto code = arity(1, 1) ? key_code(args[0]) : std::nullopt;
      if (!code) return fail("key needs a key name or a key code");
      e.verb = Verb::Key;
      e.code = *code;
    } else if (verb == "shot") {
      if (!arity(1, 1)) return fail("shot needs one file name (without blanks)");
      e.verb = Verb::Shot;
      e.text = std::string(args[0]);
    } else {
      return fail(verb.empty() ? "an event needs a verb" : "unknown verb '" + verb + "'");
    }
    events.push_back(std::move(e));
  }
  return events;
}

}  // namespace snapshot
