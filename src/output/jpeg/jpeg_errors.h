// The JPEG encoder's failures: error number 1 with one of a few fixed descriptions.
#pragma once

#include "kelvane/runtime.h"

namespace kelvane::jpeg {

inline constexpr const char* kInvalidSamplingValue = "Invalid Sampling Value";
inline constexpr const char* kIllegalCommentLength = "Illegal Comment Length";
inline constexpr const char* kBadQuantizationTable = "Bad Quantization Table";
// The misspelling is part of the text hosts match on.
inline constexpr const char* kIllegalTablePrecision = "Illegal precission in Quantization Table";
inline constexpr const char* kBadHuffmanTable = "Bad Huffman Table";
// A save with no sampled picture: never sampled, sampling failed, or the planes were released.
inline constexpr const char* kNoPictureSampled = "No picture sampled";
// The working bitmap that sampling draws into could not be made (memory or the surface limits).
inline constexpr const char* kSamplingBitmapFailed = "Could not create the sampling bitmap";

[[noreturn]] inline void raiseJpeg(const char* description) { Raise(kErrJpeg, description); }

// A file the encoder could not write; the host runtime reports this number for failed file
// output.
inline constexpr int32_t kErrFileAccess = 75;
inline constexpr const char* kFileAccessDescription = "Path/File access error";

}  // namespace kelvane::jpeg
