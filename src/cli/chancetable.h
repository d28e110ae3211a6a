#pragma once

#include "analysis/chance.h"

#include <iosfwd>

namespace omvex::cli {

class JsonWriter;

// The tiers a backtest or a ticket reached beside what random lines would reach, as a table for
// people and as keys for scripts; both commands show the one comparison the same way.
void writeComparisonText(std::ostream &out, const analysis::ChanceComparison &comparison);
void writeComparisonJson(JsonWriter &json, const analysis::ChanceComparison &comparison);

} // namespace omvex::cli
