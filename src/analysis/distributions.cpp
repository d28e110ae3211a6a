#include "analysis/distributions.h"

#include <array>
#include <cmath>
#include <limits>

namespace omvex::analysis {

double logBinomialPmf(long long trials, long long k, double logP, double logQ)
{
    const auto n = static_cast<double>(trials);
    const auto x = static_cast<double>(k);
    return std::lgamma(n + 1) - std::lgamma(x + 1) - std::lgamma(n - x + 1) + x * logP + (n - x) * logQ;
}

namespace {

// Main-number matches of one random line: C(6, m) C(37, 6 - m) / C(43, 6).
std::array<double, kPicks + 1> matchesPmf()
{
    std::array<double, kPicks + 1> pmf{};
    const auto all = static_cast<double>(binomialCoefficient(kHighestNumber, kPicks));
    for (int m = 0; m <= kPicks; ++m)
        pmf[static_cast<std::size_t>(m)] = static_cast<double>(binomialCoefficient(kPicks, m))
            * static_cast<double>(binomialCoefficient(kHighestNumber - kPicks, kPicks - m)) / all;
    return pmf;
}

} // namespace

double binomialOutsideChance(long long trials, double p, const CountInterval &interval)
{
    if (trials <= 0 || p <= 0 || p >= 1)
        return 0;
    const double logP = std::log(p);
    const double logQ = std::log1p(-p);
    double outside = 0;
    for (long long k = 0; k < interval.low && k <= trials; ++k)
        outside += std::exp(logBinomialPmf(trials, k, logP, logQ));
    // Above the range the terms only fall; once they no longer add anything the rest is lost in rounding.
    for (long long k = interval.high + 1; k <= trials; ++k) {
        const double term = std::exp(logBinomialPmf(trials, k, logP, logQ));
        outside += term;
        if (term < outside * 1e-18)
            break;
    }
    return outside;
}

// The total is the sum of `lines` independent hypergeometric counts, so its generating function is
// f(z)^lines with f the one line's. Its coefficients follow from g' f = lines f' g (J. C. P. Miller):
//     g_m = 1 / (m a_0) * sum_{k=1..6} ((lines + 1) k - m) a_k g_{m-k},
// which costs six terms per value and needs no convolution. Below the upper quantile m stays under
// lines + 1 for every size that matters, so all terms are positive and nothing cancels. The values
// start at a_0^lines, far below the smallest double, and are kept on a running scale.
CountInterval matchTotalInterval95(long long lines)
{
    if (lines <= 0)
        return {0, 0};
    const std::array<double, kPicks + 1> a = matchesPmf();
    const long long top = lines * kPicks;
    std::array<double, kPicks + 1> recent{}; // g_{m-6}..g_m on the current scale, newest last
    double logScale = static_cast<double>(lines) * std::log(a[0]); // g = stored x e^logScale
    recent.back() = 1;
    double cumulative = 1; // on the same scale
    const double n1 = static_cast<double>(lines) + 1;
    const auto reached = [&](double level) { return std::log(cumulative) + logScale >= std::log(level); };

    CountInterval interval{top, top};
    bool lowFound = false;
    for (long long m = 0;; ++m) {
        if (!lowFound && reached(0.025)) {
            interval.low = m;
            lowFound = true;
        }
        if (reached(0.975)) {
            interval.high = m;
            break;
        }
        if (m == top)
            break;
        const long long next = m + 1;
        double sum = 0;
        for (int k = 1; k <= kPicks && k <= next; ++k)
            sum += (n1 * k - static_cast<double>(next)) * a[static_cast<std::size_t>(k)]
                * recent[static_cast<std::size_t>(kPicks - k + 1)];
        const double value = std::max(0.0, sum / (static_cast<double>(next) * a[0]));
        for (std::size_t i = 0; i + 1 < recent.size(); ++i)
            recent[i] = recent[i + 1];
        recent.back() = value;
        cumulative += value;
        if (cumulative > 1e200) {
            for (double &held : recent)
                held *= 1e-200;
            cumulative *= 1e-200;
            logScale += 200 * std::log(10.0);
        }
    }
    return interval;
}

// Series for x < a + 1, continued fraction (modified Lentz) above; both converge fast there.
double upperRegularizedGamma(double a, double x)
{
    if (x <= 0)
        return 1;
    const double logFactor = a * std::log(x) - x - std::lgamma(a);
    constexpr double kEpsilon = 1e-15;
    constexpr int kMaxTerms = 1000;
    if (x < a + 1) {
        double term = 1 / a;
        double sum = term;
        for (int n = 1; n < kMaxTerms; ++n) {
            term *= x / (a + n);
            sum += term;
            if (std::fabs(term) < std::fabs(sum) * kEpsilon)
                break;
        }
        return std::max(0.0, 1 - sum * std::exp(logFactor));
    }
    constexpr double kTiny = std::numeric_limits<double>::min() / kEpsilon;
    double b = x + 1 - a;
    double c = 1 / kTiny;
    double d = 1 / b;
    double h = d;
    for (int i = 1; i < kMaxTerms; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        d = std::fabs(d) < kTiny ? kTiny : d;
        c = b + an / c;
        c = std::fabs(c) < kTiny ? kTiny : c;
        d = 1 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1) < kEpsilon)
            break;
    }
    return std::exp(logFactor) * h;
}

double chiSquareUpperTail(double x, int degrees)
{
    return upperRegularizedGamma(degrees / 2.0, x / 2.0);
}

GoodnessOfFit goodnessOfFit(const std::vector<long long> &observed, const std::vector<double> &expected)
{
    constexpr double kLeastExpected = 5;
    std::vector<double> groupObserved;
    std::vector<double> groupExpected;
    double o = 0;
    double e = 0;
    for (std::size_t i = 0; i < expected.size() && i < observed.size(); ++i) {
        o += static_cast<double>(observed[i]);
        e += expected[i];
        if (e >= kLeastExpected) {
            groupObserved.push_back(o);
            groupExpected.push_back(e);
            o = e = 0;
        }
    }
    if (e > 0 || o > 0) {
        if (groupExpected.empty()) {
            groupObserved.push_back(o);
            groupExpected.push_back(e);
        } else {
            groupObserved.back() += o;
            groupExpected.back() += e;
        }
    }
    GoodnessOfFit fit;
    fit.groups = static_cast<int>(groupExpected.size());
    if (fit.groups < 2)
        return fit;
    double x = 0;
    for (std::size_t i = 0; i < groupExpected.size(); ++i) {
        const double difference = groupObserved[i] - groupExpected[i];
        x += difference * difference / groupExpected[i];
    }
    fit.chiSquare = x;
    fit.degrees = fit.groups - 1;
    fit.pValue = chiSquareUpperTail(x, *fit.degrees);
    return fit;
}

} // namespace omvex::analysis
