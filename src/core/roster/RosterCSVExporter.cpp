#include "RosterCSVExporter.h"

namespace {
void setRow(CSVOperator &grid, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        grid.setString(cells.at(c).isNull() ? QStringLiteral("") : cells.at(c), row, c + 1);
}
} // namespace

QString RosterCSVExporter::sexText(int gender)
{
    if (gender == 1)
        return QStringLiteral("Male");
    if (gender == 2)
        return QStringLiteral("Female");
    return QStringLiteral("UD");
}

CSVOperator RosterCSVExporter::teachers(const QList<TeacherEntity> &teachers)
{
    // The header texts are the file format's own, spelling included.
    const QStringList header{"NO.", "Frist Name", "Last Name", "Title", "Address", "Phone", "Sex"};
    CSVOperator grid = CSVOperator::CSVWithColumns(int(header.size()));
    setRow(grid, 1, header);
    int row = 2;
    for (const TeacherEntity &t : teachers) {
        setRow(grid, row, {QString::number(row - 1), t.firstName(), t.lastName(), t.title(), t.address(), t.phone(),
                           sexText(t.gender())});
        ++row;
    }
    return grid;
}

CSVOperator RosterCSVExporter::students(const QList<StudentEntity> &students, const QString &className)
{
    const QStringList header{"Device NO.", "Student ID", "First Name", "Last Name", "Class Name",
                             "Group NO.", "Birth Date(YYYY-MM-DD)", "Responsibility", "Remark",
                             "Address", "Phone", "E-Mail", "Sex"};
    CSVOperator grid = CSVOperator::CSVWithColumns(int(header.size()));
    setRow(grid, 1, header);
    int row = 2;
    for (const StudentEntity &s : students) {
        if (s.id().isEmpty())
            continue;
        setRow(grid, row, {QString::number(s.deviceNo()), s.id(), s.firstName(), s.lastName(), className,
                           QString::number(s.groupNo()), s.birthday().toString(QStringLiteral("yyyy-MM-dd")),
                           s.duty(), s.remark(), s.address(), s.telephone(), s.eMail(), sexText(s.gender())});
        ++row;
    }
    return grid;
}
