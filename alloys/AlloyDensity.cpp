#include "alloys/AlloyDensity.h"

#include "alloys/AlloyTable.h"
#include "calc/NumberText.h"

namespace Модуль1 {

double AlloyDensity(std::string_view text) {
    std::string_view densityText = text;
    for (const auto& alloy : sheetmass::kAlloys) {
        if (alloy.grade == text) {
            densityText = alloy.density;
            break;
        }
    }
    return sheetmass::parseNumber(densityText).value_or(0.0);
}

} // namespace Модуль1
