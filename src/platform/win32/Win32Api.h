#pragma once
// <windows.h> without the macros that collide with names of the platform
// interfaces (FileSystem::DeleteFile, FileSystem::RemoveDirectory, Desktop::Yield).
// Win32 code includes this instead of <windows.h>, before any interface header.
#include <windows.h>

#undef DeleteFile
#undef RemoveDirectory
#undef Yield
