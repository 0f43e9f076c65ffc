#pragma once

#include <functional>

namespace test_support {

// How far this process's resident memory rose above where it was while `work` ran, in bytes.
// The kernel's high-water mark is reset first (writing 5 to /proc/self/clear_refs); false
// when it cannot be.
bool PeakGrowth(const std::function<void()>& work, long long& growth);

}  // namespace test_support
