// Linked into each SDR test program (not through a library, where nothing
// would pull it in).

// liquid-dsp 1.5 loses a small search object each time it designs some of
// its filters (the multi-stage resampler's among them); that is the
// library's, not ours, so the leak checker of the sanitizer build is told
// to let it pass.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:qs1dsearch_create\n";
}
