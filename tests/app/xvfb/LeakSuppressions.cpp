// LeakSanitizer's suppressions for this test executable only: fontconfig keeps its caches, and the
// session bus library that Qt's X11 platform loads its connection data, for the life of the
// process by design; nothing of ours is hidden.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}
