#include "kelvane/runtime.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kelvane {

namespace {

std::string ErrorMessage(int32_t number, const std::string& description) {
    std::string text = "error " + std::to_string(number);
    if (!description.empty()) text += ": " + description;
    return text;
}

template <typename Int>
Int CheckedNarrow(int64_t v) {
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) Raise(kErrOverflow);
    return static_cast<Int>(v);
}

template <typename Int>
Int CheckedRound(double v) {
    // The comparison is done in double before the cast: casting an out-of-range double to an
    // integer is undefined behaviour, and NaN fails both comparisons.
    const double r = RoundEven(v);
    if (!(r >= std::numeric_limits<Int>::min() && r <= std::numeric_limits<Int>::max())) Raise(kErrOverflow);
    return static_cast<Int>(r);
}

// to_chars instead of printf: the text must not follow the process locale's decimal point.
std::string GeneralText(double v, int digits) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-Inf" : "Inf";
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits).ptr;
    std::string text(buf, end);
    std::replace(text.begin(), text.end(), 'e', 'E');
    if (text == "-0") text = "0";
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

AutomationError::AutomationError(int32_t number, std::string description)
    : std::runtime_error(ErrorMessage(number, description)),
      m_number(number),
      m_description(std::move(description)) {}

std::string_view ErrorDescription(int32_t number) {
    switch (number) {
        case kErrInvalidCall: return "Invalid procedure call or argument";
        case kErrOverflow: return "Overflow";
        case kErrOutOfMemory: return "Out of memory";
        case kErrSubscript: return "Subscript out of range";
        case kErrDivisionByZero: return "Division by zero";
        case kErrTypeMismatch: return "Type mismatch";
        case kErrFileNotFound: return "File not found";
        case kErrDeviceIo: return "Device I/O error";
        case kErrPathFileAccess: return "Path/File access error";
        case kErrObjectNotSet: return "Object variable or With block variable not set";
        default: return {};
    }
}

void Raise(int32_t number) { Raise(number, std::string(ErrorDescription(number))); }

void Raise(int32_t number, std::string description) { throw AutomationError(number, std::move(description)); }

double RoundEven(double v) { return std::nearbyint(v); }

int16_t CInt(double v) { return CheckedRound<int16_t>(v); }
int16_t CInt(int64_t v) { return CheckedNarrow<int16_t>(v); }
int32_t CLng(double v) { return CheckedRound<int32_t>(v); }
int32_t CLng(int64_t v) { return CheckedNarrow<int32_t>(v); }

float CSng(double v) {
    // No arithmetic of the host language makes an infinity or a NaN: a result beyond the single
    // range is an overflow, and so is a value that already left it earlier on.
    const float f = static_cast<float>(v);
    if (!std::isfinite(f)) Raise(kErrOverflow);
    return f;
}

int32_t AddLng(int32_t a, int32_t b) { return CheckedNarrow<int32_t>(int64_t{a} + b); }
int32_t SubLng(int32_t a, int32_t b) { return CheckedNarrow<int32_t>(int64_t{a} - b); }
int32_t MulLng(int32_t a, int32_t b) { return CheckedNarrow<int32_t>(int64_t{a} * b); }
int16_t AddInt(int16_t a, int16_t b) { return CheckedNarrow<int16_t>(int64_t{a} + b); }
int16_t SubInt(int16_t a, int16_t b) { return CheckedNarrow<int16_t>(int64_t{a} - b); }

double Divide(double a, double b) {
    if (b == 0) Raise(a == 0 || std::isnan(a) ? kErrOverflow : kErrDivisionByZero);
    const double q = a / b;
    // The host runtime reports a quotient too large for a double instead of carrying infinity on.
    if (std::isinf(q) && std::isfinite(a) && std::isfinite(b)) Raise(kErrOverflow);
    return q;
}

int32_t IntDivide(int32_t a, int32_t b) {
    if (b == 0) Raise(kErrDivisionByZero);
    if (a == std::numeric_limits<int32_t>::min() && b == -1) Raise(kErrOverflow);
    return a / b;
}

std::string SingleToText(float v) { return GeneralText(v, 7); }
std::string DoubleToText(double v) { return GeneralText(v, 15); }

std::string FormatPattern(double v, std::string_view pattern) {
    size_t decimals = 0;
    if (pattern != "0") {
        if (pattern.size() < 3 || pattern.substr(0, 2) != "0." ||
            pattern.find_first_not_of('0', 2) != std::string_view::npos) {
            Raise(kErrInvalidCall);
        }
        decimals = pattern.size() - 2;
    }
    if (!std::isfinite(v)) return GeneralText(v, 15);

    // A double m * 2^(exp - 53) has at most 53 - exp fractional decimal digits, so printing that
    // many shows its exact value and the rounding below sees every digit (printf-style fixed output
    // rounds ties to even, and only rounds once, which is not what the labels need).
    int exp = 0;
    std::frexp(v, &exp);
    const size_t exact = static_cast<size_t>(std::max(0, 53 - exp));
    const size_t precision = std::max(exact, decimals + 1);
    std::string digits(std::numeric_limits<double>::max_exponent10 + precision + 8, '\0');
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), std::fabs(v),
                                   std::chars_format::fixed, static_cast<int>(precision)).ptr;
    digits.resize(static_cast<size_t>(end - digits.data()));

    const size_t point = digits.find('.');
    const bool roundUp = digits[point + decimals + 1] >= '5';
    // Keep the integer digits and the wanted decimals, then drop the point while carrying.
    std::string kept = digits.substr(0, point) + digits.substr(point + 1, decimals);
    if (roundUp) {
        size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
        if (i == 0) kept.insert(kept.begin(), '1');
        else ++kept[i - 1];
    }
    const size_t intDigits = kept.size() - decimals;
    std::string text;
    if (v < 0) text = "-";  // also when it rounds to zero: -0.25 reads "-0"
    text.append(kept, 0, intDigits);
    if (decimals > 0) text.append(".").append(kept, intDigits, decimals);
    return text;
}

double TextToNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Validate the whole shape first: from_chars alone would accept "inf", "nan" or hex forms.
    size_t i = 0;
    size_t intDigits = 0, fracDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++intDigits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++fracDigits;
    }
    const size_t mantissaEnd = i;
    if (intDigits + fracDigits == 0) Raise(kErrTypeMismatch);
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        if (i == text.size() || !IsDigit(text[i])) Raise(kErrTypeMismatch);
        // Saturates far beyond any double's range; only the side it falls on matters below.
        for (; i < text.size() && IsDigit(text[i]); ++i) exponent = std::min<int64_t>(exponent * 10 + (text[i] - '0'), 1'000'000'000);
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) Raise(kErrTypeMismatch);

    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Either too large or too small for a double; the decimal exponent of the leading
        // significant digit tells which. Too small is simply zero.
        const std::string_view mantissa = text.substr(0, mantissaEnd);
        const size_t lead = mantissa.find_first_of("123456789");
        const int64_t scale = lead < intDigits ? static_cast<int64_t>(intDigits - lead) - 1
                                               : -static_cast<int64_t>(lead - intDigits);
        if (scale + exponent >= 0) Raise(kErrOverflow);
        value = 0;
    } else if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        Raise(kErrTypeMismatch);
    }
    return negative ? -value : value;
}

}  // namespace kelvane
