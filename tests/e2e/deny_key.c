// Puts on an HKLM key, in every view that holds it, a DACL that refuses setting
// its values to everyone, or lifts it again:  deny_key.exe KEY-PATH deny|allow
#include "platform/win32/Win32Api.h"

#include <sddl.h>
#include <wchar.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    const wchar_t* sddl =
        wcscmp(argv[2], L"deny") == 0 ? L"D:(D;;0x2;;;WD)(A;;KA;;;WD)" : L"D:(A;;KA;;;WD)";
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                              NULL)) {
        return 1;
    }
    const REGSAM views[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    int set = 0, failed = 0;
    for (int i = 0; i < 2; ++i) {
        HKEY key = NULL;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, argv[1], 0, WRITE_DAC | views[i], &key) == 0) {
            failed |= RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) != 0;
            ++set;
            RegCloseKey(key);
        }
    }
    LocalFree(descriptor);
    return set == 0 || failed;
}
