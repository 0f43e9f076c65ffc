#include "app/write_signals.h"

#include <csignal>

namespace zentrova {

void TakeWriteSignalsAsFailures() {
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace zentrova
