#include "cli/CommandLine.h"

#include "batch/Batch.h"
#include "platform/Places.h"
#include "platform/Streams.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <clocale>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace sheetmass {
namespace {

using namespace std::string_view_literals;
using platform::Stream;

constexpr std::string_view kHelp =
    R"(Использование: sheetmass [ПАРАМЕТР_Qt]... [ФАЙЛ]
  или:  sheetmass --batch [--decimal=,|.] [--group=.|" "]
                          [--encoding=КОДИРОВКА] [ФАЙЛ]
Масса партии листов из алюминиевых сплавов, кг.

Без параметров открывает окно «Масса AL листов». Параметры Qt, например
-platform или -style, передаются окну. С ФАЙЛОМ окно считает его так же,
как --batch, пишет результат рядом под новым именем (для заказ.csv —
«заказ (масса).csv», а если оно занято — «заказ (масса 2).csv») и
показывает итог; так же окно берёт файл, брошенный на него или открытый
им из файлового менеджера. Поля окна при этом не меняются.

      --batch [ФАЙЛ]  посчитать список партий из ФАЙЛА (без ФАЙЛА или «-» —
                      со стандартного ввода), без окна и без дисплея
      --decimal=,     десятичная запятая: 1 250,5, а если файл пишет
                      точки между разрядами, то и 1.250,5
      --decimal=.     числа записаны по-английски: 1,250.5 (запятые
                      разделяют тысячи)
      --group=.       числа записаны по-немецки: 1.250,5 (точки разделяют
                      тысячи, запятая — десятичная; то же, что
                      --decimal=, --group=.)
      --group=" "     числа записаны по-русски: 1 250,5 (точка — тоже
                      десятичная запятая)
      --encoding=КОДИРОВКА  вывод в utf-8 или windows-1251 (по умолчанию —
                      в кодировке ввода)
  -h, --help          показать эту справку и выйти
      --version       показать версию и выйти

Строка списка — одна партия: девять полей через табуляцию, точку с запятой
или запятую (что встретится вне кавычек в первой строке с разделителем, в
этом порядке):
  сплав; считать массу по; толщина листа; верхнее отклонение;
  нижнее отклонение; длина листа; ширина листа; количество;
  знаков после запятой
Сплав — марка из списка окна (регистр, похожие латинские буквы и пробел в
конце не важны; «Д16» — это «Д16 (1160)») или плотность в г/см³, не больше
22,6; «считать массу по» —
«номиналу», «центру верхнего отклонения» или «центру нижнего отклонения».
Числа читаются, как при вставке в поле окна: пробелы вокруг и между
разрядами убираются, знак минус (−) и тире перед числом — минус; длина
числа не ограничена. Поля после девятого — примечания: пустые не
считаются, остальные выводятся как есть.

Запись чисел. Без параметров способ решает сам файл: десятичная запятая
(0,2) — по-русски, а если при ней все точки стоят перед тремя цифрами
(1.500, 1.250,5) — по-немецки; запятые между тысячами (1,250.5) или
десятичная точка (1.5) при запятых только между тысячами — по-английски,
и тогда 2,000 — это две тысячи; файл с запятыми через запятую —
по-английски, пока в нём нет другой записи. Если в файле встречаются два
способа для одного знака, строка с этим знаком в числе остаётся без массы.
Если файл способа не показал, числа читаются по-русски (файл через запятую
— по-английски), а каждое число вида 2,000 или 1.500, которое при другом
способе в тысячу раз больше или меньше, называется на стандартном выводе
ошибок вместе с обоими прочтениями и параметрами; так же и число вида
1.500 в файле, где есть и точки вида 1.5. Файл читается дважды
(сначала — чтобы узнать способ); стандартный ввод — один раз, и строка
читается так, как показали строки до неё и она сама.

Каждая строка выводится как прочитана, с массой в поле после девятого
(перед примечаниями), в том же виде, что в окне, с десятичным знаком и в
кодировке ввода; в конце — строка «Итого» с точной суммой масс и числом
строк без массы, которых в сумме нет. Пустые строки и строки, начинающиеся
с «#» (и с «"#»), выводятся как есть. Первая строка без цифр в первых
девяти полях — заголовки: после девятого к ней добавляется «Масса, кг». У
строки без массы поле массы пусто, а на стандартный вывод ошибок выводится
номер строки, поле и его текст. Строка не в UTF-8 читается как
Windows-1251.

Пример:
  $ printf 'Д16 (1160);номиналу;2;0,2;-0,2;2000;1000;10;2\n' | sheetmass --batch
  Д16 (1160);номиналу;2;0,2;-0,2;2000;1000;10;2;110,8
  Итого;;;;;;;;;110,8
  $ printf 'Д16 (1160),номиналу,1.5,,,"2,000","1,000",10,2\n' | sheetmass --batch
  Д16 (1160),номиналу,1.5,,,"2,000","1,000",10,2,83.1
  Итого,,,,,,,,,83.1
  $ printf 'Д16 (1160);номиналу;2;0,2;-0,2;1.500;1.000;10;2;срочно\n' |
  > sheetmass --batch
  Д16 (1160);номиналу;2;0,2;-0,2;1.500;1.000;10;2;83,1;срочно
  Итого;;;;;;;;;83,1

Код возврата: 0 — масса есть у каждой строки, 1 — у какой-то строки массы
нет, 2 — неверный параметр, файл не читается или вывод не записывается;
141 — вывод закрыт раньше времени (как у любого фильтра, например при
| head).
)";

