// Gradebook backup files (.gbd), read as the Course Grade List's import reads them.

#include "FuzzSupport.h"

#include "core/gradebook/GradebookBackupFile.h"

QList<QByteArray> fuzzSeeds()
{
    return Fuzz::testDataFiles({QStringLiteral(".gbd")});
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::inputFile(data, size, QStringLiteral("input.gbd"));
    GradebookBackupFile::ReadError error = GradebookBackupFile::ReadError::None;
    QString why;
    const std::optional<GradebookBackupFile::Backup> backup = GradebookBackupFile::read(path, &error, &why);
    // What was read can be written out again (the export of the same grades).
    if (backup)
        GradebookBackupFile::encode(*backup, &why);
    return 0;
}
