#pragma once
// Little-endian access to byte buffers: every value wider than a byte on the
// line, in the image and in the files goes through these.

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace LE {

template <typename T> T Get(const uint8_t *p) {
    static_assert(std::is_integral_v<T>);
    std::make_unsigned_t<T> v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= std::make_unsigned_t<T>(p[i]) << (8 * i);
    return static_cast<T>(v);
}

template <typename T> void Put(uint8_t *p, T value) {
    static_assert(std::is_integral_v<T>);
    auto v = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) p[i] = uint8_t(v >> (8 * i));
}

inline float GetFloat(const uint8_t *p) {
    uint32_t bits = Get<uint32_t>(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline void PutFloat(uint8_t *p, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    Put<uint32_t>(p, bits);
}

} // namespace LE
