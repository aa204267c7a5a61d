// Roster import figures for a school-sized file of 5,000 students: opening it in the preview
// (read, every cell checked, the window shown and drawn), checking a column again after an edit
// and after a new mapping, and storing it with the import window and its progress.
#include "core/app/Orvenda_AppDelegate.h"
#include "core/keypad/DeviceController.h"
#include "core/roster/ImportItemsForStudent.h"
#include "core/store/TovClassXmlDatabase.h"
#include "platform/Singleton.h"
#include "ui/controls/DialogHooks.h"
#include "ui/roster/ImportPreviewController.h"
#include "ui/roster/ImportToDatabaseController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {
constexpr int kRows = 5000;

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<Orvenda_AppDelegate> app;
    QString csv;

    Fixture()
    {
        SingletonRegistry::resetAll();
        app = std::make_unique<Orvenda_AppDelegate>(dir.path());
        Orvenda_AppDelegate::setAppDelegate(app.get());
        DeviceController::ShareDeviceController()->setCurDeviceType(1);
        QDir().mkpath(dir.path() + QStringLiteral("/Data/Classes"));
        csv = dir.path() + QStringLiteral("/students.csv");
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        file.write("Device NO.,Student ID,First Name,Last Name,Class Name,Group NO.,Birth Date(YYYY-MM-DD),"
                   "Responsibility,Remark,Address,Phone,E-Mail,Sex\r\n");
        for (int i = 1; i <= kRows; ++i)
            file.write(QStringLiteral("%1,S%2,First%2,Last%2,Year 7,%3,2011-%4-%5,,,\"%2 Mill Lane, York\",01904 %2,s%2@school.example,%6\r\n")
                           .arg(1 + i % 400)
                           .arg(i)
                           .arg(1 + i % 9)
                           .arg(1 + i % 12)
                           .arg(1 + i % 28)
                           .arg(i % 2 ? "M" : "Female")
                           .toUtf8());
    }
    ~Fixture()
    {
        SingletonRegistry::resetAll();
        Orvenda_AppDelegate::setAppDelegate(nullptr);
    }
};

void BM_PreviewOpens5000Rows(benchmark::State &state)
{
    Fixture fixture;
    for (auto _ : state) {
        ImportPreviewController preview(fixture.csv, ImportItemsForStudent().allImportItems());
        preview.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(preview.state().statusText());
    }
}
BENCHMARK(BM_PreviewOpens5000Rows)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PreviewChecksAnEditedColumn(benchmark::State &state)
{
    Fixture fixture;
    ImportPreviewController preview(fixture.csv, ImportItemsForStudent().allImportItems());
    preview.state().setStartRow(2);
    QAbstractItemModel *rows = preview.tvPreviewData->model();
    int n = 0;
    for (auto _ : state)
        rows->setData(rows->index(kRows / 2, 2), QStringLiteral("X%1").arg(++n));
}
BENCHMARK(BM_PreviewChecksAnEditedColumn)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PreviewChecksANewMapping(benchmark::State &state)
{
    Fixture fixture;
    ImportPreviewController preview(fixture.csv, ImportItemsForStudent().allImportItems());
    QAbstractItemModel *mapping = preview.tvHeader->model();
    bool away = false;
    for (auto _ : state) {
        away = !away;
        mapping->setData(mapping->index(0, 9), away ? QStringLiteral("N/A") : QStringLiteral("Remark"));
    }
}
BENCHMARK(BM_PreviewChecksANewMapping)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ImportWindowStores5000Students(benchmark::State &state)
{
    Fixture fixture;
    ImportPreviewController preview(fixture.csv, ImportItemsForStudent().allImportItems());
    preview.state().setStartRow(2);
    const QList<QStringList> records = preview.resultData();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString name = QStringLiteral("Year 7 %1").arg(++n);
        const int classNo = TovClassXmlDatabase::sharedClassUI()->addClassWithName(name);
        state.ResumeTiming();
        ImportToDatabaseController import;
        import.setImportMode(0);
        import.setClassNoToImport(classNo, name);
        // The whole file in one class, so that every record is stored.
        import.setMaxStudentNumberAllowed(kRows);
        import.setResultDataOfStudents(records);
        import.show();
        if (!QTest::qWaitFor([&] { return import.isImportDone(); }, 60000))
            state.SkipWithError("the import did not finish within a minute");
        state.counters["not_imported"] = double(import.importer().studentsLost().size());
    }
    state.counters["records"] = double(records.size());
}
BENCHMARK(BM_ImportWindowStores5000Students)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "pollix.info=false");
    QApplication app(argc, argv);
    // No teacher at the screen: every alert takes its first button.
    DialogHooks::setAlertResponder([](const AlertRequest &) { return 0; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
