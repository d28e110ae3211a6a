#pragma once

#include "analysis/chance.h"

#include <optional>
#include <vector>

// Exact tail chances of the counts the analyses compare with chance: binomial counts, the total
// matches of many random lines, and the chi-square goodness of fit.
namespace omvex::analysis {

// log P(X = k) for a binomial count X of trials, from log p and log (1 - p).
double logBinomialPmf(long long trials, long long k, double logP, double logQ);

// The chance that a binomial count falls outside the interval: P(X < low) + P(X > high).
double binomialOutsideChance(long long trials, double p, const CountInterval &interval);

// The central 95 % range of the total main-number matches of `lines` independent random lines,
// as P(T < low) < 2.5 % and P(T > high) <= 2.5 %.
CountInterval matchTotalInterval95(long long lines);

// Q(a, x) = Γ(a, x) / Γ(a): the upper regularized incomplete gamma function, a > 0, x >= 0.
double upperRegularizedGamma(double a, double x);

// The chance that a chi-square variable with `degrees` degrees of freedom exceeds x.
double chiSquareUpperTail(double x, int degrees);

// Pearson's test of observed counts against expected ones. Neighbouring cells are merged, from
// the low end, until each expects at least five; a remainder below five joins the last group.
struct GoodnessOfFit {
    int groups = 0;
    // Nothing when fewer than two groups are left: there is nothing to test.
    std::optional<double> chiSquare;
    std::optional<int> degrees;
    std::optional<double> pValue;
};
GoodnessOfFit goodnessOfFit(const std::vector<long long> &observed, const std::vector<double> &expected);

} // namespace omvex::analysis
