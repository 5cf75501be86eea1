#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"
#include "batch/BatchLine.h"
#include "calc/Mass.h"
#include "cli/CommandLine.h"
#include "tests/support/BatchSheets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace {

using namespace std::string_literals;
using sheetmass::platform::Stream;

constexpr int kWindow = -1; // the command line leaves the rest to the window

struct Answer {
    int status;
    std::string out;
    std::string err;
};

#ifdef _WIN32
using File = HANDLE;

// Inherited by the program started, removed when the last handle closes.
File memoryFile(const std::string& bytes) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"bat", 0, name);
    const File file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    DWORD n = 0;
    EXPECT_TRUE(bytes.empty() ||
                WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr));
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    return file;
}

std::string contents(File file) {
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD n = 0;
    OVERLAPPED start{};
    EXPECT_TRUE(text.empty() ||
                ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &n, &start));
    CloseHandle(file);
    return text;
}

void close(File file) {
    CloseHandle(file);
}

Stream streamOf(File file) {
    return Stream(reinterpret_cast<sheetmass::platform::Native>(file));
}

std::wstring wide(const std::string& utf8) {
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                            static_cast<int>(text.size()))));
    return text;
}

// The real program, its arguments quoted as the C runtime splits them.
int spawn(const std::vector<std::string>& args, File in, File out, File err) {
    std::wstring line;
    for (const std::string& a : args)
        line += L"\"" + wide(a) + L"\" ";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = in;
    start.hStdOutput = out;
    start.hStdError = err;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &start, &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
#else
using File = int;

File memoryFile(const std::string& bytes) {
    const int fd = memfd_create("batch", MFD_CLOEXEC);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    lseek(fd, 0, SEEK_SET);
    return fd;
}

std::string contents(File fd) {
    std::string text(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
    close(fd);
    return text;
}

Stream streamOf(File fd) {
    return Stream(fd);
}

// The real program with neither X nor Wayland to talk to.
int spawn(const std::vector<std::string>& args, File in, File out, File err) {
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, in, 0);
    posix_spawn_file_actions_adddup2(&files, out, 1);
    posix_spawn_file_actions_adddup2(&files, err, 2);
    std::vector<std::string> env = {"QT_QPA_PLATFORM=xcb", "LANG=C.UTF-8"};
    for (char** e = environ; *e != nullptr; ++e)
        if (std::string_view(*e).starts_with("LSAN_OPTIONS=") ||
            std::string_view(*e).starts_with("PATH="))
            env.push_back(*e);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&files);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}
#endif

