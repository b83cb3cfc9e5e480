// The float forward DCT of Arai, Agui and Nakajima on eight values, written once for scalars and
// every vector width: the builds for each instruction set run the very same single-precision
// operations in the same order, so they give the same coefficients bit for bit.
#pragma once

namespace kelvane::jpeg {

// The factorisation's multipliers: cos(pi/4), cos(3pi/8), cos(pi/8) - cos(3pi/8) and
// cos(pi/8) + cos(3pi/8), in single precision.
inline constexpr float kAanC4 = 0.707106781f;
inline constexpr float kAanC6 = 0.382683433f;
inline constexpr float kAanC2MinusC6 = 0.541196100f;
inline constexpr float kAanC2PlusC6 = 1.306562965f;

// One 8-point DCT on d0..d7, in place, without the final scaling (folded into the divisors).
// V is a float or a vector of floats with elementwise operators; every operation rounds to
// single precision. Always inlined, so that a vector build takes the instruction set of the
// function it is written into.
template <class V>
[[gnu::always_inline]] inline void aan8(V& d0, V& d1, V& d2, V& d3, V& d4, V& d5, V& d6, V& d7) {
    const V t0 = d0 + d7, t7 = d0 - d7;
    const V t1 = d1 + d6, t6 = d1 - d6;
    const V t2 = d2 + d5, t5 = d2 - d5;
    const V t3 = d3 + d4, t4 = d3 - d4;

    // Even part.
    const V e10 = t0 + t3, e13 = t0 - t3;
    const V e11 = t1 + t2, e12 = t1 - t2;
    d0 = e10 + e11;
    d4 = e10 - e11;
    const V z1 = (e12 + e13) * kAanC4;
    d2 = e13 + z1;
    d6 = e13 - z1;

    // Odd part: the rotation is shared through z5.
    const V o10 = t4 + t5, o11 = t5 + t6, o12 = t6 + t7;
    const V z5 = (o10 - o12) * kAanC6;
    const V z2 = o10 * kAanC2MinusC6 + z5;
    const V z4 = o12 * kAanC2PlusC6 + z5;
    const V z3 = o11 * kAanC4;
    const V z11 = t7 + z3, z13 = t7 - z3;
    d5 = z13 + z2;
    d3 = z13 - z2;
    d1 = z11 + z4;
    d7 = z11 - z4;
}

}  // namespace kelvane::jpeg
