#include "Shots.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace Shots {

QString folder()
{
    const QString root = qEnvironmentVariable("POLLIX_SHOT_DIR");
    if (root.isEmpty())
        return {};
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    // A parameterised test's names hold slashes: one folder still.
    const QString path = test ? QDir(root).filePath(QStringLiteral("%1.%2")
                                                        .arg(QString::fromLatin1(test->test_suite_name()),
                                                             QString::fromLatin1(test->name()))
                                                        .replace(QLatin1Char('/'), QLatin1Char('-')))
                              : root;
    QDir().mkpath(path);
    return path;
}

::testing::AssertionResult drew(QWidget *w, const QString &name)
{
    if (!w)
        return ::testing::AssertionFailure() << name.toStdString() << ": no window";
    const QString dir = folder();
    if (dir.isEmpty())
        QApplication::processEvents();
    else
        QTest::qWait(300);
    const QImage image = w->grab().toImage();
    if (!dir.isEmpty()) {
        image.save(QDir(dir).filePath(name + QStringLiteral(".png")));
        // The offscreen platform's screen holds nothing but the windows (and noise around them).
        QScreen *screen = QGuiApplication::primaryScreen();
        if (screen && w->isWindow() && QGuiApplication::platformName() != QLatin1String("offscreen"))
            screen->grabWindow(0).save(QDir(dir).filePath(name + QStringLiteral("-screen.png")));
    }
    if (image.isNull())
        return ::testing::AssertionFailure() << name.toStdString() << ": " << w->width() << " x " << w->height()
                                             << ", no picture";
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    const QRgb first = pixels.pixel(0, 0);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (line[x] != first)
                return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << name.toStdString() << ": " << w->width() << " x " << w->height()
                                         << ", one flat colour";
}

} // namespace Shots

void saveShot(QWidget *window, const QString &name)
{
    const QString folder = Shots::folder();
    if (folder.isEmpty() || !window)
        return;
    QApplication::processEvents();
    window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

void saveScreenShot(const QString &name)
{
    const QString folder = Shots::folder();
    QScreen *screen = QGuiApplication::primaryScreen();
    if (folder.isEmpty() || !screen)
        return;
    QApplication::processEvents();
    screen->grabWindow(0).save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
