#include "batch/Batch.h"

#include "batch/BatchLine.h"
#include "batch/DecimalSum.h"
#include "fields/CodePage.h"
#include "fields/Utf8.h"
#include "platform/Streams.h"

#include <cstring>
#include <string>
#include <vector>

namespace sheetmass {
namespace {

using platform::Error;
using platform::Stream;

// The longest line read as one; a longer one is copied through and counts
// as a line without a mass.
constexpr std::size_t kLongestLine = 4096;
constexpr std::size_t kBlock = 64 * 1024;
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kTotal = "Итого";
constexpr const char* kTitlesHint = " (заголовки? строку, которую не считать, начните с «#»)";

// Writes through a buffer of its own, whole or with the error remembered.
class Output {
  public:
    explicit Output(Stream out) : m_stream(out) { m_buffer.reserve(kBlock * 2); }

    void put(std::string_view text) {
        m_buffer.append(text);
        if (m_buffer.size() >= kBlock)
            flush();
    }
    void put(char c) { m_buffer += c; }

    bool flush() {
        if (m_error.ok())
            m_error = platform::writeAll(m_stream, m_buffer);
        m_buffer.clear();
        return m_error.ok();
    }
    const Error& error() const { return m_error; }

  private:
    Stream m_stream;
    std::string m_buffer;
    Error m_error;
};

void say(Stream err, const std::string& text) {
    // When it fails, there is no one left to tell.
    [[maybe_unused]] const Error ignored = platform::writeAll(err, text + "\n");
}

class Batch {
  public:
    Batch(Stream out, Stream err) : m_out(out), m_err(err) {}

    // A whole line, without its "\n"; `ended` when it had one.
    void line(std::string_view raw, bool ended) {
        const std::string_view ending = endingOf(raw, ended);
        const std::string_view text = decoded(raw);
        if (isCopiedAsIs(text)) {
            m_out.put(text);
            m_out.put(ending);
            return;
        }
        if (m_separator == 0)
            m_separator = text.find('\t') != std::string_view::npos  ? '\t'
                          : text.find(';') != std::string_view::npos ? ';'
                                                                     : 0;
        splitFields(text, separator(), m_fields);
        const LineMass mass = lineMass(m_fields);
        m_out.put(text);
        m_out.put(separator());
        m_out.put(mass.mass);
        m_out.put(ending);
        if (!mass.mass.empty())
            m_total.add(mass.mass);
        // A line without a digit is most likely a spreadsheet's column titles.
        else if (text.find_first_of("0123456789") == std::string_view::npos)
            refuse(mass.problem + kTitlesHint);
        else
            refuse(mass.problem);
    }

    // A line longer than kLongestLine: its start, the rest in parts, its end.
    void longLineStart(std::string_view start) {
        std::string_view text = start;
        startLine(text);
        m_longIsUtf8 = isUtf8(text.substr(0, completeLength(text)));
        longLinePart(text);
    }
    void longLinePart(std::string_view part) {
        if (m_pendingReturn && !part.empty())
            m_out.put('\r');
        // A "\r" at a part's end may be the line's "\r\n".
        m_pendingReturn = part.ends_with('\r') || (m_pendingReturn && part.empty());
        if (part.ends_with('\r'))
            part.remove_suffix(1);
        m_out.put(m_longIsUtf8 ? part : std::string_view(m_decoded = fromCp1251(part)));
    }
    void longLineEnd(bool ended) {
        if (m_pendingReturn && !ended)
            m_out.put('\r');
        m_out.put(separator());
        m_out.put(ended ? endedWith(m_pendingReturn) : lineEnd());
        m_pendingReturn = false;
        refuse("длиннее " + std::to_string(kLongestLine) + " байт");
    }

    // The total line, and the status.
    int finish() {
        m_out.put(kTotal);
        m_out.put(std::string(kBatchFields, separator()));
        m_out.put(m_total.text());
        m_out.put(lineEnd());
        return m_anyRefused ? 1 : 0;
    }

    Output& out() { return m_out; }

  private:
    void startLine(std::string_view& text) {
        ++m_lineNumber;
        if (m_lineNumber == 1 && text.starts_with(kBom)) {
            m_out.put(kBom);
            text.remove_prefix(kBom.size());
        }
    }

