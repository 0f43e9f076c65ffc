// "System Info...": find the system-information tool through the registry and start it.
#include <algorithm>
#include <cstdint>
#include <string>

#include "about/frm_about.h"
#include "platform/forms/continue_on_error.h"
#include "platform/forms/message_box.h"
#include "platform/platform_error.h"
#include "platform/runtime_text.h"
#include "platform/system/dir.h"
#include "platform/system/path_separator.h"

namespace zentrova {

namespace {

using platform::DWORD;
using platform::HKEY;
// Registry data is bytes: the cut and the test below count bytes, not characters.
using platform::bytes::CodeAt;
using platform::bytes::Left;

// Where the registry names the tool: its full path, or failing that its folder.
const std::string kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kSysInfoValue = "PATH";
const std::string kSysInfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kSysInfoLocationValue = "MSINFO";
const std::string kSysInfoFile = "MSINFO32.EXE";

// The access mask the dialog asks for: everything but delete and the write-owner rights.
constexpr platform::REGSAM kKeyAccess = 0x0002003F;
constexpr DWORD kBufferSize = 1024;

}  // namespace

bool frmAbout::GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal) {
    platform::Registry& registry = services().registry;
    HKEY hKey = 0;
    DWORD KeyValType = 0;
    std::string tmpVal(kBufferSize, '\0');
    DWORD KeyValSize = kBufferSize;

    const bool read =
        registry.RegOpenKeyExA(KeyRoot, KeyName, 0, kKeyAccess, &hKey) == platform::ERROR_SUCCESS &&
        registry.RegQueryValueExA(hKey, SubKeyRef, nullptr, &KeyValType, tmpVal.data(),
                                  &KeyValSize) == platform::ERROR_SUCCESS &&
        KeyValSize <= kBufferSize;
    if (!read) {
        // The handle holds no open key when the open failed; closing it then fails
        // harmlessly.
        KeyVal = "";
        registry.RegCloseKey(hKey);
        return false;
    }

    const std::string data = tmpVal.substr(0, KeyValSize);
    // Cut a terminating NUL off, if the data ends in one: strings are stored both ways. In
    // continue-on-error mode, as the dialog always ran it: for empty data the test fails,
    // so the cut runs, fails in turn and leaves the buffer as it was.
    if (platform::Test([&] { return CodeAt(tmpVal, KeyValSize) == 0; })) {
        platform::Step([&] { tmpVal = Left(tmpVal, static_cast<long long>(KeyValSize) - 1); });
    } else {
        platform::Step([&] { tmpVal = Left(tmpVal, KeyValSize); });
    }

    if (KeyValType == platform::REG_SZ) {
        KeyVal = tmpVal;
    } else if (KeyValType == platform::REG_DWORD) {
        // Nothing reads a number here; its decimal text will do.
        std::uint32_t number = 0;
        for (std::size_t i = std::min<std::size_t>(data.size(), 4); i-- > 0;) {
            number = (number << 8) | static_cast<unsigned char>(data[i]);
        }
        KeyVal = std::to_string(number);
    }
    registry.RegCloseKey(hKey);
    return true;
}

void frmAbout::StartSysInfo() {
    try {
        std::string SysInfoPath;
        // The first key names the tool's full path, taken as it is: Shell finds out whether
        // it names a program. The second names its folder.
        bool found =
            GetKeyValue(platform::HKEY_LOCAL_MACHINE, kSysInfoKey, kSysInfoValue, SysInfoPath);
        if (!found && GetKeyValue(platform::HKEY_LOCAL_MACHINE, kSysInfoLocationKey,
                                  kSysInfoLocationValue, SysInfoPath)) {
            const std::string candidate = SysInfoPath + platform::kPathSeparator + kSysInfoFile;
            found = platform::Dir(candidate) != "";
            if (found) SysInfoPath = candidate;
        }
        if (found) {
            services().shell.Shell(SysInfoPath, platform::vbNormalFocus);
            return;
        }
    } catch (const platform::PlatformError&) {
        // A malformed folder or a failed start ends here too.
    }
    platform::MsgBox(services().messageBoxes, "Failed to start System Information!",
                     platform::vbOKOnly | platform::vbExclamation, "Error");
}

}  // namespace zentrova
