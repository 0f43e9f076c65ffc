#pragma once

#include <signal.h>

namespace platform {

// For its life, SIGTERM, SIGINT and SIGHUP first remove the armed temporary file of a save
// and then end the process as they would have: a user's Ctrl+C or a logout leaves no file
// behind. Only signals that would end the process anyway are taken; one save at a time in a
// process is covered, and a second one at the same time is left to the next save's cleanup.
class TempRemovedOnSignal {
  public:
    TempRemovedOnSignal();
    ~TempRemovedOnSignal();
    TempRemovedOnSignal(const TempRemovedOnSignal&) = delete;
    TempRemovedOnSignal& operator=(const TempRemovedOnSignal&) = delete;

    // The file is `name` in the folder open as `folder`; the folder must stay open while armed.
    void Arm(int folder, const char* name);
    void Disarm();

    // Holds the three signals back in this thread for its life, so that a file created within
    // is armed before a signal taken here can miss it.
    class Deferred {
      public:
        Deferred();
        ~Deferred();
        Deferred(const Deferred&) = delete;
        Deferred& operator=(const Deferred&) = delete;

      private:
        sigset_t m_before;
    };

  private:
    bool m_claimed = false;
    unsigned m_taken = 0;  // one bit for each signal whose handler is ours
};

}  // namespace platform
