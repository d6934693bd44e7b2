// LeakSanitizer's suppressions for this test executable only: fontconfig keeps its caches for the
// life of the process by design and frees them in no exit handler; nothing of ours is hidden.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
