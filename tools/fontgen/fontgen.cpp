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

namespace {

// Unicode code point of every code page 437 byte, with the graphic forms of 0x01..0x1F and 0x7F.
constexpr std::array<std::uint16_t, 256> kCp437 = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640,
    0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8, 0x2191, 0x2193,
    0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026,
    0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033,
    0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x0040,
    0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047, 0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D,
    0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A,
    0x005B, 0x005C, 0x005D, 0x005E, 0x005F, 0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074,
    0x0075, 0x0076, 0x0077, 0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302,
    // 0x80
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    // 0xB0
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D,
    0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554,
    0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553,
    0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    // 0xE0
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E,
    0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219,
    0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

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
  const auto it = f.glyph_of.find(kCp437[static_cast<std::size_t>(code)]);
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
