#include "listfile/ListInputs.h"

#include "calc/NumberText.h"
#include "fields/CodePage.h"

namespace sheetmass {

ListValues listFromInputs(const Inputs& in) {
    return {toCp1251(in.mode),  toCp1251(in.thickness), toCp1251(in.upper),
            toCp1251(in.lower), toCp1251(in.length),    toCp1251(in.width),
            toCp1251(in.count), parseNumber(in.places), toCp1251(in.alloy)};
}

Inputs inputsFromList(const ListValues& v) {
    return {fromCp1251(v.alloy), fromCp1251(v.mode),  fromCp1251(v.thickness),
            fromCp1251(v.upper), fromCp1251(v.lower), fromCp1251(v.length),
            fromCp1251(v.width), fromCp1251(v.count), formatNumber(v.places.value_or(0.0))};
}

} // namespace sheetmass
