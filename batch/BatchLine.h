#pragma once

#include "fields/PastedText.h"

#include <string>
#include <string_view>
#include <vector>

namespace sheetmass {

inline constexpr std::size_t kBatchFields = 9;

// A batch line's fields, split at the separator. A field in double quotes,
// as spreadsheets write them, may hold the separator, "" standing for one
// quote; the quotes are not part of the field. The views look into the line,
// or for a quoted field into `unquoted`, and hold until the next split.
// `ninthEnd`: where the ninth field ends in the line, at its separator or
// the line's end; the mass goes there, before any notes.
struct Fields {
    std::vector<std::string_view> views;
    std::string unquoted;
    std::size_t ninthEnd = 0;
};
void splitFields(std::string_view line, char separator, Fields& fields);

// How a file's numbers are read: the way, whether the file (or the command
// line) showed it, and whether the file shows a mark both before the
// decimals and between groups, so that a number with it cannot be read.
// `dotsOpen`: dots before decimals decided the way, and dots before three
// digits ("1.500") were read beside them, which the German way would make a
// thousand times more.
struct Reading {
    NumberWay way = NumberWay::russian;
    bool shown = false;
    bool commaBoth = false;
    bool dotBoth = false;
    bool dotsOpen = false;
};

// What the number fields of a line show of the way the file writes numbers.
struct NumberEvidence {
    bool commaDecimal = false;
    bool commaGroups = false;
    bool dotDecimal = false;
    bool dotGroups = false;
    bool dotThousands = false;

    // The first nine fields; notes after them show nothing.
    void note(const std::vector<std::string_view>& fields);
    // The reading the evidence so far makes, with what the command line
    // states: the decimal mark and the mark between groups (',', '.', ' ';
    // 0 for none). A stated decimal comma leaves the groups to the file:
    // dots where it shows them, blanks otherwise. A comma-separated file is
    // read the English way until it shows otherwise.
    Reading reading(char decimal, char group, char separator) const;
};

// The mass of one batch line, worked by the core from the numbers the main
// window's fields would hold after each field's text was pasted into it,
// each field read once. Either the mass (with a comma), or why the line has
// none, in Russian, for the user: "длина листа «20x0» — не число;
// количество — пусто". `warning`: what was read one way but could mean a
// thousand times more or less. Fields after the ninth are the user's notes.
struct LineMass {
    std::string mass;
    std::string problem;
    std::string warning;
};
LineMass lineMass(const std::vector<std::string_view>& fields, const Reading& reading);

// Russian plural of a count: 1 поле, 2 поля, 5 полей.
std::string countOf(std::size_t n, const char* one, const char* few, const char* many);

} // namespace sheetmass
