// The error number an automation call raises, for tests that check which error a call gives.
#pragma once

#include <cstdint>

#include "kelvane/runtime.h"

namespace kelvane::test {

// The error number the call raises, or 0 when it completes.
template <typename F>
int32_t errorRaisedBy(F&& call) {
    try {
        call();
    } catch (const AutomationError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace kelvane::test
