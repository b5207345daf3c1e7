#pragma once

// Fixed-width little-endian fields read in place, on the standard library
// alone: the readers of termine.dat with Qt and without share them.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The integer or double whose bytes start at p, in any alignment.
template <typename T> T LoadLE(const char* p)
{
    if constexpr (sizeof(T) == 8 && !std::is_integral_v<T>) {
        return std::bit_cast<T>(LoadLE<std::uint64_t>(p));
    } else {
        T value;
        std::memcpy(&value, p, sizeof value);
        if constexpr (std::endian::native == std::endian::big) {
            auto bits = static_cast<std::make_unsigned_t<T>>(value);
            std::make_unsigned_t<T> swapped = 0;
            for (std::size_t i = 0; i < sizeof(T); ++i, bits >>= 8)
                swapped = static_cast<std::make_unsigned_t<T>>(swapped << 8 | (bits & 0xff));
            value = static_cast<T>(swapped);
        }
        return value;
    }
}

// How many 32-bit fields from fields on are 0, at most most (all readable).
// Inline: the loader asks once for every day that holds appointments.
inline std::size_t ZeroFields(const char* fields, std::size_t most)
{
    std::size_t n = 0;
#if defined(__SSE2__)
    // Eight fields a step, the first one that is not 0 found from a mask: the
    // zeros between two used days are few and vary, so a loop ending at the
    // first one would be mispredicted per day.
    const __m128i zero = _mm_setzero_si128();
    for (; n + 8 <= most; n += 8) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fields + n * 4));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fields + n * 4 + 16));
        const auto zeros =
            static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(low, zero)))) |
            static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(high, zero)))) << 4;
        if (zeros != 0xff)
            return n + static_cast<std::size_t>(std::countr_one(zeros));
    }
#endif
    while (n < most && LoadLE<std::uint32_t>(fields + n * 4) == 0)
        ++n;
    return n;
}
