// The solid pie's face order: the fast order must be exactly the one the literal exchange sort
// leaves, ties included, on inputs of every shape.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <utility>

#include "chart/pie_chart.h"

namespace kelvane {
namespace {

// The sort as it is written out: every later key smaller than the one in place is swapped in.
std::vector<int32_t> literalOrder(const std::vector<double>& keys) {
    std::vector<int32_t> order(keys.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int32_t(i);
    for (size_t w = 0; w < order.size(); ++w)
        for (size_t x = w + 1; x < order.size(); ++x)
            if (keys[size_t(order[w])] > keys[size_t(order[x])]) std::swap(order[w], order[x]);
    return order;
}

TEST(PieFaceOrder, MatchesTheLiteralExchangeSortOnEveryShapeOfInput) {
    std::mt19937 random(20240611);
    struct Shape {
        const char* name;
        std::function<double(size_t i, size_t n)> key;
    };
    const std::vector<Shape> shapes = {
        {"two values", [&](size_t, size_t) { return double(random() % 2); }},
        {"three values", [&](size_t, size_t) { return double(random() % 3); }},
        {"seven values", [&](size_t, size_t) { return double(random() % 7) - 3; }},
        {"many values", [&](size_t, size_t) { return double(random() % 1000) / 8; }},
        {"all equal", [](size_t, size_t) { return 4.5; }},
        {"ascending", [](size_t i, size_t) { return double(i); }},
        {"descending", [](size_t i, size_t n) { return double(n - i); }},
        {"ascending with ties", [](size_t i, size_t) { return double(i / 5); }},
        {"descending with ties", [](size_t i, size_t n) { return double((n - i) / 3); }},
        {"sawtooth", [](size_t i, size_t) { return double(i % 17); }},
        {"a rim of a pie", [](size_t i, size_t n) { return std::round(100 * std::sin(6.2831853 * double(i % (n / 2 + 1)) / double(n / 2 + 1))); }},
        {"zeros of both signs", [&](size_t, size_t) { return random() % 2 ? 0.0 : -0.0; }},
    };
    for (const Shape& shape : shapes) {
        for (size_t n : {size_t(0), size_t(1), size_t(2), size_t(3), size_t(5), size_t(16), size_t(100), size_t(777),
                         size_t(3001)}) {
            for (int round = 0; round < (n <= 100 ? 20 : 2); ++round) {
                std::vector<double> keys(n);
                for (size_t i = 0; i < n; ++i) keys[i] = shape.key(i, n);
                ASSERT_EQ(ExchangeSortOrder(keys), literalOrder(keys)) << shape.name << ", " << n << " keys";
            }
        }
    }
}

}  // namespace
}  // namespace kelvane
