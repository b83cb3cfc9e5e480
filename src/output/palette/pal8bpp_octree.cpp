// cPal8bpp::CreateOptimal: an octree colour quantiser. Every pixel walks down from the root,
// each level halving the red, green and blue ranges; the leaves average the pixels that reach
// them. Whenever the tree holds more leaves than colours wanted, the most recently opened node
// of the deepest level folds its children into itself, so the tree never grows beyond a few
// hundred nodes whatever the picture's size.
#include <vector>

#include "kelvane/runtime.h"
#include "output/palette/pal8bpp.h"
#include "raster/cdib.h"

namespace kelvane {

namespace {

constexpr int32_t kMaxLevels = 8;
constexpr int32_t kFirstNodes = 50;

struct Node {
    bool leaf = false;
    bool listed = false;  // sits (or sat) in a reducible list
    uint64_t red = 0, green = 0, blue = 0;
    uint32_t count = 0;  // pixels of a leaf, children of an inner node
    int32_t child[8] = {};
    int32_t next = 0;  // the next node of its reducible list, or of the free list
};

class Octree {
public:
    Octree(int32_t levels, float rWeight, float gWeight, float bWeight)
        : m_levels(levels), m_weight{rWeight, gWeight, bWeight}, m_nodes(kFirstNodes + 1) {
        m_count = 1;  // node 1 is the root; index 0 means "none"
    }

    void insert(uint8_t r, uint8_t g, uint8_t b) {
        // A run of one colour ends in the same leaf, as long as no reduction moved it.
        const int32_t colour = r << 16 | g << 8 | b;
        if (m_lastLeaf != 0 && colour == m_lastColour) {
            addTo(m_nodes[size_t(m_lastLeaf)], r, g, b);
            return;
        }
        const uint8_t value[3] = {r, g, b};
        int low[3] = {0, 0, 0}, high[3] = {255, 255, 255};
        int32_t node = 1;
        for (int32_t level = 1;; ++level) {
            int slot = 0;
            for (int c = 0; c < 3; ++c) {
                const int mid = midPoint(low[c], high[c]);
                if (float(value[c]) * m_weight[c] > float(mid)) {
                    slot |= 1 << c;
                    low[c] = mid;
                } else {
                    high[c] = mid;
                }
            }
            int32_t child = m_nodes[size_t(node)].child[slot];
            if (child == 0) {
                child = takeNode();
                m_nodes[size_t(child)].leaf = level == m_levels;
                m_nodes[size_t(node)].child[slot] = child;
                ++m_nodes[size_t(node)].count;
            }
            Node& n = m_nodes[size_t(child)];
            if (n.leaf) {
                if (n.count == 0) ++m_leaves;
                addTo(n, r, g, b);
                m_lastLeaf = child;
                m_lastColour = colour;
                return;
            }
            if (!n.listed) {
                n.next = m_reducible[size_t(level)];
                m_reducible[size_t(level)] = child;
                n.listed = true;
            }
            node = child;
        }
    }

    int32_t leaves() const { return m_leaves; }

    // Folds the children of the newest node of the deepest non-empty list into it; false when
    // there is nothing left to fold.
    bool reduce() {
        int32_t level = m_levels;
        while (level >= 1 && m_reducible[size_t(level)] == 0) --level;
        if (level < 1) return false;
        m_lastLeaf = 0;
        const int32_t index = m_reducible[size_t(level)];
        m_reducible[size_t(level)] = m_nodes[size_t(index)].next;
        uint64_t red = 0, green = 0, blue = 0;
        uint32_t count = 0;
        for (int32_t& c : m_nodes[size_t(index)].child) {
            if (c == 0) continue;
            Node& child = m_nodes[size_t(c)];
            red += child.red;
            green += child.green;
            blue += child.blue;
            count += child.count;
            child.leaf = child.listed = false;
            child.next = m_free;
            m_free = c;
            --m_leaves;
            c = 0;
        }
        Node& n = m_nodes[size_t(index)];
        n.red = red;
        n.green = green;
        n.blue = blue;
        n.count = count;
        n.leaf = true;
        ++m_leaves;
        return true;
    }

    // The leaves in the order of the node array, each the average of its pixels.
    void writeLeaves(cPal8bpp& palette) const {
        palette.Initialize(0);
        auto average = [](uint64_t sum, uint32_t count) { return uint8_t(RoundEven(double(sum) / count)); };
        for (int32_t i = 1; i <= m_count; ++i) {
            const Node& n = m_nodes[size_t(i)];
            if (!n.leaf || n.count == 0) continue;
            const int16_t e = palette.Entries();
            palette.Entries(int16_t(e + 1));
            palette.rgbR(e, average(n.red, n.count));
            palette.rgbG(e, average(n.green, n.count));
            palette.rgbB(e, average(n.blue, n.count));
        }
    }

private:
    // The mid-point of a byte range, low / 2 + high / 2 with a half rounded to even.
    static int midPoint(int low, int high) {
        const int sum = low + high, half = sum >> 1;
        return (sum & 1) && (half & 1) ? half + 1 : half;
    }

    static void addTo(Node& leaf, uint8_t r, uint8_t g, uint8_t b) {
        ++leaf.count;
        leaf.red += r;
        leaf.green += g;
        leaf.blue += b;
    }

    // A cleared node: a released one first, else the next index, the array growing by a tenth.
    int32_t takeNode() {
        int32_t index = m_free;
        if (index != 0) {
            m_free = m_nodes[size_t(index)].next;
        } else {
            index = ++m_count;
            if (size_t(index) >= m_nodes.size()) m_nodes.resize(size_t(RoundEven(index * 1.1)) + 1);
        }
        m_nodes[size_t(index)] = Node{};
        return index;
    }

    int32_t m_levels;
    float m_weight[3];
    std::vector<Node> m_nodes;
    int32_t m_count = 0;
    int32_t m_free = 0;
    int32_t m_leaves = 0;
    int32_t m_reducible[kMaxLevels + 1] = {};  // heads of the lists of levels 1 to 8
    int32_t m_lastLeaf = 0;  // where the last pixel went; 0 after a reduction
    int32_t m_lastColour = 0;
};

}  // namespace

void cPal8bpp::CreateOptimal(const cDIB& picture, int32_t nColors, int32_t nLevels, float rWeight,
                             float gWeight, float bWeight) {
    if (nColors < 1 || nColors > kMaxEntries || nLevels < 1 || nLevels > kMaxLevels)
        Raise(kErrInvalidCall);
    if (picture.BPP() != 32 || !picture.lpBits()) return;
    Octree tree(nLevels, rWeight, gWeight, bWeight);
    for (int32_t y = 0; y < picture.Height(); ++y) {
        const uint8_t* p = picture.lpBits() + size_t(y) * size_t(picture.BytesPerScanLine());
        for (int32_t x = 0; x < picture.Width(); ++x, p += 4) {
            tree.insert(p[2], p[1], p[0]);
            while (tree.leaves() > nColors)
                if (!tree.reduce()) break;
        }
    }
    tree.writeLeaves(*this);
}

}  // namespace kelvane
