// The batch as a user runs it: the real program on a generated file of a
// million lines (semicolons, then tabs, then one whose number texts never
// repeat) and on one of ten, its output to
// /dev/null, and beside it the awk script a user might write instead
// (BatchPeer.awk) on the same files, interleaved, and another build of the
// program when one is named (the one before a change, say). Prints the
// median wall time and peak resident memory of each, and the program's time
// over awk's and over the other build's.
// usage: batch_bench [runs] [lines] [other-sheetmass]

#include "alloys/AlloyTable.h"
#include "calc/Inputs.h"
#include "calc/NumberText.h"

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

FILE* temporaryFile(std::string& path) {
    char name[] = "/tmp/batch_bench.XXXXXX";
    const int fd = mkstemp(name);
    FILE* file = fd < 0 ? nullptr : fdopen(fd, "w");
    if (!file) {
        std::perror("batch_bench: temporary file");
        std::exit(2);
    }
    path = name;
    return file;
}

// A spreadsheet's list: every grade, as the table has it or with its
// trailing blank dropped, and typed densities; all three modes; sizes with
// a comma, a dot or grouped digits; one line in ten thousand without a count.
// The German way: no decimal dot, dots between the thousands.
std::string makeInput(long lines, char sep, bool unique = false, bool german = false) {
    std::string path;
    FILE* file = temporaryFile(path);
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
            if (german)
                std::replace(alloy.begin(), alloy.end(), '.', ',');
        } else {
            alloy =
                sheetmass::kAlloys[static_cast<std::size_t>(pick(sheetmass::kAlloyCount))].grade;
            if (pick(2) == 0 && alloy.back() == ' ')
                alloy.pop_back();
        }
        // A size over a thousand now and then with its digits grouped.
        const auto size = [&](int from, int span) {
            const int n = from + pick(span);
            return n >= 1000 && (german || pick(4) == 0)
                       ? std::to_string(n / 1000) + (german ? "." : " ") +
                             std::to_string(n % 1000 + 1000).substr(1)
                       : std::to_string(n);
        };
        const std::string count = i % 10000 == 9999 ? "" : std::to_string(1 + pick(500));
        if (unique) {
            // Six digits each, a different whole for every line and field.
            const auto digits = [&](long factor, long offset) {
                char text[8];
                std::snprintf(text, sizeof text, "%06ld", (i * factor + offset) % 1000000);
                return std::string(text);
            };
            std::fprintf(file, "%s%c%s%c%s%c%s%c%s%c%s%c%s%c%s%c%d\n", alloy.c_str(), sep,
                         modes[static_cast<std::size_t>(pick(3))], sep, digits(1, 0).c_str(), sep,
                         digits(17, 1).c_str(), sep, digits(19, 2).c_str(), sep,
                         digits(7, 3).c_str(), sep, digits(11, 5).c_str(), sep,
                         digits(13, 1).c_str(), sep, pick(5));
            continue;
        }
        std::string thickness = thicknesses[static_cast<std::size_t>(pick(8))];
        if (german)
            std::replace(thickness.begin(), thickness.end(), '.', ',');
        std::fprintf(file, "%s%c%s%c%s%c0,%d%c-0,%d%c%s%c%s%c%s%c%d\n", alloy.c_str(), sep,
                     modes[static_cast<std::size_t>(pick(3))], sep, thickness.c_str(), sep,
                     1 + pick(3), sep, 1 + pick(3), sep, size(500, 5501).c_str(), sep,
                     size(300, 1701).c_str(), sep, count.c_str(), sep, pick(5));
    }
    if (std::fclose(file) != 0) {
        std::perror("batch_bench: temporary file");
        std::exit(2);
    }
    return path;
}

// The grades and their densities for the awk script, with its separator.
std::string makeGrades(char sep) {
    std::string path;
    FILE* file = temporaryFile(path);
    for (const sheetmass::Alloy& alloy : sheetmass::kAlloys) {
        std::string grade(alloy.grade);
        grade.erase(grade.find_last_not_of(' ') + 1);
        std::fprintf(file, "%s%c%s\n", grade.c_str(), sep,
                     sheetmass::formatNumber(alloy.density).c_str());
    }
    std::fclose(file);
    return path;
}

Run spawn(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
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
    const std::string other = argc > 3 ? argv[3] : "";
    struct Case {
        std::string name;
        std::string input;
        char sep;
        std::vector<Run> runs;
        std::vector<Run> awkRuns;
        std::vector<Run> otherRuns = {};
    };
    // The parent's memory is kept small: a spawned child's ru_maxrss
    // counts the memory of the process it was spawned from.
    std::vector<Case> cases = {
        {std::to_string(lines) + " lines, semicolons", makeInput(lines, ';'), ';', {}, {}},
        {std::to_string(lines) + " lines, tabs", makeInput(lines, '\t'), '\t', {}, {}},
        {std::to_string(lines) + " lines, no number text twice",
         makeInput(lines, ';', true),
         ';',
         {},
         {}},
        {std::to_string(lines) + " lines, the German way",
         makeInput(lines, ';', false, true),
         ';',
         {},
         {}},
        {"10 lines", makeInput(10, ';'), ';', {}, {}}};
    const std::string grades[] = {makeGrades(';'), makeGrades('\t')};
    const auto awk = [&](const Case& c) {
        return spawn({"awk", std::string("-F") + c.sep, "-f", SHEETMASS_AWK_PEER,
                      grades[c.sep == ';' ? 0 : 1], c.input});
    };
    for (int r = 0; r < runs; ++r) // interleaved, so that a busy moment hits each alike
        for (Case& c : cases) {
            c.runs.push_back(spawn({program, "--batch", c.input}));
            c.awkRuns.push_back(awk(c));
            if (!other.empty())
                c.otherRuns.push_back(spawn({other, "--batch", c.input}));
        }

    std::printf("machine: %s, %ld cores; %s --batch, %d runs each, medians\n", machine().c_str(),
                sysconf(_SC_NPROCESSORS_ONLN), program.c_str(), runs);
    if (!other.empty())
        std::printf("other: %s\n", other.c_str());
    std::printf("| input | wall time | peak resident memory | exit status | awk | "
                "sheetmass / awk |%s\n|---|---|---|---|---|---|%s\n",
                other.empty() ? "" : " other | sheetmass / other |",
                other.empty() ? "" : "---|---|");
    std::vector<long> peaks;
    for (Case& c : cases) {
        const auto seconds = [](const std::vector<Run>& rs) {
            std::vector<double> s;
            for (const Run& run : rs)
                s.push_back(run.seconds);
            return median(s);
        };
        std::vector<long> kib;
        for (const Run& run : c.runs)
            kib.push_back(run.peakKiB);
        peaks.push_back(median(kib));
        std::printf("| %s | %.3f s | %.1f MiB | %d | %.3f s | %.2f |", c.name.c_str(),
                    seconds(c.runs), static_cast<double>(peaks.back()) / 1024,
                    c.runs.front().status, seconds(c.awkRuns),
                    seconds(c.runs) / seconds(c.awkRuns));
        if (!c.otherRuns.empty())
            std::printf(" %.3f s | %.3f |", seconds(c.otherRuns),
                        seconds(c.runs) / seconds(c.otherRuns));
        std::printf("\n");
        std::remove(c.input.c_str());
    }
    for (const std::string& g : grades)
        std::remove(g.c_str());
    std::printf("peak memory beyond the ten-line run: %+ld KiB\n",
                std::max({peaks[0], peaks[1], peaks[2], peaks[3]}) - peaks[4]);
    return 0;
}