constexpr std::string_view kVersion = "sheetmass " SHEETMASS_VERSION "\n";

// Qt's options, which it also takes with two dashes.
constexpr std::array<std::string_view, 20> kQtOptions = {"platform",      "platformpluginpath",
                                                         "platformtheme", "plugin",
                                                         "qmljsdebugger", "qwindowgeometry",
                                                         "geometry",      "qwindowtitle",
                                                         "title",         "qwindowicon",
                                                         "icon",          "reverse",
                                                         "session",       "display",
                                                         "name",          "style",
                                                         "stylesheet",    "widgetcount",
                                                         "testability",   "nograb"};

// The status, whatever became of a message on standard error.
int said(Stream err, const std::string& text, int status) {
    [[maybe_unused]] const platform::Error ignored = platform::writeAll(err, text);
    return status;
}

int wrong(Stream err, std::string_view what, std::string_view argument) {
    return said(err,
                "sheetmass: " + std::string(what) + " «" + std::string(argument) +
                    "»\nСправка: sheetmass --help\n",
                2);
}

// The values --decimal= and --encoding= take.
constexpr std::array<std::pair<std::string_view, char>, 2> kDecimals = {{{",", ','}, {".", '.'}}};
constexpr std::array<std::pair<std::string_view, char>, 3> kGroups = {
    {{".", '.'}, {",", ','}, {" ", ' '}}};
constexpr std::array<std::pair<std::string_view, BatchOptions::Encoding>, 5> kEncodings = {{
    {"utf-8", BatchOptions::Encoding::utf8},
    {"utf8", BatchOptions::Encoding::utf8},
    {"windows-1251", BatchOptions::Encoding::cp1251},
    {"cp1251", BatchOptions::Encoding::cp1251},
    {"1251", BatchOptions::Encoding::cp1251},
}};

// The value of "--name=value" among `values`, or nothing.
template <typename Value, std::size_t N>
std::optional<Value> valueOf(std::string_view arg,
                             const std::array<std::pair<std::string_view, Value>, N>& values) {
    const std::string_view value = arg.substr(arg.find('=') + 1);
    const auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) {
        return std::equal(v.first.begin(), v.first.end(), value.begin(), value.end(),
                          [](char a, char b) { return a == std::tolower(b); });
    });
    return it == values.end() ? std::nullopt : std::optional<Value>(it->second);
}

// An option that states how the file is written, and what it takes.
struct StatedOption {
    std::string_view prefix;
    std::string_view refusal;
    bool (*take)(std::string_view arg, BatchOptions& stated);
};
template <auto BatchOptions::*Field, const auto& Values>
bool take(std::string_view arg, BatchOptions& stated) {
    const auto value = valueOf(arg, Values);
    if (value)
        stated.*Field = *value;
    return value.has_value();
}
constexpr std::array<StatedOption, 3> kStatedOptions = {{
    {"--decimal=", "неверное значение (нужно --decimal=, или --decimal=.)",
     take<&BatchOptions::decimal, kDecimals>},
    {"--group=", "неверное значение (нужно --group=. или --group=\" \")",
     take<&BatchOptions::group, kGroups>},
    {"--encoding=", "неверное значение (нужно --encoding=utf-8 или windows-1251)",
     take<&BatchOptions::encoding, kEncodings>},
}};

