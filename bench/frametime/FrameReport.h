#pragma once

#include <iosfwd>
#include <string>

#include "HarnessResults.h"

void writeJson(std::ostream& out, const HarnessResults& results, const FlightSummary& summary);
void printTable(std::ostream& out, const HarnessResults& results, const FlightSummary& summary);
// Draws frame time, its update and render parts and the floor per frame
// with gnuplot into a PNG; false (after a line on standard error) when
// gnuplot cannot be run.
bool writePlot(const std::string& pngPath, const HarnessResults& results);
