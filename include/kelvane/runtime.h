// Runtime rules shared by every part of the component: automation errors, checked integer
// conversions, ties-to-even rounding, division, number text in both directions, booleans.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvane {

// Automation error numbers the component raises.
enum ErrorNumber : int32_t {
    kErrJpeg = 1,                  // cJpeg's own failures
    kErrInvalidCall = 5,           // Invalid procedure call or argument
    kErrOverflow = 6,              // Overflow
    kErrOutOfMemory = 7,           // Out of memory
    kErrSubscript = 9,             // Subscript out of range
    kErrDivisionByZero = 11,       // Division by zero
    kErrTypeMismatch = 13,         // Type mismatch
    kErrFileNotFound = 53,         // File not found
    kErrDeviceIo = 57,             // Device I/O error
    kErrPathFileAccess = 75,       // Path/File access error
    kErrObjectNotSet = 91,         // Object variable or With block variable not set
};

// A failure reaching the host: an error number and its description.
class AutomationError : public std::runtime_error {
public:
    AutomationError(int32_t number, std::string description);
    int32_t number() const noexcept { return m_number; }
    const std::string& description() const noexcept { return m_description; }

private:
    int32_t m_number;
    std::string m_description;
};

// The standard description of an error number ("Overflow" for 6); empty for numbers we never raise.
std::string_view ErrorDescription(int32_t number);

// Every error raised by the component is made here (one place to break on).
[[noreturn]] void Raise(int32_t number);
[[noreturn]] void Raise(int32_t number, std::string description);

// Booleans of the automation interface: -1 true, 0 false.
using VBBool = int16_t;
inline constexpr VBBool kTrue = -1;
inline constexpr VBBool kFalse = 0;
inline constexpr VBBool ToVBBool(bool b) { return b ? kTrue : kFalse; }

// Colours are 0x00BBGGRR.
using Colour = int32_t;

// Round to the nearest integer, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundEven(double v);

// Checked conversions: a value outside the target range (after rounding) raises error 6.
// NaN raises 6 as well.
int16_t CInt(double v);
int16_t CInt(int64_t v);
int32_t CLng(double v);
int32_t CLng(int64_t v);
inline int16_t CInt(int32_t v) { return CInt(int64_t{v}); }
inline int32_t CLng(int32_t v) { return v; }
// A double stored into a single; values beyond the single range (infinities and NaN too) raise 6.
float CSng(double v);

// Checked 32-bit arithmetic (error 6 on overflow).
int32_t AddLng(int32_t a, int32_t b);
int32_t SubLng(int32_t a, int32_t b);
int32_t MulLng(int32_t a, int32_t b);
int16_t AddInt(int16_t a, int16_t b);
int16_t SubInt(int16_t a, int16_t b);

// Floating division: x / 0 raises 11, 0 / 0 raises 6.
double Divide(double a, double b);
// Integer division (truncating, like the "\" operator): b = 0 raises 11; overflow raises 6.
int32_t IntDivide(int32_t a, int32_t b);

// A single as text: up to 7 significant digits, shortest form, no trailing zeros,
// exponent form 1E+07 / 1.5E-08 where fixed notation cannot show it.
std::string SingleToText(float v);
// A double as text with up to 15 significant digits, same conventions.
std::string DoubleToText(double v);

// Format with a pattern "0" or "0.00...": rounds the exact binary value to the pattern's decimals,
// exact halves away from zero; "." as decimal point; "-" for negatives.
// Patterns of other shapes raise error 5.
std::string FormatPattern(double v, std::string_view pattern);

// Text to number: blanks around, optional sign, digits with an optional "." and exponent.
// Anything else (or an empty text) raises 13.
double TextToNumber(std::string_view text);

}  // namespace kelvane
