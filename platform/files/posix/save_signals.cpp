#include "platform/files/posix/save_signals.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <iterator>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

sigset_t SignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kSignals) sigaddset(&set, signal);
    return set;
}

// The one piece of process-wide state: a signal handler gets no argument but the signal, so
// what it must remove has to be where it can reach it. A fixed buffer, written before it is
// armed and read only while armed, so the handler neither allocates nor sees it half made.
struct InFlightTemp {
    std::atomic<bool> claimed{false};
    std::atomic<bool> armed{false};
    int folder = -1;
    char name[32] = {};
};
static_assert(std::atomic<bool>::is_always_lock_free);
InFlightTemp g_inFlight;

extern "C" void RemoveTempAndDie(int signal) {
    if (g_inFlight.armed.load(std::memory_order_acquire)) {
        ::unlinkat(g_inFlight.folder, g_inFlight.name, 0);
    }
    // The signal is blocked while its handler runs, so it ends the process on return.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

TempRemovedOnSignal::TempRemovedOnSignal() {
    if (g_inFlight.claimed.exchange(true, std::memory_order_acquire)) return;  // another save
    m_claimed = true;
    struct sigaction ours {};
    ours.sa_handler = RemoveTempAndDie;
    ours.sa_flags = SA_RESTART;
    ours.sa_mask = SignalSet();
    for (unsigned i = 0; i < std::size(kSignals); ++i) {
        struct sigaction before {};
        // A signal the program ignores or handles itself stays the program's.
        if (::sigaction(kSignals[i], nullptr, &before) != 0 || before.sa_handler != SIG_DFL ||
            (before.sa_flags & SA_SIGINFO)) {
            continue;
        }
        if (::sigaction(kSignals[i], &ours, nullptr) == 0) m_taken |= 1u << i;
    }
}

TempRemovedOnSignal::~TempRemovedOnSignal() {
    if (!m_claimed) return;
    Disarm();
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (unsigned i = 0; i < std::size(kSignals); ++i) {
        if (m_taken & (1u << i)) ::sigaction(kSignals[i], &byDefault, nullptr);
    }
    g_inFlight.claimed.store(false, std::memory_order_release);
}

void TempRemovedOnSignal::Arm(int folder, const char* name) {
    if (!m_claimed || std::strlen(name) >= sizeof g_inFlight.name) return;
    g_inFlight.armed.store(false, std::memory_order_release);
    g_inFlight.folder = folder;
    std::strcpy(g_inFlight.name, name);
    g_inFlight.armed.store(true, std::memory_order_release);
}

void TempRemovedOnSignal::Disarm() {
    if (m_claimed) g_inFlight.armed.store(false, std::memory_order_release);
}

TempRemovedOnSignal::Deferred::Deferred() {
    const sigset_t set = SignalSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &m_before);
}

TempRemovedOnSignal::Deferred::~Deferred() {
    ::pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
}

}  // namespace platform
