// libFuzzer target for the batch: any bytes give the status 0 or 1, never
// touch memory outside them, and the output ends with the total's line. The
// first byte picks whether the input is read through first, as a named file
// is, and which decimal and group marks the command line states, if any.
#include "batch/Batch.h"
#include "platform/Handle.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int in = memfd_create("in", MFD_CLOEXEC);
    const int out = memfd_create("out", MFD_CLOEXEC);
    const int err = open("/dev/null", O_WRONLY | O_CLOEXEC);
    check(write(in, data, size) == static_cast<ssize_t>(size) && lseek(in, 0, SEEK_SET) == 0);

    using sheetmass::platform::Stream;
    const int choice = size > 0 ? data[0] : 0;
    sheetmass::BatchOptions options;
    options.decimal = "\0,."[choice % 3];
    options.group = "\0. "[choice / 8 % 3];
    sheetmass::platform::File file(in);
    const int status = sheetmass::runBatch(Stream(in), "fuzz", Stream(out), Stream(err), options,
                                           choice & 4 ? &file : nullptr);
    file.release(); // closed below
    check(status == 0 || status == 1);

    std::string text(static_cast<std::size_t>(lseek(out, 0, SEEK_END)), '\0');
    check(pread(out, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));
    // The total's line, in UTF-8 or Windows-1251, after the last line ending
    // but its own.
    std::string_view rest = text;
    check(rest.ends_with('\n') || rest.ends_with('\r'));
    rest.remove_suffix(rest.ends_with("\r\n") ? 2 : 1);
    const std::size_t last = rest.find_last_of("\r\n");
    const std::string_view total = rest.substr(last == std::string_view::npos ? 0 : last + 1);
    check(total.starts_with("Итого") || total.starts_with("\xC8\xF2\xEE\xE3\xEE"));
    close(in);
    close(out);
    close(err);
    return 0;
}
