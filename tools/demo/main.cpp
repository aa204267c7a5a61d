// pollix-demo data FOLDER [--archive PATH]
//     Makes FOLDER a demo application folder (unpacked as on a first run, plus a class of 24
//     students, a teacher, a subject and "Demo Quiz.px") and prints the question file's path.
#include "DemoData.h"

#include "core/app/Orvenda_AppDelegate.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The demo folder is made without looking for receivers.
    qputenv("POLLIX_NO_UDEV", "1");
    qunsetenv("POLLIX_SERIAL_PORTS");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2 || args.at(0) != QLatin1String("data")) {
        std::fprintf(stderr, "usage: pollix-demo data FOLDER [--archive PATH]\n");
        return 2;
    }
    const QString folder = args.at(1);
    const int a = int(args.indexOf(QStringLiteral("--archive")));
    const QString archive = a >= 0 ? args.value(a + 1) : QString();

    qputenv("POLLIX_HOME", folder.toUtf8());
    Orvenda_AppDelegate delegate(folder);
    Orvenda_AppDelegate::setAppDelegate(&delegate);
    QString why;
    const QString quiz = DemoData::ensure(folder, archive, &why);
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    if (quiz.isEmpty()) {
        std::fprintf(stderr, "pollix-demo: %s\n", qPrintable(why));
        return 1;
    }
    std::printf("%s\n", qPrintable(quiz));
    return 0;
}