std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// The command line as main() hands it over, in this process or as the real
// program.
Answer run(std::vector<std::string> args, const std::string& input, bool asProgram = false) {
#ifdef _WIN32
    // Windows has no name for standard input as a file: a file that holds it.
    const std::filesystem::path asFile =
        std::filesystem::temp_directory_path() /
        ("batch-input-" + std::to_string(GetCurrentProcessId()) + ".csv");
    for (std::string& a : args)
        if (a == "/dev/stdin") {
            std::ofstream(asFile, std::ios::binary) << input;
            a = utf8(asFile);
        }
#endif
    args.insert(args.begin(), SHEETMASS_PROGRAM);
    std::vector<const char*> argv;
    for (auto& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    const File in = memoryFile(input), out = memoryFile(""), err = memoryFile("");
    const int status = asProgram
                           ? spawn(args, in, out, err)
                           : sheetmass::runWithoutWindow(static_cast<int>(args.size()), argv.data(),
                                                         streamOf(in), streamOf(out), streamOf(err))
                                 .value_or(kWindow);
    close(in);
#ifdef _WIN32
    std::filesystem::remove(asFile);
#endif
    return {status, contents(out), contents(err)};
}

const std::string D16 = "Д16 (1160);номиналу;2;0,2;-0,2;2000;1000;10;2";
const std::string kTotal = "Итого;;;;;;;;;";
// The total's row when lines were left out of it: "1 строка", "2 строки".
std::string leftOut(const std::string& lines) {
    return "Итого;не в сумме: " + lines + " без массы;;;;;;;;";
}

struct Row {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    std::string out; // whole, or up to a closing "…"
    std::string err; // a part of it; empty: nothing
    int status;
    bool asProgram = false;
};

TEST(batch, AnswersEachKindOfLineAndCommandLine) {
    const std::string longLine(5000, 'x');
    namespace fs = std::filesystem;
    const std::string missing = utf8(fs::temp_directory_path() / fs::path(u8"нет такого.csv"));
    // Outside the ANSI code page, for Windows' sake.
    const fs::path named = fs::temp_directory_path() / fs::path(u8"заказ №7 ✓.csv");
    std::ofstream(named, std::ios::binary) << D16 << "\r\n";
#ifdef _WIN32
    const std::string root = "C:\\", cannotRead = "не открывается «C:\\»: нет доступа\n";
#else // the system's words only where the program has none of its own
    const std::string root = "/", cannotRead = "не читается «/»: ошибка системы (";
#endif
    const std::vector<Row> rows = {
        {"semicolons", {"--batch"}, D16 + "\n", D16 + ";110,8\n" + kTotal + "110,8\n", "", 0},
        {"the last line unended",
         {"--batch", "-"},
         D16,
         D16 + ";110,8\n" + kTotal + "110,8\n",
         "",
         0},
        {"nothing", {"--batch"}, "", kTotal + "0\n", "", 0},
        // A grade's trailing blank dropped, a dot, grouped digits, CR LF; a
        // note's semicolon does not outweigh the tabs.
        {"tabs as pasted",
         {"--batch"},
         "АД1\tцентру нижнего отклонения\t2.0\t0,2\t-0,2\t2 000\t1\u00A0000\t3\t3\tрезать; "
         "срочно\r\n",
         "АД1\tцентру нижнего отклонения\t2.0\t0,2\t-0,2\t2 000\t1\u00A0000\t3\t3\t30,894\tрезать; "
         "срочно\r\n"
         "Итого\t\t\t\t\t\t\t\t\t30,894\r\n",
         "",
         0},
        {"quoted cells",
         {"--batch"},
         "\"Д16 (1160)\";\" номиналу\";\"2,5\";;;2000;\"1\"\"000\";1;2\n",
         "\"Д16 (1160)\";\" номиналу\";\"2,5\";;;2000;\"1\"\"000\";1;2;\n" + leftOut("1 строка") +
             "0\n",
         "строка 1: ширина листа «1\"000» — не число\n",
         1},
        {"a doubled quote keeps the separator in its field",
         {"--batch"},
         "\"x\"\";y\";номиналу;2;;;2000;1000;1;2\n",
         "\"x\"\";y\";номиналу;2;;;2000;1000;1;2;\n" + leftOut("1 строка") + "0\n",
         "строка 1: сплав «x\";y» — не марка из списка и не плотность\n",
         1},
        {"empty fields after the ninth stay after the mass",
         {"--batch"},
         D16 + ";;\n",
         D16 + ";110,8;;\n" + kTotal + "110,8\n",
         "",
         0},
        // A band deeper than the thickness leaves no sheet; one just as deep
        // leaves a sheet of no mass.
        {"a worked thickness below zero",
         {"--batch"},
         D16 + "\n2,7;центру нижнего отклонения;2;;-5;1000;1000;1;2\n"
               "2,7;центру верхнего отклонения;2;-5;;1000;1000;1;2\n"
               "2,7;центру нижнего отклонения;0,5;;-1,002;1000;1000;1;2\n"
               "2,7;центру верхнего отклонения;0,5;-1,002;;1000;1000;1;2\n"
               "2,7;центру нижнего отклонения;2;;-4;1000;1000;1;2\n"
               "2,7;центру верхнего отклонения;2;-4;;1000;1000;1;2\n"
               "2,7;номиналу;2;;;2000;1000;-2,5;2\n2,7;номиналу;2;;;2000;1000;-0;2\n",
         D16 +
             ";110,8\n2,7;центру нижнего отклонения;2;;-5;1000;1000;1;2;\n"
             "2,7;центру верхнего отклонения;2;-5;;1000;1000;1;2;\n"
             "2,7;центру нижнего отклонения;0,5;;-1,002;1000;1000;1;2;\n"
             "2,7;центру верхнего отклонения;0,5;-1,002;;1000;1000;1;2;\n"
             "2,7;центру нижнего отклонения;2;;-4;1000;1000;1;2;0\n"
             "2,7;центру верхнего отклонения;2;-4;;1000;1000;1;2;0\n"
             "2,7;номиналу;2;;;2000;1000;-2,5;2;\n2,7;номиналу;2;;;2000;1000;-0;2;\n" +
             leftOut("6 строк") + "110,8\n",
         "строка 2: нижнее отклонение — -5 мм, с ним толщина в расчёте -0,5 мм, меньше нуля\n"
         "строка 3: верхнее отклонение — -5 мм, с ним толщина в расчёте -0,5 мм, меньше нуля\n"
         "строка 4: нижнее отклонение — -1,002 мм, с ним толщина в расчёте -0,001 мм, меньше "
         "нуля\n"
         "строка 5: верхнее отклонение — -1,002 мм, с ним толщина в расчёте -0,001 мм, меньше "
         "нуля\n"
         "строка 8: количество «-2,5» — меньше нуля\nстрока 9: количество «-0» — минус здесь не "
         "вводится\n",
         1},
        // A grade as the window's list finds it; no prefix guessed.
        {"grades named as the window finds them",
         {"--batch"},
         "Д16;номиналу;2;;;2000;1000;10;2\nд16 (1160);номиналу;2;;;2000;1000;10;2\n"
         "AMг6 (1560);номиналу;2;;;2000;1000;10;2\nД17;номиналу;2;;;2000;1000;10;2\n"
         "Д;номиналу;2;;;2000;1000;10;2\n",
         "Д16;номиналу;2;;;2000;1000;10;2;110,8\nд16 (1160);номиналу;2;;;2000;1000;10;2;110,8\n"
         "AMг6 (1560);номиналу;2;;;2000;1000;10;2;105,6\nД17;номиналу;2;;;2000;1000;10;2;\n"
         "Д;номиналу;2;;;2000;1000;10;2;\n" +
             leftOut("2 строки") + "327,2\n",
         "строка 4: сплав «Д17» — не марка из списка и не плотность, ближе всего: «ВД17», «Д1 "
         "(1110)», "
         "«Д12 (1521)»\n"
         "строка 5: сплав «Д» — не марка из списка и не плотность, ближе всего: «Д1 (1110)», "
         "«Д6»\n",
         1},
        // The total of a mass written with an exponent is written so too.
        {"a total as its line writes it",
         {"--batch"},
         "10;номиналу;100000;;;100000;100000;100000;0\n",
         "10;номиналу;100000;;;100000;100000;100000;0;1E+15\n" + kTotal + "1E+15\n",
         "",
         0},
        {"a small total as its line writes it",
         {"--batch"},
         "1;номиналу;10;;;1;1;1;5\n",
         "1;номиналу;10;;;1;1;1;5;1E-05\n" + kTotal + "1E-05\n",
         "",
         0},
        // No metal is denser than osmium: a grade's number is not its density.
        {"a density no metal has",
         {"--batch"},
         "1160;номиналу;2;;;2000;1000;10;2\n22,61;номиналу;2;;;2000;1000;10;2\n"
         "22,6;номиналу;2;;;2000;1000;10;2\n0;номиналу;2;;;2000;1000;10;2\n",
         "1160;номиналу;2;;;2000;1000;10;2;\n22,61;номиналу;2;;;2000;1000;10;2;\n"
         "22,6;номиналу;2;;;2000;1000;10;2;904\n0;номиналу;2;;;2000;1000;10;2;0\n" +
             leftOut("2 строки") + "904\n",
         "строка 1: сплав — плотность 1160 г/см³ больше 22,6, такой нет ни у одного металла: "
         "1160 — номер марки «Д16 (1160)»\n"
         "строка 2: сплав — плотность 22,61 г/см³ больше 22,6, такой нет ни у одного металла\n",
         1},
        {"column titles",
         {"--batch"},
         "Сплав;Считать массу по;Толщина\n",
         "Сплав;Считать массу по;Толщина;\n" + leftOut("1 строка") + "0\n",
         "строка 1: 3 поля, а нужно 9 (заголовки? строку, которую не считать, начните с «#»)",
         1},
        {"Windows-1251",
         {"--batch"},
         "\xC4"
         "16 (1160);\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3;2;0,2;-0,2;2000;1000;10;2\n",
         "\xC4"
         "16 (1160);\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3;2;0,2;-0,2;2000;1000;10;2;110,8\n"
         "\xC8\xF2\xEE\xE3\xEE;;;;;;;;;110,8\n",
         "",
         0},
        {"Windows-1251 asked to come out in UTF-8",
         {"--batch", "--encoding=UTF-8"},
         "\xC4"
         "16 (1160);\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3;2;0,2;-0,2;2000;1000;10;2\n",
         D16 + ";110,8\n" + kTotal + "110,8\n",
         "",
         0},
        // Ctrl+Z ends a text stream on Windows; not this one.
        {"a Ctrl+Z byte",
         {"--batch"},
         "# \x1A\n" + D16 + "\n",
         "# \x1A\n" + D16 + ";110,8\n" + kTotal + "110,8\n",
         "",
         0,
         true},
        {"copied as they are",
         {"--batch"},
         "\xEF\xBB\xBF# заказ;7\n\n;;\t;\n" + D16 + "\n",
         "\xEF\xBB\xBF# заказ;7\n\n;;\t;\n" + D16 + ";110,8\n" + kTotal + "110,8\n",
         "",
         0},
        {"bad lines, counted among all",
         {"--batch"},
         "# 1\n" + D16 +
             "\n"
             "Д16 (1160);номиналу;2;;;20x0;1000;1;2\n"
             "Д16 (1160);по номиналу;2;;;2000;1000;1;2\n"
             "Д17;номиналу;2;;;2000;1000;;2\n"
             "Д16 (1160);номиналу;2;;;2000;1000;1\n"
             "Д16 (1160);центру нижнего отклонения;2;;0,2;-2000;1000;2,5;2\n"
             "2,7;центру нижнего отклонения;2;;-0,2000;1234567;1000;1;1E999\n"
             "2,7;номиналу;2;;;2000;1000;1;1E300\n"
             "2,7;номиналу;2;;;2000;1000;1;2\n",
         "# 1\n" + D16 +
             ";110,8\n"
             "Д16 (1160);номиналу;2;;;20x0;1000;1;2;\n"
             "Д16 (1160);по номиналу;2;;;2000;1000;1;2;\n"
             "Д17;номиналу;2;;;2000;1000;;2;\n"
             "Д16 (1160);номиналу;2;;;2000;1000;1;\n"
             "Д16 (1160);центру нижнего отклонения;2;;0,2;-2000;1000;2,5;2;\n"
             "2,7;центру нижнего отклонения;2;;-0,2000;1234567;1000;1;1E999;\n"
             "2,7;номиналу;2;;;2000;1000;1;1E300;\n"
             "2,7;номиналу;2;;;2000;1000;1;2;10,8\n" +
             leftOut("7 строк") + "121,6\n",
         "строка 3: длина листа «20x0» — не число\n"
         "строка 4: считать массу по «по номиналу» — не «номиналу», не «центру верхнего "
         "отклонения» и не «центру нижнего отклонения»\n"
         "строка 5: сплав «Д17» — не марка из списка и не плотность, ближе всего: «ВД17», "
         "«Д1 (1110)», «Д12 (1521)»; количество — пусто\n"
         "строка 6: 8 полей, а нужно 9\n"
         "строка 7: длина листа «-2000» — меньше нуля; количество «2,5» — не целое число\n"
         "строка 8: знаков после запятой «1E999» — не число\n"
         "строка 9: знаков после запятой «1E300» — вне пределов\n",
         1},
        {"a line of 4096 bytes is read",
         {"--batch"},
         std::string(4096 - D16.size(), ' ') + D16 + "\n",
         std::string(4096 - D16.size(), ' ') + D16 + ";110,8\n" + kTotal + "110,8\n",
         "",
         0},
        {"an over-long line",
         {"--batch"},
         longLine + "\r\n" + D16 + "\r\n",
         longLine + ";\r\n" + D16 + ";110,8\r\n" + leftOut("1 строка") + "110,8\r\n",
         "строка 1: длиннее 4096 байт",
         1},
        {"no display", {"--batch"}, D16 + "\n", D16 + ";110,8\n" + kTotal + "110,8\n", "", 0, true},
        // An English sheet's default CSV: commas apart, dots before decimals,
        // commas between thousands in quoted cells, a row of titles.
        {"an English comma-separated export",
         {"--batch", "/dev/stdin"},
         "Alloy,Mode,Thickness,Upper,Lower,Length,Width,Count,Places\r\n"
         "Д16 (1160),номиналу,2,,,\"2,000\",\"1,000\",10,2\r\n"
         "АМг6 (1560),центру верхнего отклонения,1.5,0.1,,\"1,500\",\"1,200\",25,1\r\n",
         "Alloy,Mode,Thickness,Upper,Lower,Length,Width,Count,Places,\"Масса, кг\"\r\n"
         "Д16 (1160),номиналу,2,,,\"2,000\",\"1,000\",10,2,110.8\r\n"
         "АМг6 (1560),центру верхнего отклонения,1.5,0.1,,\"1,500\",\"1,200\",25,1,184.1\r\n"
         "Итого,,,,,,,,,294.9\r\n",
         "",
         0,
         true},
        // On standard input the lines before the one that shows the way are
        // read the way the file's separator suggests, with a warning.
        {"an English comma-separated export on standard input",
         {"--batch"},
         "Д16 (1160),номиналу,2,,,\"2,000\",\"1,000\",10,2\n"
         "АМг6 (1560),центру верхнего отклонения,1.5,0.1,,\"1,500\",\"1,200\",25,1\n",
         "Д16 (1160),номиналу,2,,,\"2,000\",\"1,000\",10,2,110.8\n"
         "АМг6 (1560),центру верхнего отклонения,1.5,0.1,,\"1,500\",\"1,200\",25,1,184.1\n"
         "Итого,,,,,,,,,294.9\n",
         "строка 1: внимание: длина листа «2,000» — прочитано как 2000, а по-русски это 2; способ "
         "записи чисел задают --decimal=. или --decimal=,; ширина листа «1,000» — прочитано как "
         "1000, а по-русски это 1;",
         0},
        // Commas between thousands shown after both decimal marks.
        {"a named file showing both ways, groups last",
         {"--batch", "/dev/stdin"},
         "Д16 (1160);номиналу;0,5;;;2000;1000;1;2\n"
         "Д16 (1160);номиналу;1.5;;;2000;1000;1;2\n"
         "Д16 (1160);номиналу;2;;;1,250.5;1000;1;2\n",
         "Д16 (1160);номиналу;0,5;;;2000;1000;1;2;\n"
         "Д16 (1160);номиналу;1.5;;;2000;1000;1;2;8,31\n"
         "Д16 (1160);номиналу;2;;;1,250.5;1000;1;2;\n" +
             leftOut("2 строки") + "8,31\n",
         "строка 1: толщина листа «0,5» — в файле запятая и отделяет дробную часть",
         1,
         true},
        // The same text after an English file: each file's own way.
        {"a Russian list after it",
         {"--batch"},
         "Д16 (1160);номиналу;1,5;;;1,500;1000;1;3\n",
         "Д16 (1160);номиналу;1,5;;;1,500;1000;1;3;0,006\n" + kTotal + "0,006\n",
         "",
         0},
        {"an English semicolon export: decimals written 1.5",
         {"--batch", "/dev/stdin"},
         "Д16 (1160);номиналу;2;;;\"2,000\";\"1,000\";10;2\n"
         "2.7;номиналу;0.5;;;1,250.5;1000;2;3\n",
         "Д16 (1160);номиналу;2;;;\"2,000\";\"1,000\";10;2;110.8\n"
         "2.7;номиналу;0.5;;;1,250.5;1000;2;3;3.376\n" +
             kTotal + "114.176\n",
         "",
         0,
         true},
        {"a convention never shown: read the Russian way, warned",
         {"--batch"},
         "Д16 (1160);номиналу;2;;;\"2,000\";\"1,000\";10;2\n",
         "Д16 (1160);номиналу;2;;;\"2,000\";\"1,000\";10;2;0\n" + kTotal + "0\n",
         "строка 1: внимание: длина листа «2,000» — прочитано как 2, а по-английски это 2000; "
         "способ записи чисел задают --decimal=, или --decimal=.; ширина листа «1,000» — "
         "прочитано как 1, а по-английски это 1000",
         0},
        {"one field: the separator is named",
         {"--batch"},
         D16 + "\n2000|1000\n",
         D16 + ";110,8\n2000|1000;\n" + leftOut("1 строка") + "110,8\n",
         "строка 2: 1 поле, а нужно 9 (поля разделяет то, что встретилось первым: табуляция, «;» "
         "или «,»)\n",
         1},
        {"a typed density warned too",
         {"--batch"},
         "2,700;номиналу;2;;;2000;1000;10;2\n",
         "2,700;номиналу;2;;;2000;1000;10;2;108\n" + kTotal + "108\n",
         "строка 1: внимание: сплав «2,700» — прочитано как 2,7, а по-английски это 2700;",
         0},
        {"the convention stated",
         {"--batch", "--decimal=."},
         "Д16 (1160);номиналу;2;;;\"2,000\";\"1,000\";10;2\n",
         "Д16 (1160);номиналу;2;;;\"2,000\";\"1,000\";10;2;110.8\n" + kTotal + "110.8\n",
         "",
         0},
        // Stated, the decimal comma leaves the groups to the file.
        {"a decimal comma stated, dots before three digits group",
         {"--batch", "--decimal=,"},
         "Д16 (1160);номиналу;2;;;2.000;1000;10;2\n",
         "Д16 (1160);номиналу;2;;;2.000;1000;10;2;110,8\n" + kTotal + "110,8\n",
         "",
         0},
        {"the Russian way stated: a German number is named",
         {"--batch", "--group= "},
         "Д16 (1160);номиналу;2;;;2.000;1000;10;2\nД16 (1160);номиналу;2;;;1.250,5;1000;10;2\n",
         "Д16 (1160);номиналу;2;;;2.000;1000;10;2;0,11\n"
         "Д16 (1160);номиналу;2;;;1.250,5;1000;10;2;\n" +
             leftOut("1 строка") + "0,11\n",
         "строка 2: длина листа «1.250,5» — не число; немецкая запись? --decimal=, --group=.\n",
         1},
        // A German sheet's CSV: titles, dots between thousands, a minus, and
        // the empty column after the last one that it often writes.
        {"a German semicolon export",
         {"--batch", "/dev/stdin"},
         "Сплав;Считать массу по;Толщина;Верхнее;Нижнее;Длина;Ширина;Количество;Знаков;\r\n"
         "Д16 (1160);центру нижнего отклонения;2;0,2;-0,25;1.500;1.000;10;2;\r\n"
         "АМг6 (1560);номиналу;1,5;;;1.250,5;1.200;25;1;\r\n"
         "2,7;центру верхнего отклонения;3;0,3;-0,2;12.000;1.500;2;3;\r\n",
         "Сплав;Считать массу по;Толщина;Верхнее;Нижнее;Длина;Ширина;Количество;Знаков;"
         "Масса, кг;\r\n"
         "Д16 (1160);центру нижнего отклонения;2;0,2;-0,25;1.500;1.000;10;2;77,91;\r\n"
         "АМг6 (1560);номиналу;1,5;;;1.250,5;1.200;25;1;148,6;\r\n"
         "2,7;центру верхнего отклонения;3;0,3;-0,2;12.000;1.500;2;3;306,18;\r\n"
         "Итого;;;;;;;;;532,69\r\n",
         "",
         0,
         true},
        // Its comma-separated one quotes what holds a comma: the decimals,
        // and a title and a note with a semicolon, which decides nothing.
        {"a German comma export with notes",
         {"--batch", "/dev/stdin"},
         "Сплав,Считать массу по,Толщина,Верхнее,Нижнее,Длина,\"Ширина; мм\",Количество,Знаков,"
         "Примечание\n"
         "Д16 (1160),центру нижнего отклонения,2,\"0,2\",\"-0,25\",1.500,1.000,10,2,"
         "\"резать; срочно\"\n"
         "\"2,7\",номиналу,\"1,5\",,,\"1.250,5\",1.200,25,1,\n",
         "Сплав,Считать массу по,Толщина,Верхнее,Нижнее,Длина,\"Ширина; мм\",Количество,Знаков,"
         "\"Масса, кг\",Примечание\n"
         "Д16 (1160),центру нижнего отклонения,2,\"0,2\",\"-0,25\",1.500,1.000,10,2,\"77,91\","
         "\"резать; срочно\"\n"
         "\"2,7\",номиналу,\"1,5\",,,\"1.250,5\",1.200,25,1,\"151,9\",\n"
         "Итого,,,,,,,,,\"229,81\"\n",
         "",
         0,
         true},
        // Dots before three digits beside dots before decimals: warned.
        {"a dot before other than three digits keeps the Russian reading",
         {"--batch"},
         "Д16 (1160);номиналу;1.5;0,2;-0,2;1.500;1000;10;2\n",
         "Д16 (1160);номиналу;1.5;0,2;-0,2;1.500;1000;10;2;0,06\n" + kTotal + "0,06\n",
         "строка 1: внимание: длина листа «1.500» — прочитано как 1,5, а по-немецки это 1500; "
         "способ записи чисел задают --group=\" \" или --decimal=, --group=.\n",
         0},
        {"a seven-character length",
         {"--batch"},
         "Д16 (1160);номиналу;2;;;1200,75;1000;10;2\n",
         "Д16 (1160);номиналу;2;;;1200,75;1000;10;2;66,52\n" + kTotal + "66,52\n",
         "",
         0},
        {"dots that could group, in a file that never shows: warned",
         {"--batch"},
         "Д16 (1160);номиналу;2;;;1.500;1.000;10;2\n",
         "Д16 (1160);номиналу;2;;;1.500;1.000;10;2;0\n" + kTotal + "0\n",
         "строка 1: внимание: длина листа «1.500» — прочитано как 1,5, а по-немецки это 1500; "
         "способ записи чисел задают --group=\" \" или --decimal=, --group=.; ширина листа "
         "«1.000» — прочитано как 1, а по-немецки это 1000;",
         0},
        {"dots both between groups and before decimals",
         {"--batch", "/dev/stdin"},
         "Д16 (1160);номиналу;1.5;;;2000;1000;1;2\nД16 (1160);номиналу;2;;;1.250,5;1000;1;2\n",
         "Д16 (1160);номиналу;1.5;;;2000;1000;1;2;\nД16 (1160);номиналу;2;;;1.250,5;1000;1;2;\n" +
             leftOut("2 строки") + "0\n",
         "строка 1: толщина листа «1.5» — в файле точка и отделяет дробную часть, и группирует "
         "разряды; способ записи чисел задают --group=\" \" или --group=.\n"
         "строка 2: длина листа «1.250,5» — в файле точка",
         1,
         true},
        {"both conventions in one file",
         {"--batch"},
         D16 + "\n2,7;номиналу;2;;;1,250.5;1000;1;2\n2,7;номиналу;2;;;2000;1000;1;2\n",
         D16 + ";110,8\n2,7;номиналу;2;;;1,250.5;1000;1;2;\n2,7;номиналу;2;;;2000;1000;1;2;10,8\n" +
             leftOut("1 строка") + "121,6\n",
         "строка 2: длина листа «1,250.5» — в файле запятая и отделяет дробную часть, и "
         "группирует разряды; способ записи чисел задают --decimal=, или --decimal=.\n",
         1},
        {"a Russian comma-separated export quotes its numbers, and so the mass",
         {"--batch"},
         "Д16 (1160),номиналу,2,\"0,2\",\"-0,2\",2000,1000,10,2\n",
         "Д16 (1160),номиналу,2,\"0,2\",\"-0,2\",2000,1000,10,2,\"110,8\"\n"
         "Итого,,,,,,,,,\"110,8\"\n",
         "",
         0},
        {"a quoted comment row, a minus sign U+2212",
         {"--batch"},
         "\"# примечание; резать\";;;;;;;;\n"
         "2,7;центру нижнего отклонения;2;;\u22120,20;2000;1000;10;2\n",
         "\"# примечание; резать\";;;;;;;;\n"
         "2,7;центру нижнего отклонения;2;;\u22120,20;2000;1000;10;2;102,6\n" +
             kTotal + "102,6\n",
         "",
         0},
        {"a row of titles first",
         {"--batch"},
         "Сплав;Считать массу по;Толщина;Верхнее;Нижнее;Длина;Ширина;Количество;Знаков\n" + D16,
         "Сплав;Считать массу по;Толщина;Верхнее;Нижнее;Длина;Ширина;Количество;Знаков;"
         "Масса, кг\n" +
             D16 + ";110,8\n" + kTotal + "110,8\n",
         "",
         0},
        {"lone CR line ends",
         {"--batch"},
         D16 + "\r" + D16 + "\r",
         D16 + ";110,8\r" + D16 + ";110,8\r" + kTotal + "221,6\r",
         "",
         0},
        {"a byte-order mark inside the file",
         {"--batch"},
         D16 + "\n\xEF\xBB\xBF" + D16 + "\n",
         D16 + ";110,8\n\xEF\xBB\xBF" + D16 + ";\n" + leftOut("1 строка") + "110,8\n",
         "строка 2: метка порядка байтов (U+FEFF) не в начале файла",
         1},
        {"4096 bytes and a CR LF are read",
         {"--batch"},
         std::string(4096 - D16.size(), ' ') + D16 + "\r\n",
         std::string(4096 - D16.size(), ' ') + D16 + ";110,8\r\n" + kTotal + "110,8\r\n",
         "",
         0},
        {"a long line with a Windows-1251 byte past its first block",
         {"--batch"},
         std::string(70000, 'x') + "\xFF\n",
         std::string(70000, 'x') + "я;\n" + leftOut("1 строка") + "0\n",
         "строка 1: длиннее 4096 байт",
         1},
        {"places out of range are named",
         {"--batch"},
         "2,7;номиналу;2;;;2000;1000;1;400\n2,7;номиналу;2;;;2000;1000;1;1,5E+20\n",
         "2,7;номиналу;2;;;2000;1000;1;400;\n2,7;номиналу;2;;;2000;1000;1;1,5E+20;\n" +
             leftOut("2 строки") + "0\n",
         "строка 1: знаков после запятой «400» — вне пределов\n"
         "строка 2: знаков после запятой «1,5E+20» — вне пределов\n",
         1},
        {"a wrong decimal mark", {"--batch", "--decimal=;"}, "", "", "«--decimal=;»", 2},
        {"one mark for both",
         {"--batch", "--decimal=.", "--group=."},
         "",
         "",
         "несовместимые параметры «--decimal=. --group=.»",
         2},
        {"a wrong encoding", {"--batch", "--encoding=koi8-r"}, "", "", "«--encoding=koi8-r»", 2},
        {"a file that is not there",
         {"--batch", missing},
         "",
         "",
         "не открывается «" + missing + "»: нет такого файла\n",
         2,
         true},
        {"a file named beyond the code page",
         {"--batch", utf8(named)},
         "",
         D16 + ";110,8\r\n" + kTotal + "110,8\r\n",
         "",
         0,
         true},
        {"a folder", {"--batch", root}, "", "", cannotRead, 2},
        {"two files", {"--batch", "a", "b"}, "", "", "лишний параметр «b»", 2},
        {"an unknown option", {"--batch", "-x"}, "", "", "неизвестный параметр «-x»", 2},
        {"a misspelt option", {"--bach"}, "", "", "неизвестный параметр «--bach»", 2, true},
        {"help", {"--batch", "--help"}, "", "Использование: sheetmass…", "", 0},
        {"a file named as an option",
         {"--batch", "--", "--help"},
         "",
         "",
         "не открывается «--help»",
         2},
        {"version", {"--version"}, "", "sheetmass " SHEETMASS_VERSION "\n", "", 0},
        {"Qt's options", {"-platform", "offscreen", "--style=fusion"}, "", "", "", kWindow},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Answer got = run(row.args, row.input, row.asProgram);
        EXPECT_EQ(got.status, row.status);
        if (row.out.ends_with("…"))
            EXPECT_TRUE(got.out.starts_with(row.out.substr(0, row.out.size() - "…"s.size())))
                << got.out;
        else
            EXPECT_EQ(got.out, row.out);
        if (row.err.empty())
            EXPECT_EQ(got.err, "");
        else
            EXPECT_NE(got.err.find(row.err), std::string::npos) << got.err;
    }
    fs::remove(named);
}

// What Qt leaves of the window's command line: a file alone is given to the
// window, as a file manager's "open with" names it; anything else is refused.
TEST(batch, LeavesAFileAloneToTheWindow) {
    namespace fs = std::filesystem;
    const fs::path order = fs::temp_directory_path() / fs::path(u8"заказ для окна.csv");
    std::ofstream(order, std::ios::binary) << D16 << "\n";
    const std::string given = utf8(order);
    const std::string missing = utf8(fs::temp_directory_path() / fs::path(u8"нет такого.csv"));
    const struct {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string file;
        std::string err; // a part of it; empty: nothing
    } rows[] = {
        {"nothing left", {}, kWindow, "", ""},
        {"a file", {given}, kWindow, given, ""},
        {"a file that is not there", {missing}, 2, "", "нет такого файла «" + missing + "»"},
        {"two files", {given, given}, 2, "", "лишний параметр «" + given + "»"},
        {"an option Qt did not take", {"-x", given}, 2, "", "неизвестный параметр «-x»"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<const char*> argv = {SHEETMASS_PROGRAM};
        for (const std::string& a : row.args)
            argv.push_back(a.c_str());
        const File err = memoryFile("");
        std::string file;
        const int status = sheetmass::refuseLeftOver(static_cast<int>(argv.size()), argv.data(),
                                                     file, streamOf(err))
                               .value_or(kWindow);
        const std::string said = contents(err);
        EXPECT_EQ(status, row.status);
        EXPECT_EQ(file, row.file);
        if (row.err.empty())
            EXPECT_EQ(said, "");
        else
            EXPECT_NE(said.find(row.err), std::string::npos) << said;
    }
    fs::remove(order);
}

// A sheet comes back in its encoding and its way of writing numbers, the
// mass before its notes, so that importing it as it was exported gives the
// same numbers: read again without the masses it got, it gives the same lines.
// The count's word agrees with its number as Russian has it.
TEST(batch, CountsLinesAndFieldsInRussian) {
    const struct {
        std::size_t n;
        const char* said;
    } rows[] = {{1, "1 строка"},  {3, "3 строки"},   {5, "5 строк"},     {11, "11 строк"},
                {14, "14 строк"}, {21, "21 строка"}, {112, "112 строк"}, {1022, "1022 строки"}};
    for (const auto& r : rows)
        EXPECT_EQ(sheetmass::countOf(r.n, "строка", "строки", "строк"), r.said);
}

TEST(batch, OutputGoesBackAsItCame) {
    const struct {
        const char* what;
        std::string lines;
        std::string expected;
    } rows[] = {
        {"English, in Windows-1251",
         "\xC4"
         "16 (1160);\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3;2;;;2000;1000;10;2\r\n"
         "2.7;\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3;0.5;;;1250.5;1000;2;3\r\n",
         "\xC4"
         "16 (1160);\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3;2;;;2000;1000;10;2;110.8\r\n"
         "2.7;\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3;0.5;;;1250.5;1000;2;3;3.376\r\n"
         "\xC8\xF2\xEE\xE3\xEE;;;;;;;;;114.176\r\n"},
        {"Russian, with notes",
         "Д16 (1160);центру нижнего отклонения;2;0,2;-0,2;2 000;1 000;10;2;резать\r\n"
         "2,7;номиналу;0.5;;;1250,5;1000;2;3;\r\n",
         "Д16 (1160);центру нижнего отклонения;2;0,2;-0,2;2 000;1 000;10;2;105,26;резать\r\n"
         "2,7;номиналу;0.5;;;1250,5;1000;2;3;3,376;\r\n"
         "Итого;;;;;;;;;108,636\r\n"},
        {"German, with notes",
         "Д16 (1160);номиналу;2;0,2;-0,2;1.500;1.000;10;2;срочно\n"
         "АМг6 (1560);центру верхнего отклонения;1,5;0,1;;1.250,5;1.200;25;1;\n",
         "Д16 (1160);номиналу;2;0,2;-0,2;1.500;1.000;10;2;83,1;срочно\n"
         "АМг6 (1560);центру верхнего отклонения;1,5;0,1;;1.250,5;1.200;25;1;153,5;\n"
         "Итого;;;;;;;;;236,6\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const Answer first = run({"--batch", "/dev/stdin"}, row.lines, true);
        EXPECT_EQ(first.status, 0);
        EXPECT_EQ(first.out, row.expected);
        const std::string ending = row.lines.ends_with("\r\n") ? "\r\n" : "\n";
        std::string again;
        for (std::size_t at = 0, end = 0;
             (end = first.out.find(ending, at)) + ending.size() < first.out.size();
             at = end + ending.size()) {
            // The total's line goes; of the rest, the tenth field.
            std::string line = first.out.substr(at, end - at);
            std::size_t mass = 0;
            for (int field = 0; field < 9; ++field)
                mass = line.find(';', mass) + 1;
            const std::size_t next = line.find(';', mass);
            line.erase(mass - 1, next == std::string::npos ? std::string::npos : next - mass + 1);
            again += line + ending;
        }
        EXPECT_EQ(again, row.lines);
        const Answer second = run({"--batch", "/dev/stdin"}, again, true);
        EXPECT_EQ(second.err, "");
        EXPECT_EQ(second.out, row.expected);
    }
}

#ifdef _WIN32
// Run again as a program of a console of its own (a pseudo console, which
// needs no display), this test writes the order's answer and messages to
// the console; what the console shows comes back as UTF-8 among its
// control sequences.
constexpr const wchar_t* kInConsole = L"SHEETMASS_IN_CONSOLE";

std::string shownInAConsole() {
    HANDLE keysIn, keys, shown, shownOut;
    CreatePipe(&keysIn, &keys, nullptr, 0);
    CreatePipe(&shown, &shownOut, nullptr, 0);
    HPCON console = nullptr;
    EXPECT_EQ(CreatePseudoConsole({120, 25}, keysIn, shownOut, 0, &console), S_OK);
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::string attributes(size, '\0');
    STARTUPINFOEXW start{};
    start.StartupInfo.cb = sizeof start;
    start.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    InitializeProcThreadAttributeList(start.lpAttributeList, 1, 0, &size);
    UpdateProcThreadAttribute(start.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_PSEUDOCONSOLE,
                              console, sizeof console, nullptr, nullptr);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) +
                        L"\" --gtest_filter=batch.ShowsAWindows1251OrderInAConsoleAsItsLetters";
    SetEnvironmentVariableW(kInConsole, L"1");
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                               EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &start.StartupInfo,
                               &process));
    SetEnvironmentVariableW(kInConsole, nullptr);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteProcThreadAttributeList(start.lpAttributeList);
    ClosePseudoConsole(console);
    CloseHandle(shownOut);
    CloseHandle(keysIn);
    CloseHandle(keys);
    std::string text;
    char buffer[4096];
    for (DWORD n = 0; ReadFile(shown, buffer, sizeof buffer, &n, nullptr) && n > 0;)
        text.append(buffer, n);
    CloseHandle(shown);
    return text;
}

