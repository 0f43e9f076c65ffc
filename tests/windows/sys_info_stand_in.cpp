// Stands in for the system-information tool that the About box starts: says that it ran by
// writing a file beside itself, named as itself with ".ran" added.
#include <windows.h>

#include <string>

int main() {
    std::wstring self(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    self.resize(length);
    const HANDLE ran = CreateFileW((self + L".ran").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ran == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(ran);
    return 0;
}
