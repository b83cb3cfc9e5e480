// The block kernels this processor runs, for tests that compare them; an instruction set it lacks
// is left out with a note on the test output.
#pragma once

#include <cstdio>
#include <vector>

#include "output/jpeg/jpeg_blocks.h"

namespace kelvane::test {

inline const char* isaName(jpeg::VectorIsa isa) {
    switch (isa) {
    case jpeg::VectorIsa::Scalar: return "scalar";
    case jpeg::VectorIsa::Sse: return "SSE";
    case jpeg::VectorIsa::Avx2: return "AVX2";
    }
    return "?";
}

inline std::vector<jpeg::VectorIsa> vectorIsasHere() {
    std::vector<jpeg::VectorIsa> isas;
    for (jpeg::VectorIsa isa : {jpeg::VectorIsa::Scalar, jpeg::VectorIsa::Sse, jpeg::VectorIsa::Avx2}) {
        if (jpeg::runsVectorIsa(isa))
            isas.push_back(isa);
        else
            std::printf("[ SKIPPED  ] the %s kernels: this processor does not run them\n", isaName(isa));
    }
    return isas;
}

}  // namespace kelvane::test
