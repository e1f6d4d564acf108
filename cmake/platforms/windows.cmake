# Windows: the Win32 runtime and Quorbel.exe.
