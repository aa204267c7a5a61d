#include "core/roster/RosterCSVExporter.h"
#include "support/PollixTest.h"

#include <QBuffer>

using RosterCSVExporterTest = PollixTest;

namespace {
StudentEntity student(int device, const QString &id, const QString &first, const QString &last, int group,
                      QDate birthday, int gender)
{
    StudentEntity s;
    s.setDeviceNo(device);
    s.setId(id);
    s.setFirstName(first);
    s.setLastName(last);
    s.setGroupNo(group);
    s.setBirthday(QDateTime(birthday, QTime(9, 30)));
    s.setGender(gender);
    return s;
}

QByteArray written(const CSVOperator &grid)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(grid.writeCSVTo(buffer));
    return buffer.data();
}
} // namespace

TEST_F(RosterCSVExporterTest, StudentsOfAClassInTheirOrderWithoutThoseLackingAnId)
{
    StudentEntity ann = student(3, "S001", "Ann", "Lee", 2, QDate(2011, 4, 5), 2);
    ann.setRemark(" quiet");
    ann.setAddress("1 Main St, Town");
    ann.setTelephone("555");
    ann.setEMail("a@b.c");
    const StudentEntity nobody = student(5, "", "No", "Id", 1, QDate(2011, 1, 1), 1);
    const StudentEntity zoe = student(12, "S002", QString::fromUtf8("Zoë"), "O\"Neil", 1, QDate(2010, 12, 31), 0);

    EXPECT_EQ(written(RosterCSVExporter::students({ann, nobody, zoe}, "7A, Blue")),
              testData("roster/students-export/expected.csv"));
}

TEST_F(RosterCSVExporterTest, TeachersNumberedFromOne)
{
    TeacherEntity mary;
    mary.setFirstName("Mary");
    mary.setLastName("Smith");
    mary.setTitle("Dr.");
    mary.setPhone("555-1234");
    mary.setGender(2);
    TeacherEntity tom;
    tom.setFirstName("Tom");
    EXPECT_EQ(written(RosterCSVExporter::teachers({mary, tom})), testData("roster/teachers-export/expected.csv"));
    EXPECT_EQ(written(RosterCSVExporter::teachers({})), "NO.,Frist Name,Last Name,Title,Address,Phone,Sex\r\n");
}

TEST_F(RosterCSVExporterTest, ADeviceThatTakesNothingIsTold)
{
    const CSVOperator grid = RosterCSVExporter::teachers({});
    QString text;
    QBuffer closed;
    EXPECT_FALSE(grid.writeCSVTo(closed, &text));
    EXPECT_EQ(text, "Get file handle failed.");
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(grid.writeCSVTo(readOnly, &text));
    EXPECT_EQ(text, "Get file handle failed.");
}
