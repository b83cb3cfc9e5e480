// Which block kernels run: the widest the processor has, within the calling thread's limit.
#include <algorithm>

#include "output/jpeg/jpeg_blocks.h"

namespace kelvane::jpeg {

namespace {

thread_local VectorIsa t_limit = VectorIsa::Avx2;

}  // namespace

bool runsVectorIsa(VectorIsa isa) {
    switch (isa) {
    case VectorIsa::Scalar: return true;
#if defined(__SSE2__)
    case VectorIsa::Sse: return true;
#endif
#if defined(__x86_64__) || defined(__i386__)
    case VectorIsa::Avx2: return __builtin_cpu_supports("avx2");
#endif
    default: return false;
    }
}

VectorIsa blockVectorIsa() {
    for (VectorIsa isa : {VectorIsa::Avx2, VectorIsa::Sse})
        if (isa <= t_limit && runsVectorIsa(isa)) return isa;
    return VectorIsa::Scalar;
}

VectorIsaLimit::VectorIsaLimit(VectorIsa isa) : m_previous(t_limit) { t_limit = std::min(isa, t_limit); }

VectorIsaLimit::~VectorIsaLimit() { t_limit = m_previous; }

}  // namespace kelvane::jpeg
