// Win32Shell: the copy and the start themselves run in the end-to-end run.
#include "platform/win32/Win32Api.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Shell.h"

namespace orvitex::win32 {
namespace {

// Bug caught: a quiet run that waits on a shell window, or an attended one that
// hides the shell's own error windows.
TEST(Shell, OnlyAQuietCopyHidesTheShellsWindows) {
    EXPECT_EQ(CopyFlags(false), FOF_NOCONFIRMATION);
    EXPECT_EQ(CopyFlags(true),
              FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR);
}

}  // namespace
}  // namespace orvitex::win32
