// Builds the three code page 437 text fonts (8x8, 8x14, 8x16) from decompressed console
// fonts and writes them as a C++ source file.
//
// Usage: fontgen OUT.cpp FULL16.psf BASE8.psf PATCH8.psf BASE14.psf PATCH14.psf
//   FULL16: a font with a Unicode table that covers all of code page 437.
//   BASE8/BASE14: fonts without a table in code page 437 order, except codes 0x9B, 0x9D and
//     0xAF, which are taken from PATCH8/PATCH14 through their Unicode tables.
// Font rows keep the leftmost pixel in bit 7; the generated tables keep it in bit 0.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "surface/cp437.hpp"

namespace {

// One console font: glyph rows and, when present, the glyph index of each code point.
struct Psf {
  int height = 0;
  int count = 0;
  std::vector<std::uint8_t> rows;        // count * height bytes
  std::map<std::uint32_t, int> glyph_of;  // code point -> glyph index
};

Psf load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Header: magic 0x36 0x04, mode (bit 0: 512 glyphs, bit 1: Unicode table), glyph height.
  if (bytes.size() < 4 || bytes[0] != 0x36 || bytes[1] != 0x04)
    throw std::runtime_error(path + ": not a version 1 console font");
  Psf f;
  const int mode = bytes[2];
  f.height = bytes[3];
  f.count = (mode & 1) ? 512 : 256;
  const std::size_t glyph_bytes = static_cast<std::size_t>(f.count) * static_cast<std::size_t>(f.height);
  if (f.height == 0 || bytes.size() < 4 + glyph_bytes) throw std::runtime_error(path + ": truncated");
  f.rows.assign(bytes.begin() + 4, bytes.begin() + 4 + static_cast<std::ptrdiff_t>(glyph_bytes));
  if (mode & 2) {
    // Per glyph: 16-bit little-endian code points, sequences after 0xFFFE, ended by 0xFFFF.
    std::size_t p = 4 + glyph_bytes;
    for (int g = 0; g < f.count && p + 1 < bytes.size(); ++g) {
      bool in_sequence = false;
      while (p + 1 < bytes.size()) {
        const std::uint32_t u = bytes[p] | (static_cast<std::uint32_t>(bytes[p + 1]) << 8);
        p += 2;
        if (u == 0xFFFF) break;
        if (u == 0xFFFE) in_sequence = true;
        else if (!in_sequence) f.glyph_of.emplace(u, g);
      }
    }
  }
  return f;
}

std::uint8_t mirror(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (b & (1u << i)) r = static_cast<std::uint8_t>(r | (0x80u >> i));
  return r;
}

// Appends glyph g of f to out with the leftmost pixel moved to bit 0.
void append(std::vector<std::uint8_t>& out, const Psf& f, int g) {
  for (int r = 0; r < f.height; ++r) out.push_back(mirror(f.rows[static_cast<std::size_t>(g * f.height + r)]));
}

int lookup(const Psf& f, int code, const std::string& what) {
  const auto it = f.glyph_of.find(cp437::kToUnicode[static_cast<std::size_t>(code)]);
  if (it != f.glyph_of.end()) return it->second;
  // Code 0 and the no-break space have no glyph in some fonts: both are blank.
  if (code == 0 || code == 0xFF) {
    const auto blank = f.glyph_of.find(0x20);
    if (blank != f.glyph_of.end()) return blank->second;
  }
  throw std::runtime_error(what + ": no glyph for code " + std::to_string(code));
}

std::vector<std::uint8_t> from_table(const Psf& f, const std::string& what) {
  std::vector<std::uint8_t> out;
  for (int c = 0; c < 256; ++c) append(out, f, lookup(f, c, what));
  return out;
}

std::vector<std::uint8_t> patched(const Psf& base, const Psf& patch, const std::string& what) {
  if (base.height != patch.height) throw std::runtime_error(what + ": heights differ");
  std::vector<std::uint8_t> out;
  for (int c = 0; c < 256; ++c) {
    if (c == 0x9B || c == 0x9D || c == 0xAF) append(out, patch, lookup(patch, c, what));
    else append(out, base, c);
  }
  return out;
}

void emit(std::FILE* out, const char* name, const std::vector<std::uint8_t>& rows) {
  // The declaration gives the table external linkage.
  std::fprintf(out, "extern const std::uint8_t %s[%zu];\n", name, rows.size());
  std::fprintf(out, "const std::uint8_t %s[%zu] = {", name, rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) std::fprintf(out, "%s0x%02X,", i % 16 ? " " : "\n    ", rows[i]);
  std::fprintf(out, "\n};\n\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: fontgen OUT.cpp FULL16 BASE8 PATCH8 BASE14 PATCH14\n");
    return 2;
  }
  try {
    const Psf f16 = load(argv[2]);
    const Psf b8 = load(argv[3]), p8 = load(argv[4]);
    const Psf b14 = load(argv[5]), p14 = load(argv[6]);
    if (f16.height != 16 || b8.height != 8 || b14.height != 14) throw std::runtime_error("unexpected font height");
    const auto g16 = from_table(f16, "8x16");
    const auto g8 = patched(b8, p8, "8x8");
    const auto g14 = patched(b14, p14, "8x14");

    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[1]);
    std::fprintf(out, "// Generated by tools/fontgen from the system console fonts. Do not edit.\n");
    std::fprintf(out, "#include <cstdint>\n\nnamespace surf {\n\n");
    emit(out, "kFont8x8", g8);
    emit(out, "kFont8x14", g14);
    emit(out, "kFont8x16", g16);
    std::fprintf(out, "}  // namespace surf\n");
    if (std::fclose(out) != 0) throw std::runtime_error("write failed");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fontgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
