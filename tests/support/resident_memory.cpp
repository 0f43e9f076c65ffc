#include "tests/support/resident_memory.h"

#include <fstream>
#include <string>

namespace test_support {

namespace {

// A field of /proc/self/status in kilobytes, or -1.
long long StatusField(const std::string& name) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(name + ":", 0) == 0) return std::stoll(line.substr(name.size() + 1));
    }
    return -1;
}

}  // namespace

bool PeakGrowth(const std::function<void()>& work, long long& growth) {
    {
        std::ofstream reset("/proc/self/clear_refs");
        if (!(reset << "5" << std::flush)) return false;
    }
    const long long before = StatusField("VmRSS");
    work();
    growth = (StatusField("VmHWM") - before) * 1024;
    return before > 0;
}

}  // namespace test_support