// A console shows bytes as the letters of its code page (here 866): the
// answer to a Windows-1251 order and the message about a line without a
// mass show as the letters they spell.
TEST(batch, ShowsAWindows1251OrderInAConsoleAsItsLetters) {
    const std::string order = "\xC4"
                              "16 (1160);\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3;2;;;2000;1000;10;2\r\n"
                              "\xC6;;;;;;;;\r\n";
    if (GetEnvironmentVariableW(kInConsole, nullptr, 0) == 0) {
        const std::string shown = shownInAConsole();
        for (const char* line : {"Д16 (1160);номиналу;2;;;2000;1000;10;2;110,8", "Ж;;;;;;;;;",
                                 "строка 2: ", "Итого;не в сумме: 1 строка без массы;;;;;;;;110,8"})
            EXPECT_NE(shown.find(line), std::string::npos) << line << " not in:\n" << shown;
        return;
    }
    SetConsoleOutputCP(866);
    const File console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    const File in = memoryFile(order);
    const char* argv[] = {SHEETMASS_PROGRAM, "--batch", nullptr};
    sheetmass::runWithoutWindow(2, argv, streamOf(in), streamOf(console), streamOf(console));
    close(in);
    close(console);
}
#endif

// The batch gives for each line the mass the window shows for the same
// fields, whichever way the spreadsheet wrote the numbers.
TEST(batch, GivesTheWindowsMassForWorkedAndRandomSheets) {
    const auto [input, expected] = sheetmass::worked::batchSheets();
    ASSERT_EQ(expected.find(";\n"), std::string::npos); // a mass on every line
    const Answer got = run({"--batch"}, input);
    EXPECT_EQ(got.err, "");
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, expected);
}

} // namespace
