// A small deterministic PNG writer for palette pages: 8-bit indexed colour,
// one deflate block with the fixed codes and greedy LZ77 matching. Equal
// pages always give equal files, so files can be compared byte for byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace png {

class BitWriter {
public:
    void bits(uint32_t value, int count) {  // least significant bit first
        for (int i = 0; i < count; ++i) {
            if (used == 0) out.push_back(0);
            out.back() |= uint8_t((value >> i & 1) << used);
            used = (used + 1) & 7;
        }
    }
    void code(uint32_t value, int count) {  // Huffman codes go most significant bit first
        for (int i = count - 1; i >= 0; --i) bits(value >> i & 1, 1);
    }
    std::vector<uint8_t> out;

private:
    int used = 0;
};

inline void literal(BitWriter& w, uint32_t v) {
    if (v < 144) w.code(0x30 + v, 8);
    else if (v < 256) w.code(0x190 + v - 144, 9);
    else if (v < 280) w.code(v - 256, 7);
    else w.code(0xC0 + v - 280, 8);
}

inline void match(BitWriter& w, uint32_t length, uint32_t distance) {
    static const uint16_t length_base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const uint8_t length_extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                             2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const uint16_t distance_base[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                               33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                               1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const uint8_t distance_extra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                               6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    int l = 28;
    while (length_base[l] > length) --l;
    literal(w, 257 + l);
    w.bits(length - length_base[l], length_extra[l]);
    int d = 29;
    while (distance_base[d] > distance) --d;
    w.code(d, 5);
    w.bits(distance - distance_base[d], distance_extra[d]);
}

inline std::vector<uint8_t> deflate(const std::vector<uint8_t>& data) {
    BitWriter w;
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed codes
    std::vector<int32_t> last(1 << 16, -1);
    auto hash = [&](size_t i) { return (data[i] * 251u + data[i + 1] * 31u + data[i + 2]) & 0xFFFF; };
    size_t i = 0;
    while (i < data.size()) {
        uint32_t best = 0, distance = 0;
        if (i + 2 < data.size()) {
            uint32_t h = hash(i);
            int32_t candidate = last[h];
            last[h] = int32_t(i);
            if (candidate >= 0 && i - size_t(candidate) <= 32768) {
                uint32_t n = 0;
                while (n < 258 && i + n < data.size() && data[candidate + n] == data[i + n]) ++n;
                if (n >= 3) best = n, distance = uint32_t(i - size_t(candidate));
            }
        }
        if (best) {
            match(w, best, distance);
            for (size_t k = i + 1; k < i + best && k + 2 < data.size(); ++k) last[hash(k)] = int32_t(k);
            i += best;
        } else {
            literal(w, data[i++]);
        }
    }
    literal(w, 256);
    return w.out;
}

inline uint32_t crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

inline void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    put32(out, uint32_t(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32(out, crc32(out.data() + start, out.size() - start));
}

// width x height palette indices and the palette entries they use (0xRRGGBB).
inline std::vector<uint8_t> encode_indexed(const uint8_t* pixels, uint32_t width, uint32_t height,
                                           const uint32_t* palette, uint32_t colours) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32(header, width);
    put32(header, height);
    header.insert(header.end(), {8, 3, 0, 0, 0});
    chunk(out, "IHDR", header);
    std::vector<uint8_t> plte;
    for (uint32_t i = 0; i < colours; ++i)
        plte.insert(plte.end(), {uint8_t(palette[i] >> 16), uint8_t(palette[i] >> 8), uint8_t(palette[i])});
    chunk(out, "PLTE", plte);
    std::vector<uint8_t> raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), pixels + size_t(y) * width, pixels + size_t(y + 1) * width);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    std::vector<uint8_t> packed = deflate(raw);
    z.insert(z.end(), packed.begin(), packed.end());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    put32(z, b << 16 | a);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    return out;
}

}  // namespace png
