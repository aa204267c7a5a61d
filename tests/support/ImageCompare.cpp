#include "ImageCompare.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

ImageDifference ImageDifference::between(const QImage &a, const QImage &b)
{
    ImageDifference d;
    d.sameSize = a.size() == b.size() && !a.isNull();
    if (!d.sameSize)
        return d;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    qint64 far = 0, total = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int diff = std::max({std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                                       std::abs(qBlue(p[col]) - qBlue(q[col]))});
            total += diff;
            if (diff > 64)
                ++far;
        }
    }
    const double n = double(x.width()) * x.height();
    d.farShare = far / n;
    d.meanDiff = total / n;
    return d;
}

::testing::AssertionResult looksLikeGolden(const QImage &actual, const QString &goldenPath, double maxFarShare,
                                           double maxMeanDiff)
{
    if (qEnvironmentVariableIntValue("POLLIX_WRITE_GOLDEN") == 1) {
        QDir().mkpath(QFileInfo(goldenPath).absolutePath());
        if (!actual.save(goldenPath))
            return ::testing::AssertionFailure() << "could not write " << goldenPath.toStdString();
        return ::testing::AssertionSuccess() << "rewrote " << goldenPath.toStdString();
    }
    const QImage golden(goldenPath);
    if (golden.isNull())
        return ::testing::AssertionFailure() << "no golden image at " << goldenPath.toStdString();
    const ImageDifference d = ImageDifference::between(actual, golden);
    if (d.sameSize && d.farShare < maxFarShare && d.meanDiff < maxMeanDiff)
        return ::testing::AssertionSuccess();
    // The case folder's name, so that the saved picture says which case it is.
    const QString saved = QFileInfo(goldenPath).dir().dirName() + QStringLiteral("-actual.png");
    actual.save(saved);
    auto failure = ::testing::AssertionFailure();
    if (!d.sameSize)
        failure << "size " << actual.width() << "x" << actual.height() << ", golden " << golden.width() << "x"
                << golden.height();
    else
        failure << "far pixels " << d.farShare << " (at most " << maxFarShare << "), mean difference " << d.meanDiff
                << " (at most " << maxMeanDiff << ")";
    return failure << "; the drawn image is in " << QFileInfo(saved).absoluteFilePath().toStdString();
}
