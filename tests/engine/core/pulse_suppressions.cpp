// Sanitizer settings for the tests that play through a real sound server.

// libpulse hands packets between its threads with its own lock-free ring, which
// ThreadSanitizer cannot see into (the library is not instrumented). Only reports whose
// stacks pass through libpulse are hidden; the engine's own hand-offs are checked by the
// manual- and real-time-clock tests, which never load it.
extern "C" const char *__tsan_default_suppressions();
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libpulsecommon-*.so\n"
           "race:libpulse.so*\n";
}

// libpulse keeps a few small blocks of its own past the end of the process.
extern "C" const char *__lsan_default_suppressions();
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libpulse.so*\n";
}
