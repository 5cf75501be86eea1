// The batch as a user runs it: the real program on a generated file of a
// million lines (semicolons, then tabs) and on one of ten, its output to
// /dev/null. Prints the median wall time and peak resident memory of each.
// usage: batch_bench [runs] [lines]

#include "alloys/AlloyTable.h"
#include "calc/Inputs.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Run {
    double seconds;
    long peakKiB;
    int status;
};

// A spreadsheet's list: every grade, as the table has it or with its
// trailing blank dropped, and typed densities; all three modes; sizes with
// a comma, a dot or grouped digits; one line in ten thousand without a count.
std::string makeInput(long lines, char sep) {
    char path[] = "/tmp/batch_bench.XXXXXX";
    const int fd = mkstemp(path);
    FILE* file = fd < 0 ? nullptr : fdopen(fd, "w");
    if (!file) {
        std::perror("batch_bench: temporary file");
        std::exit(2);
    }
    std::mt19937 random(19);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::array<const char*, 4> densities = {"2,7", "2.71", "2,85", " 2,64 "};
    const std::array<const char*, 3> modes = {sheetmass::kModeNominal, sheetmass::kModeUpper,
                                              sheetmass::kModeLower};
    const std::array<const char*, 8> thicknesses = {"0,5", "0.8", "1", "1,5",
                                                    "2",   "3,2", "6", "10"};
    for (long i = 0; i < lines; ++i) {
        std::string alloy;
        if (pick(10) == 0) {
            alloy = densities[static_cast<std::size_t>(pick(4))];
        } else {
            alloy =
                sheetmass::kAlloys[static_cast<std::size_t>(pick(sheetmass::kAlloyCount))].grade;
            if (pick(2) == 0 && alloy.back() == ' ')
                alloy.pop_back();
        }
        // A size over a thousand now and then with its digits grouped.
        const auto size = [&](int from, int span) {
            const int n = from + pick(span);
            return n >= 1000 && pick(4) == 0
                       ? std::to_string(n / 1000) + " " + std::to_string(n % 1000 + 1000).substr(1)
                       : std::to_string(n);
        };
        const std::string count = i % 10000 == 9999 ? "" : std::to_string(1 + pick(500));
        std::fprintf(file, "%s%c%s%c%s%c0,%d%c-0,%d%c%s%c%s%c%s%c%d\n", alloy.c_str(), sep,
                     modes[static_cast<std::size_t>(pick(3))], sep,
                     thicknesses[static_cast<std::size_t>(pick(8))], sep, 1 + pick(3), sep,
                     1 + pick(3), sep, size(500, 5501).c_str(), sep, size(300, 1701).c_str(), sep,
                     count.c_str(), sep, pick(5));
    }
    if (std::fclose(file) != 0) {
        std::perror("batch_bench: temporary file");
        std::exit(2);
    }
    return path;
}

Run runBatch(const std::string& program, const std::string& input) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string batch = "--batch";
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), batch.data(),
                               const_cast<char*>(input.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("batch_bench: posix_spawn");
        std::exit(2);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    return {took.count(), usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::string machine() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown processor";
}

template <typename T> T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    const long lines = argc > 2 ? std::atol(argv[2]) : 1000000;
    const std::string program = SHEETMASS_PROGRAM;
    struct Case {
        std::string name;
        std::string input;
        std::vector<Run> runs;
    };
    // The parent's memory is kept small: a spawned child's ru_maxrss
    // counts the memory of the process it was spawned from.
    std::vector<Case> cases = {
        {std::to_string(lines) + " lines, semicolons", makeInput(lines, ';'), {}},
        {std::to_string(lines) + " lines, tabs", makeInput(lines, '\t'), {}},
        {"10 lines", makeInput(10, ';'), {}}};
    for (int r = 0; r < runs; ++r) // interleaved, so that a busy moment hits each alike
        for (Case& c : cases)
            c.runs.push_back(runBatch(program, c.input));

    std::printf("machine: %s, %ld cores; %s --batch, %d runs each, medians\n", machine().c_str(),
                sysconf(_SC_NPROCESSORS_ONLN), program.c_str(), runs);
    std::printf("| input | wall time | peak resident memory | exit status |\n|---|---|---|---|\n");
    std::vector<long> peaks;
    for (Case& c : cases) {
        std::vector<double> seconds;
        std::vector<long> kib;
        for (const Run& run : c.runs) {
            seconds.push_back(run.seconds);
            kib.push_back(run.peakKiB);
        }
        peaks.push_back(median(kib));
        std::printf("| %s | %.3f s | %.1f MiB | %d |\n", c.name.c_str(), median(seconds),
                    static_cast<double>(peaks.back()) / 1024, c.runs.front().status);
        std::remove(c.input.c_str());
    }
    std::printf("peak memory beyond the ten-line run: %+ld KiB\n",
                std::max(peaks[0], peaks[1]) - peaks[2]);
    return 0;
}
