#include "batch/Batch.h"

#include "batch/BatchLine.h"
#include "batch/DecimalSum.h"
#include "fields/CodePage.h"
#include "fields/Utf8.h"
#include "platform/Files.h"
#include "platform/Streams.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace sheetmass {
namespace {

using platform::Error;
using platform::Stream;
using Encoding = BatchOptions::Encoding;

// The longest line read as one, its ending not counted; a longer one is
// copied through and counts as a line without a mass.
constexpr std::size_t kLongestLine = 4096;
constexpr std::size_t kBlock = 64 * 1024;
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kTotal = "Итого";
constexpr std::string_view kMassTitle = "Масса, кг";
constexpr const char* kTitlesHint = " (заголовки? строку, которую не считать, начните с «#»)";
constexpr const char* kSeparatorHint =
    " (поля разделяет то, что встретилось первым: табуляция, «;» или «,»)";

// Where the first "\r" or "\n" stands: two runs of memchr beat one
// comparison a byte, and a lone "\r" is rare.
std::size_t lineEndIn(std::string_view text) {
    const std::size_t newline = text.find('\n');
    const std::size_t before = std::min(newline, text.size());
    const std::size_t ret = text.substr(0, before).find('\r');
    return ret != std::string_view::npos ? ret : newline;
}

// A line ending as a text of the program's own, which outlives the buffer
// the ending was read into.
std::string_view lasting(std::string_view ending) {
    return ending == "\r\n" ? "\r\n" : ending == "\r" ? "\r" : "\n";
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Writes through a buffer of its own, whole or with the error remembered.
// Its bytes spell letters in the output's encoding, which a console is told.
class Output {
  public:
    Output(Stream out, const Encoding& encoding) : m_stream(out), m_encoding(encoding) {
        m_buffer.reserve(kBlock * 2);
    }

    void put(std::string_view text) {
        m_buffer.append(text);
        if (m_buffer.size() >= kBlock)
            flush();
    }
    void put(char c) { m_buffer += c; }

    // A character the buffer ends in the middle of waits for its other
    // bytes, so that a console shows it whole; `all`, at the end, sends it
    // as it is.
    bool flush(bool all = false) {
        const bool utf8 = m_encoding != Encoding::cp1251;
        const std::size_t whole = utf8 && !all ? completeLength(m_buffer) : m_buffer.size();
        if (m_error.ok())
            m_error = platform::writeAll(m_stream, std::string_view(m_buffer).substr(0, whole),
                                         utf8 ? platform::TextEncoding::Utf8
                                              : platform::TextEncoding::Cp1251);
        m_buffer.erase(0, whole);
        return m_error.ok();
    }
    const Error& error() const { return m_error; }

  private:
    Stream m_stream;
    const Encoding& m_encoding;
    std::string m_buffer;
    Error m_error;
};

void say(Stream err, const std::string& text) {
    // When it fails, there is no one left to tell.
    [[maybe_unused]] const Error ignored = platform::writeAll(err, text + "\n");
}

// Splits what `fetch` reads into lines, each handed over without its
// ending ("\n", "\r\n" or a lone "\r"); a line longer than kLongestLine in
// parts, so that memory stays the same whatever its length.
template <typename Fetch, typename Lines> class LineSplitter {
  public:
    LineSplitter(Fetch& fetch, Lines& lines) : m_fetch(fetch), m_lines(lines) {}

    Error run() {
        for (;;) {
            const std::string_view text = view();
            const std::size_t stop = lineEndIn(text.substr(0, kLongestLine + 1));
            const std::string_view ending =
                stop == std::string_view::npos ? std::string_view() : endingAt(text, stop);
            if (!ending.empty()) {
                m_lines.line(text.substr(0, stop), ending);
                m_begin += stop + ending.size();
            } else if (stop == std::string_view::npos && text.size() > kLongestLine) {
                if (!longLine())
                    break;
            } else if (m_atEnd) {
                if (!text.empty())
                    m_lines.line(text, {});
                break;
            } else {
                compact();
                if (!readMore())
                    break;
            }
        }
        return m_error;
    }

  private:
    // Lines already read are written before waiting for more, so that a
    // terminal or a pipe gets each answer as soon as its line is complete.
    bool readMore() {
        if (!m_lines.beforeWaiting())
            return false;
        std::size_t got = 0;
        m_error = m_fetch(m_buffer.data() + m_end, m_buffer.size() - m_end, got);
        if (!m_error.ok())
            return false;
        m_atEnd = got == 0;
        m_end += got;
        return true;
    }
    void compact() {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    std::string_view view() const {
        return std::string_view(m_buffer.data() + m_begin, m_end - m_begin);
    }
    // The ending at `stop`, where a "\r" or "\n" stands; empty when a "\r"
    // ends what is there and the next byte is still to come.
    std::string_view endingAt(std::string_view text, std::size_t stop) const {
        if (text[stop] == '\n')
            return text.substr(stop, 1);
        if (stop + 1 < text.size())
            return text.substr(stop, text[stop + 1] == '\n' ? 2 : 1);
        return m_atEnd ? text.substr(stop, 1) : std::string_view();
    }

    // A line too long to hold, handed over in parts; false when reading
    // stopped on the way.
    bool longLine() {
        m_lines.longLineStart();
        std::string_view longEnding;
        for (bool returned = false;;) {
            const std::string_view rest = view();
            if (returned) { // a "\r" ended the last part
                longEnding = rest.starts_with('\n') ? "\r\n" : "\r";
                m_begin += longEnding.size() - 1;
                break;
            }
            const std::size_t at = lineEndIn(rest);
            const std::string_view found =
                at == std::string_view::npos ? std::string_view() : endingAt(rest, at);
            m_lines.longLinePart(rest.substr(0, std::min(at, rest.size())));
            if (!found.empty()) {
                longEnding = found;
                m_begin += at + found.size();
                break;
            }
            returned = at != std::string_view::npos;
            m_begin = m_end = 0;
            if (m_atEnd && !returned)
                break;
            if (!readMore())
                return false;
        }
        m_lines.longLineEnd(longEnding);
        return true;
    }

    Fetch& m_fetch;
    Lines& m_lines;
    std::vector<char> m_buffer = std::vector<char>(kBlock);
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;
    Error m_error;
};

template <typename Fetch, typename Lines> Error readLines(Fetch fetch, Lines& lines) {
    return LineSplitter<Fetch, Lines>(fetch, lines).run();
}

// The first reading of a file: how it writes its numbers, which separator
// and which encoding it uses. Long lines are not read, so they show nothing.
class Survey {
  public:
    // With the way stated, only the separator and the encoding are sought.
    explicit Survey(bool stated) : m_stated(stated) {}

    bool beforeWaiting() { return true; }
    void line(std::string_view raw, std::string_view) {
        if (m_lines++ == 0 && raw.starts_with(kBom))
            raw.remove_prefix(kBom.size());
        // The first line that is not ASCII tells the encoding, as on
        // standard input; each line is still read by its own bytes.
        bool utf8 = true;
        if (!m_encodingKnown && !isAscii(raw)) {
            m_encodingKnown = true;
            utf8 = isUtf8(raw);
            m_cp1251 = !utf8;
        }
        const std::string_view text = utf8 ? raw : std::string_view(m_decoded = fromCp1251(raw));
        if (m_separator == 0)
            m_separator = separatorOf(text);
        if (m_separator == 0 || m_stated || !couldShowMore(text))
            return;
        splitFields(text, m_separator, m_fields);
        evidence.note(m_fields.views);
    }
    void longLineStart() { ++m_lines; }

    // Whether a line could show what the evidence still lacks. Once a file
    // has shown decimal commas, only a dot or a field with two marks can
    // change how it is read, and once it has shown decimal dots too, only
    // the field with two marks; most lines of a long file are passed over
    // at a glance.
    bool couldShowMore(std::string_view text) const {
        if (!evidence.commaDecimal || evidence.commaGroups || evidence.dotGroups ||
            text.find('"') != std::string_view::npos)
            return true;
        if (!evidence.dotDecimal && !evidence.dotThousands &&
            text.find('.') != std::string_view::npos)
            return true;
        if (!evidence.dotDecimal && evidence.dotThousands && !dotsBetweenGroups(text))
            return true;
        return twoMarksInAField(text);
    }
    // Another mark after a mark, before the next separator; a
    // comma-separated file quotes its commas.
    bool twoMarksInAField(std::string_view text) const {
        const auto isMark = [&](char c) { return (c == ',' || c == '.') && c != m_separator; };
        for (const char mark : {',', '.'}) {
            if (mark == m_separator)
                continue;
            for (std::size_t at = text.find(mark); at != std::string_view::npos;
                 at = text.find(mark, at + 1))
                for (std::size_t i = at + 1; i < text.size() && text[i] != m_separator; ++i)
                    if (isMark(text[i]))
                        return true;
        }
        return false;
    }
    // Every dot between one to three digits, not starting with 0, and three,
    // each run a whole field's or up to another mark: "1.500", "12.000".
    bool dotsBetweenGroups(std::string_view text) const {
        const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
        const auto edge = [&](std::size_t i) {
            return i == text.size() || text[i] == m_separator || text[i] == ',' || text[i] == '.';
        };
        for (std::size_t at = text.find('.'); at != std::string_view::npos;
             at = text.find('.', at + 1)) {
            std::size_t first = at;
            while (first > 0 && at - first < 4 && digit(first - 1))
                --first;
            const bool before = at - first >= 1 && at - first <= 3 && text[first] != '0' &&
                                (first == 0 || edge(first - 1));
            const bool after = at + 4 <= text.size() && digit(at + 1) && digit(at + 2) &&
                               digit(at + 3) && edge(at + 4);
            if (!before || !after)
                return false;
        }
        return true;
    }
    void longLinePart(std::string_view) {}
    void longLineEnd(std::string_view) {}

    // Tab, semicolon, then comma: the first a line holds outside quoted
    // fields decides, and a spreadsheet's comma-separated file has neither
    // of the other two there.
    static char separatorOf(std::string_view text) {
        if (isCopiedAsIs(text))
            return 0;
        bool tab = false, semicolon = false, comma = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            // A quote opens a field where a field begins, as it does for
            // splitFields; "" inside stands for one.
            if (c == '"' && (i == 0 || isSeparator(text[i - 1]))) {
                for (++i; i < text.size() && (text[i] != '"' || text.substr(i, 2) == "\"\"");)
                    i += text[i] == '"' ? 2 : 1;
                continue;
            }
            tab |= c == '\t';
            semicolon |= c == ';';
            comma |= c == ',';
        }
        return tab ? '\t' : semicolon ? ';' : comma ? ',' : 0;
    }
    static bool isSeparator(char c) { return c == '\t' || c == ';' || c == ','; }
    // Empty lines, comments (quoted too, as a spreadsheet writes a text
    // cell that holds the separator), and the rows of separators and
    // blanks a spreadsheet leaves.
    static bool isCopiedAsIs(std::string_view text) {
        return text.starts_with('#') || text.starts_with("\"#") ||
               text.find_first_not_of(" \t;,") == std::string_view::npos;
    }

    NumberEvidence evidence;
    bool m_encodingKnown = false;
    bool m_cp1251 = false;
    char m_separator = 0;

  private:
    bool m_stated;
    long long m_lines = 0;
    std::string m_decoded;
    Fields m_fields;
};

class Batch {
  public:
    Batch(Stream out, Stream err, const BatchOptions& options)
        : m_out(out, m_options.encoding), m_err(err), m_options(options) {}

    // What a first reading of the whole file found.
    void surveyed(const Survey& survey) {
        m_surveyed = true;
        m_evidence = survey.evidence;
        m_separator = survey.m_separator;
        if (m_options.encoding == Encoding::asInput && survey.m_encodingKnown)
            m_options.encoding = survey.m_cp1251 ? Encoding::cp1251 : Encoding::utf8;
        m_reading = m_evidence.reading(m_options.decimal, m_options.group, separator());
    }

    bool beforeWaiting() { return m_out.flush(); }

    void line(std::string_view raw, std::string_view ending) {
        ending = startLine(raw, ending);
        const bool utf8 = isUtf8Line(raw);
        const std::string_view text = utf8 ? raw : std::string_view(m_decoded = fromCp1251(raw));
        if (Survey::isCopiedAsIs(text)) {
            putText(raw, utf8);
            m_out.put(ending);
            return;
        }
        if (m_separator == 0)
            m_separator = Survey::separatorOf(text);
        splitFields(text, separator(), m_fields);
        if (!m_surveyed) {
            m_evidence.note(m_fields.views);
            m_reading = m_evidence.reading(m_options.decimal, m_options.group, separator());
        }
        const bool first = !m_anyRead;
        m_anyRead = true;
        m_massAt = massAt(raw, utf8);
        if (text.find(kBom) != std::string_view::npos) {
            putLine(raw, utf8, {}, ending);
            refuse("метка порядка байтов (U+FEFF) не в начале файла: файлы склеены?");
            return;
        }
        // A spreadsheet's row of column titles gets one for the mass,
        // whatever titles its notes have.
        if (first && m_fields.views.size() >= kBatchFields &&
            !hasDigit(text.substr(0, m_fields.ninthEnd))) {
            putLine(raw, utf8, kMassTitle, ending);
            return;
        }
        const LineMass mass = lineMass(m_fields.views, m_reading);
        putLine(raw, utf8, shown(mass.mass), ending);
        if (!mass.warning.empty()) {
            m_out.flush();
            say(m_err, "строка " + std::to_string(m_lineNumber) + ": внимание: " + mass.warning);
        }
        if (!mass.mass.empty()) {
            m_total.add(mass.mass);
            ++m_withMass;
        }
        // A line without a digit is most likely a spreadsheet's column titles;
        // one field alone, a separator the file does not use.
        else if (!hasDigit(text))
            refuse(mass.problem + kTitlesHint);
        else if (m_fields.views.size() == 1)
            refuse(mass.problem + kSeparatorHint);
        else
            refuse(mass.problem);
    }

    void longLineStart() {
        std::string_view none;
        startLine(none, {});
        m_carry.clear();
    }
    // Each part as its own bytes tell, so that no invalid UTF-8 passes; a
    // character cut between parts waits for its rest.
    void longLinePart(std::string_view part) {
        if (m_lineNumber == 1 && m_carry.empty() && !m_longStarted && part.starts_with(kBom)) {
            putOwn(kBom);
            part.remove_prefix(kBom.size());
        }
        m_longStarted = true;
        m_carry.append(part);
        const std::size_t whole = completeLength(m_carry);
        const std::string_view done = std::string_view(m_carry).substr(0, whole);
        putText(done, isUtf8(done));
        m_carry.erase(0, whole);
    }
    void longLineEnd(std::string_view ending) {
        putText(m_carry, isUtf8(m_carry));
        m_carry.clear();
        m_longStarted = false;
        if (m_lineNumber == 1 && !ending.empty())
            m_ending = lasting(ending);
        m_out.put(separator());
        m_out.put(ending.empty() ? m_ending : ending);
        refuse("длиннее " + std::to_string(kLongestLine) + " байт");
    }

    // The total line, and the status.
    int finish() {
        if (!m_surveyed)
            m_reading = m_evidence.reading(m_options.decimal, m_options.group, separator());
        // The lines left out said in the total's own row, for whoever
        // reads only the spreadsheet.
        putOwn(kTotal);
        m_out.put(separator());
        if (m_refused > 0)
            putField("не в сумме: " + countOf(m_refused, "строка", "строки", "строк") +
                     " без массы");
        m_out.put(std::string(kBatchFields - 1, separator()));
        putField(shown(m_total.text()));
        m_out.put(m_ending);
        return m_refused > 0 ? 1 : 0;
    }

    Output& out() { return m_out; }

    BatchSummary summary() const {
        return {m_withMass + static_cast<long long>(m_refused), static_cast<long long>(m_refused),
                shown(m_total.text())};
    }

  private:
    // Counts the line and takes a byte-order mark off the first; the ending
    // a line without its own gets is the first line's.
    std::string_view startLine(std::string_view& raw, std::string_view ending) {
        ++m_lineNumber;
        if (m_lineNumber == 1) {
            if (raw.starts_with(kBom)) {
                putOwn(kBom);
                raw.remove_prefix(kBom.size());
            }
            if (!ending.empty())
                m_ending = lasting(ending);
        }
        return ending.empty() ? m_ending : ending;
    }

    // Each line tells its own encoding; the first that is not ASCII sets
    // the output's.
    bool isUtf8Line(std::string_view raw) {
        const bool utf8 = isUtf8(raw);
        if (m_options.encoding == Encoding::asInput && !isAscii(raw))
            m_options.encoding = utf8 ? Encoding::utf8 : Encoding::cp1251;
        return utf8;
    }

    bool toCp1251Out() const { return m_options.encoding == Encoding::cp1251; }

    // Bytes of the input, in the output's encoding.
    void putText(std::string_view raw, bool utf8) {
        if (utf8 == !toCp1251Out() || isAscii(raw))
            m_out.put(raw);
        else
            m_out.put(utf8 ? toCp1251(raw) : fromCp1251(raw));
    }
    // The program's own UTF-8 text.
    void putOwn(std::string_view text) {
        if (!toCp1251Out())
            m_out.put(text);
        else if (text != kBom)
            m_out.put(toCp1251(text));
    }
    // A field the program adds, quoted when it holds the separator.
    void putField(std::string_view text) {
        if (text.find(separator()) == std::string_view::npos) {
            putOwn(text);
            return;
        }
        m_out.put('"');
        putOwn(text);
        m_out.put('"');
    }
    // Where the mass goes in the raw line: after the ninth field. Quotes and
    // separators are ASCII, so a Windows-1251 line splits as its UTF-8 does.
    std::size_t massAt(std::string_view raw, bool utf8) {
        if (m_fields.views.size() <= kBatchFields)
            return raw.size();
        if (utf8)
            return m_fields.ninthEnd;
        splitFields(raw, separator(), m_rawFields);
        return m_rawFields.ninthEnd;
    }
    void putLine(std::string_view raw, bool utf8, std::string_view added, std::string_view ending) {
        const std::size_t at = std::min(m_massAt, raw.size());
        putText(raw.substr(0, at), utf8);
        m_out.put(separator());
        putField(added);
        if (at < raw.size())
            putText(raw.substr(at), utf8);
        m_out.put(ending);
    }

    // A mass with the file's decimal mark.
    std::string shown(std::string mass) const {
        if (m_reading.way == NumberWay::english)
            std::replace(mass.begin(), mass.end(), ',', '.');
        return mass;
    }

    static bool hasDigit(std::string_view text) {
        return text.find_first_of("0123456789") != std::string_view::npos;
    }

    // Semicolons until a line holding a separator says otherwise.
    char separator() const { return m_separator == 0 ? ';' : m_separator; }

    void refuse(std::string_view why) {
        ++m_refused;
        m_out.flush(); // the message after the lines before it
        say(m_err, "строка " + std::to_string(m_lineNumber) + ": " + std::string(why));
    }

    Output m_out;
    Stream m_err;
    BatchOptions m_options;
    bool m_surveyed = false;
    NumberEvidence m_evidence;
    Reading m_reading;
    char m_separator = 0;
    std::string_view m_ending = "\n";
    bool m_anyRead = false;
    std::size_t m_refused = 0; // lines without a mass
    long long m_withMass = 0;
    bool m_longStarted = false;
    long long m_lineNumber = 0;
    std::string m_decoded;
    std::string m_carry;
    Fields m_fields;
    Fields m_rawFields;
    std::size_t m_massAt = 0;
    DecimalSum m_total;
};

} // namespace

std::string failureWords(const Error& error) {
    switch (error.failure()) {
    case platform::Failure::None:
        return {};
    case platform::Failure::Missing:
        return "нет такого файла";
    case platform::Failure::Refused:
        return "не обычный файл";
    case platform::Failure::Denied:
        return "нет доступа";
    case platform::Failure::Busy:
        return "занят другой программой";
    case platform::Failure::Full:
        return "на диске нет места";
    case platform::Failure::Other:
        break;
    }
    return "ошибка системы (" + error.text() + ")";
}

int runBatch(Stream in, std::string_view name, Stream out, Stream err, const BatchOptions& options,
             const platform::File* file, BatchSummary* summary) {
    Batch batch(out, err, options);
    const auto unreadable = [&](const Error& error) {
        batch.out().flush(true);
        say(err, "sheetmass: не читается «" + std::string(name) + "»: " + failureWords(error));
        return 2;
    };
    if (file != nullptr) {
        // Read from its start without moving it: a pipe given by name
        // cannot, and is read once, as standard input is.
        std::uint64_t at = 0;
        bool readable = true;
        const auto fetch = [&](char* to, std::size_t room, std::size_t& got) {
            Error error = platform::readAt(*file, at, to, room, got);
            if (!error.ok() && at == 0) {
                readable = false;
                got = 0;
                return Error();
            }
            at += got;
            return error;
        };
        Survey survey(options.group != 0 || options.decimal == '.');
        if (const Error error = readLines(fetch, survey); !error.ok())
            return unreadable(error);
        if (readable)
            batch.surveyed(survey);
    }
    const auto fetch = [&](char* to, std::size_t room, std::size_t& got) {
        return platform::readSome(in, to, room, got);
    };
    if (const Error error = readLines(fetch, batch); !error.ok())
        return unreadable(error);
    if (!batch.out().error().ok()) {
        say(err, "sheetmass: результат не записан: " + failureWords(batch.out().error()));
        return 2;
    }
    const int status = batch.finish();
    if (summary != nullptr)
        *summary = batch.summary();
    if (!batch.out().flush(true)) {
        say(err, "sheetmass: результат не записан: " + failureWords(batch.out().error()));
        return 2;
    }
    return status;
}

} // namespace sheetmass
