/* Imports two functions Windows 7 SP1 lacks, one the headers guard by version and
   one they do not: the import check must refuse both. */
#include <windows.h>

__declspec(dllimport) UINT WINAPI GetDpiForWindow(HWND window);

int main(void) {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return (int)GetDpiForWindow(GetDesktopWindow()) + (int)(now.dwLowDateTime & 1);
}