    std::string_view endingOf(std::string_view& raw, bool ended) {
        startLine(raw);
        if (!ended)
            return lineEnd(); // the total follows on a line of its own
        const bool crlf = raw.ends_with('\r');
        if (crlf)
            raw.remove_suffix(1);
        return endedWith(crlf);
    }

    // The first line's ending is the one a line without its own gets.
    std::string_view endedWith(bool crlf) {
        if (m_lineNumber == 1)
            m_crlf = crlf;
        return crlf ? "\r\n" : "\n";
    }

    std::string_view lineEnd() const { return m_crlf ? "\r\n" : "\n"; }

    // Semicolons until a line holding a separator says otherwise.
    char separator() const { return m_separator == 0 ? ';' : m_separator; }

    std::string_view decoded(std::string_view raw) {
        if (isUtf8(raw))
            return raw;
        m_decoded = fromCp1251(raw);
        return m_decoded;
    }

    // Empty lines, comments, and the rows of separators and blanks a
    // spreadsheet leaves.
    static bool isCopiedAsIs(std::string_view text) {
        return text.starts_with('#') || text.find_first_not_of(" \t;") == std::string_view::npos;
    }

    void refuse(std::string_view why) {
        m_anyRefused = true;
        m_out.flush(); // the message after the lines before it
        say(m_err, "строка " + std::to_string(m_lineNumber) + ": " + std::string(why));
    }

    Output m_out;
    Stream m_err;
    char m_separator = 0;
    bool m_crlf = false;
    bool m_anyRefused = false;
    bool m_longIsUtf8 = true;
    bool m_pendingReturn = false;
    long long m_lineNumber = 0;
    std::string m_decoded;
    std::vector<std::string> m_fields;
    DecimalSum m_total;
};

} // namespace

int runBatch(Stream in, std::string_view name, Stream out, Stream err) {
    Batch batch(out, err);
    std::vector<char> buffer(kBlock);
    std::size_t begin = 0;
    std::size_t end = 0;
    bool atEnd = false;
    Error readError;
    // Lines already read are written before waiting for more, so that a
    // terminal or a pipe gets each answer as soon as its line is complete.
    const auto readMore = [&]() -> bool {
        if (!batch.out().flush())
            return false;
        std::size_t got = 0;
        readError = platform::readSome(in, buffer.data() + end, buffer.size() - end, got);
        if (!readError.ok())
            return false;
        atEnd = got == 0;
        end += got;
        return true;
    };
    const auto view = [&] { return std::string_view(buffer.data() + begin, end - begin); };

    bool stopped = false;
    while (!stopped) {
        const std::size_t newline = view().find('\n');
        if (newline != std::string_view::npos && newline <= kLongestLine) {
            batch.line(view().substr(0, newline), true);
            begin += newline + 1;
        } else if (end - begin > kLongestLine) {
            // Copied through in blocks: memory stays the same whatever its length.
            const std::size_t held = std::min(newline, end - begin);
            batch.longLineStart(view().substr(0, held));
            begin += held;
            while (begin == end && !atEnd && !stopped) {
                begin = end = 0;
                stopped = !readMore();
                const std::size_t part = std::min(view().find('\n'), end - begin);
                batch.longLinePart(view().substr(0, part));
                begin += part;
            }
            const bool ended = begin < end;
            batch.longLineEnd(ended);
            begin += ended ? 1 : 0;
        } else if (atEnd) {
            if (begin < end)
                batch.line(view(), false);
            break;
        } else {
            std::memmove(buffer.data(), buffer.data() + begin, end - begin);
            end -= begin;
            begin = 0;
            stopped = !readMore();
        }
    }
    if (!readError.ok()) {
        batch.out().flush();
        say(err, "sheetmass: не читается «" + std::string(name) + "»: " + readError.text());
        return 2;
    }
    const int status = batch.finish();
    if (!batch.out().flush()) {
        say(err, "sheetmass: результат не записан: " + batch.out().error().text());
        return 2;
    }
    return status;
}

} // namespace sheetmass
