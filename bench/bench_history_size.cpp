// The size of the hit history per 1,000,000 hits: writes that many synthetic
// hits (a 400-channel mix of frequencies, modes, levels and comments, one a
// second) through the history writer into a scratch file, then prints the
// file's size and the time the writer took.
//   bench_history_size [hits]
#include "history/HistoryWriter.h"
#include "history/HitTracker.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    const long hits = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    const auto folder = std::filesystem::temp_directory_path() / "kovo-history-size";
    std::filesystem::remove_all(folder);
    kovo::history::HistoryWriter::Options options;
    options.path = (folder / "history.sqlite").string();
    options.retentionDays = 0;
    const auto started = std::chrono::steady_clock::now();
    {
        kovo::history::HistoryWriter writer(
            options, [](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); });
        kovo::history::HitTracker tracker(writer);
        const std::int64_t t0 = 1'700'000'000;
        for (long i = 0; i < hits; ++i) {
            const auto channel = std::uint32_t(i % 400);
            const std::string comment = "Channel " + std::to_string(channel);
            tracker.began(false, 118'000'000 + channel * 25'000, int(i % 3), int(i % 16), comment,
                          t0 + i);
            tracker.heard(false, 15, t0 + i + 1);
            tracker.ended(false, t0 + i + 3);
            if (i % 10'000 == 0)
                writer.flush(); // keeps the queue from growing without bound
        }
        writer.flush();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::uintmax_t bytes = 0;
    for (const auto& f : std::filesystem::directory_iterator(folder))
        bytes += f.file_size();
    std::printf("%ld hits: %.1f MB on disk (%.1f MB per 1,000,000 hits, %.1f bytes a hit), "
                "written in %.1f s\n",
                hits, double(bytes) / 1e6, double(bytes) / 1e6 * 1e6 / double(hits),
                double(bytes) / double(hits), seconds);
    std::filesystem::remove_all(folder);
    return 0;
}
