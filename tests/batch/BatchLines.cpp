// Writes the batch test's worked and random lines, for a run of the real
// program on another system to be compared with this one's byte for byte.
#include "tests/support/BatchSheets.h"

#include <iostream>

int main() {
    std::cout << sheetmass::worked::batchSheets().input;
    return std::cout.good() ? 0 : 1;
}
