// GIF's variable-width LZW. The string table is an open-addressed hash of (next pixel, prefix
// code) keys in 5003 slots, a prime comfortably above the 4096 codes; a collision probes
// backwards by a displacement that depends on the slot, so no slot is searched twice. When all
// 4096 codes are given out, a clear code starts a new table.
#include "output/gif/gif_lzw.h"

#include <algorithm>

namespace kelvane::gif {

namespace {

constexpr int32_t kHashSize = 5003;
constexpr int32_t kHashShift = 4;  // 8 minus the doublings that bring 5003 to 65536
constexpr int32_t kMaxCodes = 4096;
constexpr int32_t kMaxWidth = 12;
constexpr int32_t kEmpty = -1;
constexpr int32_t kPacketBytes = 254;

constexpr int32_t mask(int32_t bits) { return (1 << bits) - 1; }

// The rows in the order they are coded.
std::vector<int32_t> rowOrder(int32_t height, bool interlaced) {
    std::vector<int32_t> rows;
    rows.reserve(size_t(height > 0 ? height : 0));
    if (!interlaced) {
        for (int32_t y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    static constexpr int32_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int32_t y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    return rows;
}

class Coder {
public:
    Coder(int32_t initialWidth, std::vector<uint8_t>& out)
        : m_slots(kHashSize), m_initialWidth(initialWidth),
          m_width(initialWidth), m_maxCode(mask(initialWidth)),
          m_clear(1 << (initialWidth - 1)), m_end(m_clear + 1), m_next(m_clear + 2), m_out(out) {}

    void run(const IndexRows& picture) {
        output(m_clear);
        bool first = true;
        int32_t prefix = 0;
        for (const int32_t y : rowOrder(picture.height, picture.interlaced)) {
            const uint8_t* row = picture.bits + size_t(y) * size_t(picture.stride);
            int32_t x = 0;
            if (first && picture.width > 0) {
                prefix = row[0];
                x = 1;
                first = false;
            }
            for (; x < picture.width; ++x) prefix = extend(prefix, row[x]);
        }
        if (!first) output(prefix);
        output(m_end);
    }

private:
    // The code of prefix + c when the table knows it; otherwise prefix is written, the string
    // is added (or the table cleared when full) and c starts the next string.
    int32_t extend(int32_t prefix, int32_t c) {
        Slot* const slots = m_slots.data();
        const int32_t key = (c << kMaxWidth) + prefix;
        int32_t slot = (c << kHashShift) ^ prefix;
        if (slots[slot].key == key) return slots[slot].code;
        if (slots[slot].key >= 0) {
            const int32_t displacement = slot == 0 ? 1 : kHashSize - slot;
            do {
                slot -= displacement;
                if (slot < 0) slot += kHashSize;
                if (slots[slot].key == key) return slots[slot].code;
            } while (slots[slot].key > 0);
        }
        output(prefix);
        if (m_next < kMaxCodes) {
            slots[slot] = Slot{key, m_next++};
        } else {
            clearBlock();
        }
        return c;
    }

    void clearBlock() {
        std::fill(m_slots.begin(), m_slots.end(), Slot{});
        m_next = m_clear + 2;
        m_clearFlag = true;
        output(m_clear);
    }

    void output(int32_t code) {
        m_bits = m_count > 0 ? m_bits | uint32_t(code) << m_count : uint32_t(code);
        m_count += m_width;
        while (m_count >= 8) {
            addByte(uint8_t(m_bits));
            m_bits >>= 8;
            m_count -= 8;
        }
        // The decoder widens its codes once the next free code no longer fits; after a clear
        // both start again at the initial width. Codes stop at 12 bits.
        if (m_next > m_maxCode || m_clearFlag) {
            if (m_clearFlag) {
                m_width = m_initialWidth;
                m_maxCode = mask(m_initialWidth);
                m_clearFlag = false;
            } else {
                ++m_width;
                m_maxCode = m_width == kMaxWidth ? kMaxCodes : mask(m_width);
            }
        }
        if (code == m_end) {
            if (m_count > 0) addByte(uint8_t(m_bits));
            m_bits = 0;
            m_count = 0;
            flushPacket();
        }
    }

    void addByte(uint8_t b) {
        if (m_packet == 0) {
            m_countAt = m_out.size();
            m_out.push_back(0);
        }
        m_out.push_back(b);
        if (++m_packet == kPacketBytes) flushPacket();
    }

    void flushPacket() {
        if (m_packet == 0) return;
        m_out[m_countAt] = uint8_t(m_packet);
        m_packet = 0;
    }

    // A string's key (next pixel x 4096 + prefix code; kEmpty for a free slot) and its code.
    struct Slot {
        int32_t key = kEmpty;
        int32_t code = 0;
    };
    std::vector<Slot> m_slots;
    const int32_t m_initialWidth;
    int32_t m_width, m_maxCode;
    const int32_t m_clear, m_end;
    int32_t m_next;
    bool m_clearFlag = false;
    uint32_t m_bits = 0;  // pending code bits, least significant first
    int32_t m_count = 0;  // how many of them
    std::vector<uint8_t>& m_out;
    size_t m_countAt = 0;  // where the open packet's length byte stands
    int32_t m_packet = 0;  // bytes in the open packet
};

}  // namespace

void CompressLZW(const IndexRows& picture, int32_t minimumCodeSize, std::vector<uint8_t>& out) {
    Coder(minimumCodeSize + 1, out).run(picture);
}

}  // namespace kelvane::gif
