// Reads a fuzz input as a stream of choices: integers, picks from a table and extreme values.
// Past the end every read gives zero, so any input, however short, is a complete program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace kelvane::fuzz {

class FuzzBytes {
public:
    FuzzBytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }

    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    template <class T>
    T raw() {
        T value{};
        uint8_t bytes[sizeof(T)] = {};
        for (uint8_t& b : bytes) b = byte();
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    // 0 .. count - 1.
    size_t below(size_t count) { return count == 0 ? 0 : byte() % count; }

    template <class T>
    T pick(std::span<const T> table) { return table[below(table.size())]; }

    // Mostly small numbers around the origin, sometimes a 32-bit extreme or any 32-bit value.
    int32_t coordinate() {
        static constexpr int32_t kExtremes[] = {0, -1, 1, 32767, -32768, 65536, 1 << 30, -(1 << 30),
                                                2147483647, -2147483647 - 1, 2147483646, -2147483647};
        switch (byte() % 8) {
            case 0: return pick(std::span<const int32_t>(kExtremes));
            case 1: return raw<int32_t>();
            default: return int8_t(byte());
        }
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

}  // namespace kelvane::fuzz
