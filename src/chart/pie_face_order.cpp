// The order of the solid pie's radial faces: the order an exchange sort leaves them in, worked out
// in O(n log n) instead of running the sort's n² / 2 comparisons.
//
// The exchange sort: for w = 0 .. n-1, for x = w+1 .. n-1, swap slots w and x when key(w) >
// key(x). In pass w the element in slot w is a running minimum; each strictly smaller element met
// takes its place and the old one drops into that element's slot. So, with r0 = the element in
// slot w and r1, r2, .., rk the successive strict running minima of the remaining slots (the
// "records", keys strictly falling), pass w puts rk into slot w and each rj (j < k) into the slot
// r(j+1) came from; no other element moves. The output is ascending; what has to be found is the
// order among equal keys.
//
// Fix a key v and look only at the slots holding keys <= v, in slot order, as a word over V (key
// v) and L (key < v). While L elements remain, every pass takes one of them out (the minimum is
// below v), and:
// - if the word starts with L, the records at or below v are all L; the first one's slot goes to
//   an element above v (or to the output), the other records move into record slots: the word
//   just loses its first L, and no V moves;
// - if it starts with t V's before its first L, the first V is a record (everything before it
//   is above v) and moves into the slot of that first L, which is the next record: the word again
//   just loses its first L, and the V elements in the first t V slots rotate by one, the first
//   going last.
// No other V ever moves: records have distinct keys, so v has at most one per pass. Hence the
// j-th pass with L elements left sees the j-th L of the initial word, and rotates the V slots
// that lie before it in the initial word. Writing the initial word as L^g0 V L^g1 V L^g2 .. V
// L^gm, with e1 .. em the V elements in slot order: starting from D = (), for i = 1 .. m append
// ei to D and rotate D left by gi (mod i); once the L elements are gone the V elements come out
// in the order of D, since each pass then takes the first V left. The keys below v evolve the
// same way on their own, so each key can be worked out independently, smallest first.
//
// D is built backwards: the last element appended, em, sits at index (m - 1 - km) of the final D
// (km = gm mod m), and D before that step fills the other indices cyclically from the one after
// it. With a Fenwick tree over the free final indices every step is a k-th-free-index search.
#include <algorithm>

#include "chart/pie_chart.h"

namespace kelvane {

namespace {

// Counts over 0 .. n-1 with prefix sums and the search for the k-th counted index.
class Fenwick {
public:
    explicit Fenwick(size_t n) : m_tree(n + 1, 0) {}
    void add(size_t i, int32_t delta) {
        for (++i; i < m_tree.size(); i += i & (~i + 1)) m_tree[i] += delta;
    }
    // The number counted in 0 .. i-1.
    int32_t before(size_t i) const {
        int32_t sum = 0;
        for (; i > 0; i -= i & (~i + 1)) sum += m_tree[i];
        return sum;
    }
    // The index holding the k-th count (0-based); every count is 0 or 1.
    size_t kth(int32_t k) const {
        size_t at = 0;
        size_t step = 1;
        while (step * 2 < m_tree.size()) step *= 2;
        for (; step > 0; step /= 2) {
            if (at + step < m_tree.size() && m_tree[at + step] <= k) {
                at += step;
                k -= m_tree[at];
            }
        }
        return at;
    }

private:
    std::vector<int32_t> m_tree;
};

}  // namespace

std::vector<int32_t> ExchangeSortOrder(const std::vector<double>& keys) {
    const size_t n = keys.size();
    // Slots grouped by key, ascending, each group in slot order.
    std::vector<int32_t> bySlot(n);
    for (size_t i = 0; i < n; ++i) bySlot[i] = int32_t(i);
    std::stable_sort(bySlot.begin(), bySlot.end(),
                     [&](int32_t a, int32_t b) { return keys[size_t(a)] < keys[size_t(b)]; });

    std::vector<int32_t> order;
    order.reserve(n);
    Fenwick below(n);  // the slots of the keys already placed, all below the current one
    std::vector<int32_t> gaps, placed;
    for (size_t first = 0; first < n;) {
        size_t last = first + 1;
        while (last < n && !(keys[size_t(bySlot[first])] < keys[size_t(bySlot[last])])) ++last;
        const size_t m = last - first;
        const int32_t* e = bySlot.data() + first;
        // g(i): the smaller keys between the i-th and the next element of this key (or the end).
        gaps.assign(m, 0);
        for (size_t i = 0; i < m; ++i) {
            const size_t to = i + 1 < m ? size_t(e[i + 1]) : n;
            gaps[i] = below.before(to) - below.before(size_t(e[i]) + 1);
        }
        placed.assign(m, 0);
        Fenwick free(m);
        for (size_t i = 0; i < m; ++i) free.add(i, 1);
        size_t reference = 0;  // the rank, among the free indices, of D's index 0
        for (size_t i = m; i >= 1; --i) {
            const size_t k = size_t(gaps[i - 1]) % i;
            const size_t rank = (reference + (i - 1 - k)) % i;
            const size_t index = free.kth(int32_t(rank));
            placed[index] = e[i - 1];
            free.add(index, -1);
            if (i > 1) reference = rank % (i - 1);
        }
        order.insert(order.end(), placed.begin(), placed.end());
        for (size_t i = 0; i < m; ++i) below.add(size_t(e[i]), 1);
        first = last;
    }
    return order;
}

}  // namespace kelvane
