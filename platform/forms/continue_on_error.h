#pragma once

#include <utility>

#include "platform/platform_error.h"

namespace platform {

// The form runtime's continue-on-error mode, one statement at a time. A statement that
// raises a PlatformError is skipped and the next one runs; programming errors (any other
// exception) are not swallowed.
template <typename Statement>
void Step(Statement&& statement) {
    try {
        std::forward<Statement>(statement)();
    } catch (const PlatformError&) {
    }
}

// A test in continue-on-error mode: when evaluating the condition raises an error, the
// statements it governs run, so the test counts as passed.
template <typename Condition>
bool Test(Condition&& condition) {
    try {
        return std::forward<Condition>(condition)();
    } catch (const PlatformError&) {
        return true;
    }
}

}  // namespace platform
