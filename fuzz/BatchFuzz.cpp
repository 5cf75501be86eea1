// libFuzzer target for the batch: any bytes give the status 0 or 1, never
// touch memory outside them, and the output ends with the total's line.
#include "batch/Batch.h"

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
    const int status = sheetmass::runBatch(Stream(in), "fuzz", Stream(out), Stream(err));
    check(status == 0 || status == 1);

    std::string text(static_cast<std::size_t>(lseek(out, 0, SEEK_END)), '\0');
    check(pread(out, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));
    const std::size_t last = text.rfind('\n', text.size() - 2);
    const std::string_view total =
        std::string_view(text).substr(last == std::string::npos ? 0 : last + 1);
    check(total.starts_with("Итого") && total.ends_with("\n"));
    close(in);
    close(out);
    close(err);
    return 0;
}
