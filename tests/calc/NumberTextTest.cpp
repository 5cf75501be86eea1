#include "calc/NumberText.h"

#include <gtest/gtest.h>

TEST(NumberText, ReadsCommaDecimal) { EXPECT_EQ(sheetmass::ParseNumber("2,5"), 2.5); }
