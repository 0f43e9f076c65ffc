#include "platform/pictures/codecs/jpeg_dc_arithmetic.h"

#include <algorithm>

namespace platform::codecs {

namespace {

// F.2.4.1 with the model of F.1.4.4.1, over what `decide` gives for the bins by their index:
// whether the difference is zero, its sign, its magnitude category, then the bits below the
// category's top bit. Sets `context` to where the next difference starts; nothing for a
// magnitude past 16 bits.
template <class Decide>
std::optional<int> ModelDifference(int& context, const JpegDcConditioning& conditioning,
                                   Decide&& decide) {
    auto at = static_cast<std::size_t>(context);
    if (decide(at) == 0) {
        context = 0;
        return 0;
    }
    const int sign = decide(at + 1);
    at += 2 + static_cast<std::size_t>(sign);
    int magnitude = decide(at);  // the category's top bit
    if (magnitude != 0) {
        for (at = 20; decide(at); ++at) {
            magnitude <<= 1;
            if (magnitude == 0x8000) return std::nullopt;
        }
    }
    if (magnitude < (1 << conditioning.lower) >> 1) {
        context = 0;
    } else if (magnitude > (1 << conditioning.upper) >> 1) {
        context = 12 + sign * 4;
    } else {
        context = 4 + sign * 4;
    }
    at += 14;
    int value = magnitude;
    while (magnitude >>= 1) {
        if (decide(at)) value |= magnitude;
    }
    value += 1;
    return sign ? -value : value;
}

}  // namespace

JpegDcArithmetic::JpegDcArithmetic(const JpegDcScan& scan, JpegArithmeticBytes& bytes)
    : m_scan(&scan), m_bytes(&bytes), m_context(scan.components.size(), 0) {
    if (scan.ah != 0) return;
    // Components coded with the same table share its statistics, as libjpeg keeps them.
    std::vector<int> tables;
    for (const int table : scan.tables) {
        const auto found = std::find(tables.begin(), tables.end(), table);
        m_statisticsOf.push_back(static_cast<std::size_t>(found - tables.begin()));
        if (found == tables.end()) tables.push_back(table);
    }
    m_statistics.resize(tables.size());
    Restart();
}

void JpegDcArithmetic::Restart() {
    for (Bins& bins : m_statistics) bins.fill(0);  // state 0, 0 the more probable symbol
    std::fill(m_context.begin(), m_context.end(), 0);
    m_qm.Restart();
    m_failed = false;
    m_cycles.clear();
}

std::optional<int> JpegDcArithmetic::Difference(std::size_t component) {
    if (m_failed) return std::nullopt;
    int& context = m_context[component];
    if (!m_cycles.empty()) {
        const Step step = m_cycles[component][static_cast<std::size_t>(context / 4)];
        context = step.context;
        return step.difference;
    }
    Bins& bins = m_statistics[m_statisticsOf[component]];
    const auto difference = ModelDifference(
        context, m_scan->conditioning[component],
        [&](std::size_t at) { return m_qm.Decode(bins[at], [this] { return m_bytes->Next(); }); });
    if (!difference) m_failed = true;
    return difference;
}

int JpegDcArithmetic::RefinementBit() {
    if (m_bytes->Spent() && m_qm.SettledAtFixedHalf()) return 0;
    return m_qm.Decode(m_fixedHalf, [this] { return m_bytes->Next(); });
}

std::optional<JpegDcArithmetic::Cycle> JpegDcArithmetic::CycleOf(std::size_t component) const {
    const Bins& bins = m_statistics[m_statisticsOf[component]];
    Cycle cycle{};
    std::array<bool, 5> known{};
    int context = m_context[component];
    while (!known[static_cast<std::size_t>(context / 4)]) {
        bool quiet = true;
        int next = context;
        const auto difference =
            ModelDifference(next, m_scan->conditioning[component], [&](std::size_t at) {
                quiet = quiet && QmStaysWithMps(static_cast<std::uint8_t>(bins[at] & 0x7F));
                return bins[at] >> 7;
            });
        if (!quiet || !difference) return std::nullopt;
        cycle[static_cast<std::size_t>(context / 4)] = {*difference, next};
        known[static_cast<std::size_t>(context / 4)] = true;
        context = next;
    }
    return cycle;
}

void JpegDcArithmetic::LookForCycle() {
    if (m_scan->ah != 0 || m_failed || !m_cycles.empty() || !m_bytes->Spent() || !m_qm.Empty())
        return;
    std::vector<Cycle> cycles;
    for (std::size_t i = 0; i < m_context.size(); ++i) {
        const auto cycle = CycleOf(i);
        if (!cycle) return;
        cycles.push_back(*cycle);
    }
    m_cycles = std::move(cycles);
}

bool JpegDcArithmetic::Settled() const {
    if (m_scan->ah != 0) return m_bytes->Spent() && m_qm.SettledAtFixedHalf();
    if (m_failed) return true;
    if (m_cycles.empty()) return false;
    for (std::size_t i = 0; i < m_context.size(); ++i) {
        if (m_context[i] != 0 || m_cycles[i][0].difference != 0) return false;
    }
    return true;
}

}  // namespace platform::codecs
