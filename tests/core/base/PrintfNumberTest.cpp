#include "core/base/PrintfNumber.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {
std::string printfText(double value, int decimals)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}
} // namespace

// Ties that are exact in binary go to the even digit; a value that only reads as a tie rounds by
// where it lies. Qt's fixed formatting gives "84.3", "0.13", "100.3", "1.2" and "-0.3" for the
// first ones.
TEST(PrintfNumberTest, ExactTiesGoToTheEvenDigitAndOtherValuesByTheirBinaryValue)
{
    const struct
    {
        double value;
        int decimals;
        const char *text;
    } cases[] = {
        {84.25, 1, "84.2"},   {84.75, 1, "84.8"},   {0.125, 2, "0.12"},      {0.375, 2, "0.38"},
        {100.25, 1, "100.2"}, {-0.25, 1, "-0.2"},   {2.5, 0, "2"},           {3.5, 0, "4"},
        {1.15, 1, "1.1"},     {1.05, 1, "1.1"},     {59.95, 1, "60.0"},      {59.94, 1, "59.9"},
        {0.45, 1, "0.5"},     {33.335, 2, "33.34"}, {-0.04, 1, "-0.0"},      {0.0, 2, "0.00"},
        {1e20, 1, "100000000000000000000.0"},      {double(84.25f), 1, "84.2"}, {double(0.1f), 1, "0.1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PrintfNumber::fixed(c.value, c.decimals).toStdString(), c.text) << c.value << " %." << c.decimals << "f";
}

TEST(PrintfNumberTest, AnyValueReadsAsCsPrintfWritesIt)
{
    std::setlocale(LC_NUMERIC, "C");
    QRandomGenerator rng(39);
    for (int i = 0; i < 20000; ++i) {
        // Values as reports meet them (percents, averages, quarters and eighths that tie) and any
        // bit pattern of a float or a double.
        double value = 0;
        switch (i % 4) {
        case 0:
            value = double(rng.bounded(100000)) / 8.0 - 2000.0;
            break;
        case 1:
            value = rng.generateDouble() * 200.0 - 50.0;
            break;
        case 2: {
            const quint32 bits = rng.generate();
            float f = 0;
            std::memcpy(&f, &bits, sizeof f);
            value = double(f);
            break;
        }
        default: {
            const quint64 bits = rng.generate64();
            std::memcpy(&value, &bits, sizeof value);
            break;
        }
        }
        for (const int decimals : {0, 1, 2, 3})
            ASSERT_EQ(PrintfNumber::fixed(value, decimals).toStdString(), printfText(value, decimals))
                << "bits of " << value;
    }
    EXPECT_EQ(PrintfNumber::fixed(std::numeric_limits<double>::max(), 2).toStdString(),
              printfText(std::numeric_limits<double>::max(), 2));
}
