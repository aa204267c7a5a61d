#pragma once

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

// Tolerant comparison of a drawn image with a golden one: text drawn by another font engine
// or hinting differs in a few edge pixels, a missing or moved element in many.
struct ImageDifference
{
    bool sameSize = false;
    // Share of pixels whose colour differs by more than a hinting step (64 in any channel).
    double farShare = 1.0;
    // Mean of the largest channel difference over all pixels (0..255).
    double meanDiff = 255.0;

    static ImageDifference between(const QImage &a, const QImage &b);
};

// Passes when actual has the golden image's size, fewer than maxFarShare of its pixels differ
// far, and the mean difference stays under maxMeanDiff. goldenPath is a file under tests/data
// (a case's "expected.png"). With POLLIX_WRITE_GOLDEN=1 in the environment the golden image is
// rewritten from actual instead (look at it before committing it); on a failure actual is
// saved beside the build's test output as "<case>-actual.png" to look at.
::testing::AssertionResult looksLikeGolden(const QImage &actual, const QString &goldenPath, double maxFarShare = 0.005,
                                           double maxMeanDiff = 1.5);
