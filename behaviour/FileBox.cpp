#include "batch/BatchLine.h"
#include "batch/FileBatch.h"
#include "behaviour/Form1Behaviour.h"
#include "platform/Paths.h"

namespace sheetmass::behaviour {

Answer::FileBox fileBox(const FileBatchReport& report) {
    const std::string name = "«" + platform::nameOf(report.input) + "»";
    if (!report.failure.empty())
        return {name + " не посчитан: " + report.failure + ".", {}};
    const BatchSummary& s = report.summary;
    std::string text = name + ": " +
                       countOf(static_cast<std::size_t>(s.lines), "строка", "строки", "строк") +
                       ", итого " + s.total + " кг.";
    if (s.withoutMass > 0)
        text += "\nНе в итоге: " +
                countOf(static_cast<std::size_t>(s.withoutMass), "строка", "строки", "строк") +
                " без массы.";
    if (!report.said.empty())
        text += "\n";
    for (const std::string& line : report.said)
        text += "\n" + line;
    if (report.saidMore)
        text += "\n…";
    text += "\n\nРезультат записан рядом: «" + platform::nameOf(report.result) + "».";
    return {text, report.result};
}

} // namespace sheetmass::behaviour
