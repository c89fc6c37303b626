#include "experiments/Experiments.h"
#include "model/Extended.h"
#include "toolkit/Random.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

TEST(IntegerSource, SameSeedRepeatsTheSequenceWithinRange)
{
    auto draw = [](unsigned seed) {
        runtime::IntegerSource source;
        source.srand(seed);
        std::vector<std::int32_t> values;
        for (int i = 0; i < 1000; ++i)
            values.push_back(source._lrand());
        return values;
    };
    const auto first = draw(7);
    EXPECT_EQ(first, draw(7));
    EXPECT_NE(first, draw(8));
    for (std::int32_t value : first)
        ASSERT_GE(value, 0);
}

TEST(IntegerSource, RandomBelowStaysBelowAndZeroGivesZero)
{
    runtime::IntegerSource source;
    EXPECT_EQ(source.RandomBelow(0), 0);
    for (int i = 0; i < 10000; ++i) {
        const std::int32_t r = source.RandomBelow(1001);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 1000);
    }
}

TEST(GaussianSource, SameSeedRepeatsTheSequence)
{
    auto draw = [](std::uint64_t seed) {
        toolkit::NormalSource source;
        source.Seed(seed);
        std::vector<double> values;
        for (int i = 0; i < 101; ++i)
            values.push_back(GaussianLoad(source));
        return values;
    };
    EXPECT_EQ(draw(3), draw(3));
    EXPECT_NE(draw(3), draw(4));
}

TEST(GaussianSource, LoadsHaveMeanFifteenAndDeviationThree)
{
    // With n draws the sample mean has a standard error of 3/sqrt(n) and the
    // sample deviation one of about 3/sqrt(2n): 0.0095 and 0.0067 for
    // n = 100000. Five standard errors leave room for any seed.
    constexpr int n = 100000;
    toolkit::NormalSource source;
    source.Seed(2024);
    double sum = 0;
    double sumOfSquares = 0;
    for (int i = 0; i < n; ++i) {
        const double load = GaussianLoad(source);
        sum += load;
        sumOfSquares += load * load;
    }
    const double mean = sum / n;
    const double deviation = std::sqrt(sumOfSquares / n - mean * mean);
    EXPECT_NEAR(mean, 15.0, 5 * 3.0 / std::sqrt(n));
    EXPECT_NEAR(deviation, 3.0, 5 * 3.0 / std::sqrt(2.0 * n));
}

// The double nearest the decimal 12 + 0.006 k, read from its decimal text.
double NearestToDecimal(int k)
{
    const int thousandths = 12000 + 6 * k;
    const std::string text = std::to_string(thousandths / 1000) + "." + std::to_string(1000 + thousandths % 1000).substr(1);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

TEST(UniformSource, DrawsEveryOneOfTheThousandAndOneLoads)
{
    std::set<double> grid;
    int aboveNearest = 0;
    int firstAbove = -1;
    int unlikePlainDouble = 0;
    for (int k = 0; k <= 1000; ++k) {
        const double load = static_cast<double>(Extended(k) * 0.001 * 6.0 + 12.0);
        grid.insert(load);
        if (load != NearestToDecimal(k)) {
            EXPECT_EQ(Bits(load), Bits(NearestToDecimal(k)) + 1) << "k = " << k;
            if (aboveNearest++ == 0)
                firstAbove = k;
        }
        if (load != k * 0.001 * 6.0 + 12.0)
            ++unlikePlainDouble;
    }
    EXPECT_EQ(grid.size(), 1001u);
    EXPECT_EQ(*grid.begin(), 12.0);
    EXPECT_EQ(*grid.rbegin(), 18.0);
    EXPECT_EQ(aboveNearest, 24);
    EXPECT_EQ(firstAbove, 168);
    EXPECT_EQ(Bits(NearestToDecimal(168)) + 1, Bits(13.008000000000001));
    EXPECT_EQ(unlikePlainDouble, 138);

    // 300000 draws miss a given value with probability (1000/1001)^300000,
    // about 1e-130: every value turns up, and nothing else does.
    runtime::IntegerSource source;
    source.srand(99);
    std::set<double> drawn;
    for (int i = 0; i < 300000; ++i) {
        const double load = UniformLoad(source);
        ASSERT_TRUE(grid.count(load)) << load;
        drawn.insert(load);
    }
    EXPECT_EQ(drawn, grid);
}

} // namespace
