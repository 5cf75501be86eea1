#include "alloys/AlloyDensity.h"

#include "alloys/AlloyTable.h"
#include "calc/NumberText.h"

namespace Модуль1 {

double AlloyDensity(std::string_view text) {
    const sheetmass::Alloy* alloy = sheetmass::gradeNamed(text);
    if (alloy != nullptr && alloy->grade == text)
        return alloy->density;
    return sheetmass::parseNumber(text).value_or(0.0);
}

} // namespace Модуль1
