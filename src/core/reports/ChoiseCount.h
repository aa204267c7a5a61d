#pragma once

#include <algorithm>
#include <array>

// How the ticked students answered one question of the Question Report: one count per option A
// to J (for a true-or-false question, A counts "True" and B "False") and one for every other
// reply (no answer, a missed rush chance, several letters, any other text).
class ChoiseCount
{
public:
    static constexpr int kOther = 10;
    static constexpr int kBars = 11;

    // Bar index 0..9 for A..J, kOther for Other.
    int count(int bar) const { return bar >= 0 && bar < kBars ? m_counts[bar] : 0; }
    void setCount(int bar, int value)
    {
        if (bar >= 0 && bar < kBars)
            m_counts[bar] = value;
    }
    void add(int bar) { setCount(bar, count(bar) + 1); }

    int aCount() const { return m_counts[0]; }
    int bCount() const { return m_counts[1]; }
    int otherCount() const { return m_counts[kOther]; }

    // The largest count, 0 when all are 0.
    int max() const { return std::max(0, *std::max_element(m_counts.begin(), m_counts.end())); }

private:
    std::array<int, kBars> m_counts{};
};
