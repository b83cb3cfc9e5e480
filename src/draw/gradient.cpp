// The gradient blend, with the single-precision constants and rounding of the chart's boxes.
#include "draw/gradient.h"

#include <cmath>

namespace kelvane::mGradient {

namespace {

constexpr float kDegree = 0.017453289f;
constexpr float kPi = 3.141592f;
constexpr float kTwoPi = 6.283184f;

uint8_t channel(Colour c, int shift) { return uint8_t(uint32_t(c) >> shift); }

}  // namespace

void BlendGradient(cDIB32& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Colour colour1,
                   Colour colour2, int32_t opacity, int32_t bands) {
    const double dx = double(x2) - x1, dy = double(y2) - y1;
    const int32_t length = CLng(std::sqrt(dx * dx + dy * dy));
    if (!surface.hDib() || length == 0) return;

    float angle;
    if (dx == 0) {
        angle = float((dy > 0 ? 1 : dy < 0 ? -1 : 0) * 90 * double(kDegree));
    } else {
        angle = float(std::atan(dy / dx));
        if (dx < 0) angle = float(double(angle) + double(kPi));
        else if (dy < 0) angle = float(double(angle) + double(kTwoPi));
    }
    const float a = float(opacity) / 100.0f;
    const float b = 1.0f - a;
    float k = float(double(bands - 1) * double(kPi));
    if (k > float(length)) k = float(length);
    const float cosStep = float(std::cos(double(angle)) / length);
    const float sinStep = float(std::sin(double(angle)) / length);

    const int shifts[3] = {16, 8, 0};  // blue, green, red: the byte order of a pixel
    uint8_t* bits = surface.DIBitsPtr();
    const int32_t width = surface.Width(), height = surface.Height();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            double t = (double(x) - x1) * double(cosStep) + (double(y) - y1) * double(sinStep);
            if (k > 0) {
                const float s = float(std::sin(double(k) * t));
                t = double(s) * double(s);
            }
            if (t > 1) t = 1;
            if (t < 0) t = 0;
            const double u = 1 - t;
            uint8_t* pixel = bits + (size_t(y) * size_t(width) + size_t(x)) * 4;
            for (int c = 0; c < 3; ++c) {
                const double mixed = t * channel(colour2, shifts[c]) + u * channel(colour1, shifts[c]);
                const double value = mixed * double(a) + double(pixel[c]) * double(b);
                const int32_t rounded = CLng(value);
                if (rounded < 0 || rounded > 255) Raise(kErrOverflow);
                pixel[c] = uint8_t(rounded);
            }
        }
    }
}

}  // namespace kelvane::mGradient