const StatedOption* statedOption(std::string_view arg) {
    const auto it = std::find_if(kStatedOptions.begin(), kStatedOptions.end(),
                                 [&](const StatedOption& o) { return arg.starts_with(o.prefix); });
    return it == kStatedOptions.end() ? nullptr : &*it;
}

int batchFrom(std::string_view name, Stream in, Stream out, Stream err,
              const BatchOptions& options) {
    if (name == "-")
        return runBatch(in, "стандартный ввод", out, err, options);
    platform::File file;
    if (const platform::Error error = platform::openToRead(std::string(name), file); !error.ok())
        return said(err,
                    "sheetmass: не открывается «" + std::string(name) +
                        "»: " + failureWords(error) + "\n",
                    2);
    return runBatch(Stream(file), name, out, err, options, &file);
}

// For the window: only Qt's long options pass.
std::optional<int> refuseUnknown(const char* const* begin, const char* const* end, Stream err) {
    for (auto a = begin; a != end; ++a) {
        const std::string_view arg = *a;
        if (!arg.starts_with("--") || arg == "--")
            continue;
        const std::string_view option = arg.substr(2, arg.find('=') - 2);
        if (std::find(kQtOptions.begin(), kQtOptions.end(), option) == kQtOptions.end())
            return wrong(err, "неизвестный параметр", arg);
    }
    return std::nullopt;
}

} // namespace

std::optional<int> runWithoutWindow(int argc, const char* const* argv, Stream in, Stream out,
                                    Stream err) {
    const auto begin = argv + std::min(argc, 1);
    const auto end = argv + argc;
    // Options end at "--"; after it, "--help" is a file's name.
    const auto options = std::find_if(begin, end, [](const char* a) { return a == "--"sv; });
    const auto is = [&](std::string_view option) {
        return std::any_of(begin, options, [&](const char* a) { return option == a; });
    };
    if (is("--help") || is("-h"))
        return platform::writeAll(out, kHelp).ok() ? 0 : 2;
    if (is("--version"))
        return platform::writeAll(out, kVersion).ok() ? 0 : 2;

    if (!is("--batch"))
        return refuseUnknown(begin, end, err);
        // System messages, such as why a file cannot be read, in the user's language.
#ifdef LC_MESSAGES // Windows words its own in the user's language as it is
    std::setlocale(LC_MESSAGES, "");
#endif
    std::setlocale(LC_CTYPE, "");
    std::optional<std::string_view> file;
    BatchOptions stated;
    bool optionsEnded = false;
    for (auto a = begin; a != end; ++a) {
        const std::string_view arg = *a;
        if (!optionsEnded && arg == "--batch")
            continue;
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (const StatedOption* option = statedOption(arg); option && !optionsEnded) {
            if (!option->take(arg, stated))
                return wrong(err, option->refusal, arg);
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg.starts_with('-'))
            return wrong(err, "неизвестный параметр", arg);
        if (file)
            return wrong(err, "лишний параметр", arg);
        file = arg;
    }
    // One mark cannot both end the whole and group its digits.
    if (stated.decimal != 0 && stated.decimal == stated.group)
        return wrong(err, "несовместимые параметры",
                     "--decimal=" + std::string(1, stated.decimal) + " --group=" + stated.group);
    return batchFrom(file.value_or("-"), in, out, err, stated);
}

std::optional<int> refuseLeftOver(int argc, const char* const* argv, std::string& file,
                                  Stream err) {
    if (argc <= 1)
        return std::nullopt;
    const std::string_view arg = argv[1];
    if (arg.starts_with('-'))
        return wrong(err, "неизвестный параметр", arg);
    if (argc > 2)
        return wrong(err, "лишний параметр", argv[2]);
    if (!platform::exists(std::string(arg)))
        return wrong(err, "нет такого файла", arg);
    file = arg;
    return std::nullopt;
}

} // namespace sheetmass
