// Draws the program's two pointer pictures and writes them as Windows cursor/icon files:
//   HAND-M.CUR  the pointing hand shown over the buttons (hot spot on the index fingertip)
//   drag.ico    the list's pointer while an entry is carried (a sheet with a moving row)
// Usage: lf_make_pointers <folder>            writes both files into folder
//        lf_make_pointers --check <folder>    exits 1 unless the files in folder are identical
// The pictures are 32 x 32 pixels, 32-bit with alpha plus the 1-bit mask older readers need.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 32;

struct Rgba {
    std::uint8_t r, g, b, a;
};

Rgba ColourOf(char c) {
    switch (c) {
        case 'X':
            return {0, 0, 0, 255};
        case 'o':
            return {255, 255, 255, 255};
        case 'g':
            return {150, 150, 150, 255};
        case 'b':
            return {30, 100, 220, 255};
        default:
            return {0, 0, 0, 0};
    }
}

// A 32 x 32 picture of palette letters; a blank is transparent.
class Canvas {
  public:
    Canvas() { rows_.fill(std::string(kSize, ' ')); }
    void Set(int x, int y, char c) {
        if (x >= 0 && x < kSize && y >= 0 && y < kSize)
            rows_[y][x] = c;
    }
    void Fill(int x0, int y0, int x1, int y1, char c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                Set(x, y, c);
    }
    void Frame(int x0, int y0, int x1, int y1, char c) {
        Fill(x0, y0, x1, y0, c);
        Fill(x0, y1, x1, y1, c);
        Fill(x0, y0, x0, y1, c);
        Fill(x1, y0, x1, y1, c);
    }
    void Draw(int x0, int y0, const std::vector<std::string>& art) {
        for (size_t y = 0; y < art.size(); ++y)
            for (size_t x = 0; x < art[y].size(); ++x)
                if (art[y][x] != ' ')
                    Set(x0 + static_cast<int>(x), y0 + static_cast<int>(y), art[y][x]);
    }
    char At(int x, int y) const { return rows_[y][x]; }

  private:
    std::array<std::string, kSize> rows_;
};

Canvas Hand() {
    Canvas c;
    c.Draw(7, 4,
           {
               "     XX",           "    XooX",          "    XooX",          "    XooX",
               "    XooX",          "    XooXXX",        "    XooXooXXX",     "    XooXooXooXX",
               "    XooXooXooXoX",  "XX  XooXooXooXooX", "XoX XoooooooooooX", "XooXXoooooooooooX",
               " XoXooooooooooooX", "  XXooooooooooooX", "  XoooooooooooooX", "   XooooooooooooX",
               "   XoooooooooooX",  "    XooooooooooX",  "    XoooooooooX",   "     XooooooooX",
               "     XooooooooX",   "     XXXXXXXXXX",
           });
    return c;
}

// A sheet of lines with one highlighted row and an up-and-down arrow through it, centred so
// that the picture works whichever point a reader takes as the hot spot.
Canvas Drag() {
    Canvas c;
    c.Fill(7, 6, 24, 25, 'o');
    c.Frame(7, 6, 24, 25, 'X');
    for (int y = 8; y <= 24; y += 2)
        if (y < 13 || y > 18)
            c.Fill(9, y, (y % 4 == 0) ? 20 : 22, y, 'g');
    c.Fill(8, 14, 23, 17, 'b');
    c.Draw(10, 0,
           {
               "     XX",
               "    XbbX",
               "   XbbbbX",
               "  XbbbbbbX",
               " XbbbbbbbbX",
               "XXXXbbbbXXXX",
               "   XbbbbX",
               "   XbbbbX",
           });
    c.Draw(10, 24,
           {
               "   XbbbbX",
               "   XbbbbX",
               "XXXXbbbbXXXX",
               " XbbbbbbbbX",
               "  XbbbbbbX",
               "   XbbbbX",
               "    XbbX",
               "     XX",
           });
    return c;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(v & 0xff);
    out.push_back((v >> 8) & 0xff);
}
void Put32(std::vector<std::uint8_t>& out, unsigned v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// One-image .ico (type 1) or .cur (type 2, where the entry carries the hot spot).
std::vector<std::uint8_t> Encode(const Canvas& c, bool cursor, int hotX, int hotY) {
    const unsigned pixelBytes = kSize * kSize * 4;
    const unsigned maskBytes = kSize * (kSize / 8);  // 32 bits per row, already 4-byte aligned
    const unsigned imageBytes = 40 + pixelBytes + maskBytes;
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, cursor ? 2 : 1);
    Put16(out, 1);
    out.push_back(kSize);
    out.push_back(kSize);
    out.push_back(0);
    out.push_back(0);
    Put16(out, cursor ? hotX : 1);
    Put16(out, cursor ? hotY : 32);
    Put32(out, imageBytes);
    Put32(out, 6 + 16);

    Put32(out, 40);
    Put32(out, kSize);
    Put32(out, kSize * 2);  // colour and mask together
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, pixelBytes + maskBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = kSize - 1; y >= 0; --y)
        for (int x = 0; x < kSize; ++x) {
            const Rgba p = ColourOf(c.At(x, y));
            out.insert(out.end(), {p.b, p.g, p.r, p.a});
        }
    for (int y = kSize - 1; y >= 0; --y)
        for (int byte = 0; byte < kSize / 8; ++byte) {
            std::uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (ColourOf(c.At(byte * 8 + bit, y)).a == 0)
                    bits |= 0x80 >> bit;
            out.push_back(bits);
        }
    return out;
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(f);
}

bool Same(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ifstream f(path, std::ios::binary);
    const std::vector<std::uint8_t> have((std::istreambuf_iterator<char>(f)),
                                         std::istreambuf_iterator<char>());
    if (have != bytes)
        std::fprintf(stderr, "%s differs from what the drawing gives\n", path.c_str());
    return have == bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: %s [--check] <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[argc - 1];
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"HAND-M.CUR", Encode(Hand(), true, 12, 4)},
        {"drag.ico", Encode(Drag(), false, 0, 0)},
    };
    bool ok = true;
    for (const auto& [name, bytes] : files)
        ok = (check ? Same(folder + "/" + name, bytes) : Write(folder + "/" + name, bytes)) && ok;
    return ok ? 0 : 1;
}
