#pragma once

#include <string>

namespace platform {

// Window styles of Shell. A started program on this platform opens its own windows as it
// likes, so the style is checked and then has no further effect.
inline constexpr int vbHide = 0;
inline constexpr int vbNormalFocus = 1;
inline constexpr int vbMinimizedFocus = 2;
inline constexpr int vbMaximizedFocus = 3;
inline constexpr int vbNormalNoFocus = 4;
inline constexpr int vbMinimizedNoFocus = 6;

// Program start: starts a program and returns its task identifier without waiting for it.
class ShellService {
  public:
    virtual ~ShellService() = default;
    virtual double Shell(const std::string& path, int windowStyle) = 0;
};

// Starts the program in a process of its own, detached from this one: a new session, input
// from /dev/null, not waited for and never left as a zombie. The whole of path names the
// program (no arguments are split off); a name without "/" is looked for along PATH.
//
// On Windows, CreateProcessW starts it, the path quoted whole, found where the system looks;
// the window style is passed on.
//
// A start that fails is known before Shell returns: PlatformError 53 "File not found" when
// the program is missing, is not an executable regular file or cannot be executed; 5
// "Invalid procedure call or argument" for an empty path or an unknown window style; 7 "Out
// of memory" when no process can be made.
class ProcessShell final : public ShellService {
  public:
    double Shell(const std::string& path, int windowStyle) override;
};

}  // namespace platform
