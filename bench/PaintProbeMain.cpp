// Measures a program's start from outside, on the X server its windows draw to:
//
//   mopira_paintprobe [--quiet MS] [--key-quiet MS] [--timeout MS] [--key CHORD]...
//                     -- PROGRAM [ARG]...
//
// prints one line of milliseconds since the program was started: when its first window was
// mapped, when its first paint reached the server, when it settled (its last paint before
// --quiet of quiet), how many paints; for each --key, pressed in turn once the program has
// settled, counted from the key: the first paint of any window, the first of the main window
// (the one mapped first; -1 if none) and the settling (--key-quiet: shorter than a text
// cursor's blink, so a dialog with a blinking cursor settles); and the program's peak
// resident memory. Exits with 1 when the program did not paint, or did not settle in time.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "PaintProbe.h"

int main(int argc, char** argv) {
    double quietMs = 1500;
    double keyQuietMs = 300;
    double timeoutMs = 120000;
    std::vector<std::string> keys;
    std::vector<std::string> command;
    for (int arg = 1; arg < argc; ++arg) {
        const bool hasValue = arg + 1 < argc;
        if (std::strcmp(argv[arg], "--") == 0) {
            command.assign(argv + arg + 1, argv + argc);
            break;
        } else if (std::strcmp(argv[arg], "--quiet") == 0 && hasValue) {
            quietMs = std::atof(argv[++arg]);
        } else if (std::strcmp(argv[arg], "--key-quiet") == 0 && hasValue) {
            keyQuietMs = std::atof(argv[++arg]);
        } else if (std::strcmp(argv[arg], "--timeout") == 0 && hasValue) {
            timeoutMs = std::atof(argv[++arg]);
        } else if (std::strcmp(argv[arg], "--key") == 0 && hasValue) {
            keys.emplace_back(argv[++arg]);
        } else {
            break;
        }
    }
    if (command.empty()) {
        std::fprintf(stderr,
                     "usage: %s [--quiet MS] [--key-quiet MS] [--timeout MS] [--key CHORD]... -- "
                     "PROGRAM [ARG]...\n",
                     argv[0]);
        return 2;
    }

    mopira::bench::CPaintProbe probe;
    if (!probe.Error().empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[0], probe.Error().c_str());
        return 2;
    }
    if (!probe.Start(command)) {
        std::fprintf(stderr, "%s: cannot start %s\n", argv[0], command.front().c_str());
        return 2;
    }
    mopira::bench::CPaintProbe::Paints start;
    bool settled = probe.WaitSettled(quietMs, timeoutMs, start);
    std::printf("mapped_ms=%.1f first_paint_ms=%.1f settled_ms=%.1f paints=%d", probe.MappedAt(),
                start.first, start.last, start.count);
    for (std::size_t key = 0; settled && key < keys.size(); ++key) {
        mopira::bench::CPaintProbe::Paints after;
        settled = probe.PressAndWait(keys[key], keyQuietMs, timeoutMs, after);
        std::printf(" key%zu_paint_ms=%.1f key%zu_main_paint_ms=%.1f key%zu_settled_ms=%.1f",
                    key + 1, after.first, key + 1, after.firstMain, key + 1, after.last);
    }
    std::printf(" peak_rss_kib=%ld\n", probe.Stop());
    if (!settled) {
        std::fprintf(stderr, "%s: %s did not paint and settle within %.0f ms\n", argv[0],
                     command.front().c_str(), timeoutMs);
        return 1;
    }
    return 0;
}
