#include "core/keypad/KeyTestList.h"
#include "core/keypad/SetupFrames.h"

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

DataOfFrame smallFrame(const char *bytes)
{
    DataOfFrame f = DataOfFrame::DataOfFrameArvel();
    const QByteArray b = hex(bytes);
    f.setData(reinterpret_cast<const uint8_t *>(b.constData()), int(b.size()));
    return f;
}

DataOfFrame longFrame(uint8_t cmd, int address, const QByteArray &data)
{
    DataOfFrame f = DataOfFrame::DataOfFrameCorvel();
    f.setCmd(cmd);
    f.setAddr(uint8_t(address & 0xFF), uint8_t(address >> 8));
    f.setData(reinterpret_cast<const uint8_t *>(data.constData()), int(data.size()));
    return f;
}

} // namespace

TEST(SetupFrames, LargeFamilyChannelFramesAtTheEndsOfTheRange)
{
    EXPECT_EQ(SetupFrames::getChannel(), hex("F200008072"));
    EXPECT_EQ(SetupFrames::setChannel(0), hex("F200018172"));
    EXPECT_EQ(SetupFrames::setChannel(7), hex("F2000F817C"));
    EXPECT_EQ(SetupFrames::setChannel(23), hex("F2002F815C"));
    EXPECT_EQ(SetupFrames::setChannel(39), hex("F2004F813C"));
    EXPECT_TRUE(SetupFrames::setChannel(40).isEmpty());
    EXPECT_TRUE(SetupFrames::setChannel(-1).isEmpty());
    EXPECT_EQ(SetupFrames::sameChannelQuery(), hex("F400C00236"));
    EXPECT_EQ(SetupFrames::channelAnswer(longFrame(0xF3, 0, hex("11"))), 17);
    EXPECT_EQ(SetupFrames::channelAnswer(longFrame(0xF2, 0, hex("11"))), -1);
    EXPECT_EQ(SetupFrames::channelSetAnswer(longFrame(0xF2, 0, hex("0C"))), 12);
    EXPECT_EQ(SetupFrames::channelSetAnswer(DataOfFrame()), -1);
}

TEST(SetupFrames, ArvelFramesAndAnswers)
{
    EXPECT_EQ(SetupFrames::arvelStudentId(37), hex("6582E7"));
    EXPECT_EQ(SetupFrames::arvelStudentId(400), hex("6099F9"));
    EXPECT_EQ(SetupFrames::arvelStudentId(1), hex("6180E1"));
    EXPECT_TRUE(SetupFrames::arvelStudentId(0).isEmpty());
    EXPECT_EQ(SetupFrames::arvelTeacherId(), hex("6080E0"));
    EXPECT_EQ(SetupFrames::arvelSetChannel(23), hex("5E80DEB8B8B8B8B8B8B2B3"));
    EXPECT_EQ(SetupFrames::arvelSetChannel(49), hex("5E80DEB8B8B8B8B8B8B4B9"));
    EXPECT_TRUE(SetupFrames::arvelSetChannel(50).isEmpty());
    EXPECT_EQ(SetupFrames::arvelGetChannel(), hex("590059"));
    EXPECT_EQ(SetupFrames::arvelGetBand(), hex("59A0F9"));
    EXPECT_EQ(SetupFrames::arvelSetBand(2), hex("59B259"));
    EXPECT_TRUE(SetupFrames::arvelSetBand(4).isEmpty());

    // Id 37 is confirmed as 42 05; id 400 as 59 00, which on the student page is no channel answer.
    EXPECT_TRUE(SetupFrames::isArvelIdConfirmation(smallFrame("420547"), 37));
    EXPECT_FALSE(SetupFrames::isArvelIdConfirmation(smallFrame("420644"), 37));
    EXPECT_TRUE(SetupFrames::isArvelIdConfirmation(smallFrame("590059"), 400));
    EXPECT_TRUE(SetupFrames::isArvelTeacherIdConfirmation(smallFrame("400040")));
    EXPECT_EQ(SetupFrames::arvelChannelAnswer(smallFrame("592E77")), 23);
    EXPECT_EQ(SetupFrames::arvelChannelAnswer(smallFrame("7A2E54")), 23);
    EXPECT_EQ(SetupFrames::arvelChannelAnswer(smallFrame("59623B")), 49);
    EXPECT_EQ(SetupFrames::arvelChannelAnswer(smallFrame("59A1F8")), -1); // band 1, answered late
    EXPECT_EQ(SetupFrames::arvelChannelAnswer(smallFrame("7A87FD")), -1); // the set's success
    EXPECT_EQ(SetupFrames::arvelBandAnswer(smallFrame("59A2FB")), 2);
    EXPECT_EQ(SetupFrames::arvelBandAnswer(smallFrame("592E77")), -1);
    EXPECT_TRUE(SetupFrames::isArvelChannelSetAnswer(smallFrame("7A87FD")));
    EXPECT_FALSE(SetupFrames::isArvelChannelSetAnswer(longFrame(0x7A, 0, hex("87"))));
}

TEST(SetupFrames, BrevelIdWriteAndConfirmation)
{
    EXPECT_EQ(SetupFrames::brevelStudentId(37, 0xBEEF), hex("FE010007" "00F52500EFBEE0" "99"));
    EXPECT_EQ(SetupFrames::brevelStudentId(1000, 0).mid(6, 2), hex("E803"));
    EXPECT_TRUE(SetupFrames::isBrevelIdConfirmation(longFrame(0xFC, 37, hex("00")), 37));
    EXPECT_FALSE(SetupFrames::isBrevelIdConfirmation(longFrame(0xFC, 38, hex("00")), 37));
    EXPECT_FALSE(SetupFrames::isBrevelIdConfirmation(longFrame(0xFC, 0, hex("00")), 0));
}

TEST(SetupFrames, RegistrationReplyFitsWithALongName)
{
    EXPECT_EQ(SetupFrames::pcState(4), hex("F5000001" "04" "F0"));
    EXPECT_EQ(SetupFrames::registrationReply(5, 2, QStringLiteral("Bob")), hex("F6050005" "0200" "426F62" "BB"));
    // 64 bytes of name: cut so that the frame can carry a check byte; a two-byte character that
    // would straddle the cut goes whole.
    const QString ascii(64, QLatin1Char('n'));
    const QByteArray reply = SetupFrames::registrationReply(0x0102, 300, ascii);
    ASSERT_FALSE(reply.isEmpty());
    EXPECT_EQ(quint8(reply[3]), 2 + SetupFrames::kMaxRegistrationNameBytes);
    EXPECT_EQ(reply.size(), 4 + 2 + SetupFrames::kMaxRegistrationNameBytes + 1);
    EXPECT_EQ(reply.mid(1, 2), hex("0201"));
    EXPECT_EQ(reply.mid(4, 2), hex("2C01"));
    const QString accented = QString(57, QLatin1Char('a')) + QString(QChar(0x00E9)) + QStringLiteral("zz");
    EXPECT_EQ(SetupFrames::registrationNameBytes(accented), QByteArray(57, 'a'));
    const QString fits = QString(56, QLatin1Char('a')) + QString(QChar(0x00E9));
    EXPECT_EQ(SetupFrames::registrationNameBytes(fits), fits.toUtf8());

    EXPECT_EQ(SetupFrames::registrationName(longFrame(0xFD, 7, QByteArray("Ann"))), QStringLiteral("Ann"));
    EXPECT_EQ(SetupFrames::registrationName(longFrame(0xFD, 0xEF01, QByteArray("x"))), QStringLiteral("Teacher"));
    EXPECT_EQ(SetupFrames::registrationName(longFrame(0xFD, 7, QByteArray("Ann\0\xff", 5))), QStringLiteral("Ann"));
}

// Page p, table t, row r shows id 100(p-1) + 25(t-1) + r + 1.
TEST(KeyTestList, PagesTablesAndRowsMapToIds)
{
    EXPECT_EQ(KeyTestList::idAt(1, 1, 0), 1);
    EXPECT_EQ(KeyTestList::idAt(1, 4, 24), 100);
    EXPECT_EQ(KeyTestList::idAt(2, 1, 0), 101);
    EXPECT_EQ(KeyTestList::idAt(2, 3, 4), 155);
    EXPECT_EQ(KeyTestList::idAt(4, 4, 24), 400);
    EXPECT_EQ(KeyTestList::pageOfId(100), 1);
    EXPECT_EQ(KeyTestList::pageOfId(101), 2);
    EXPECT_EQ(KeyTestList::pageOfId(400), 4);
}

TEST(KeyTestList, KeypadIdsAreBoundedByTheList)
{
    KeyTestList arvel(1);
    EXPECT_FALSE(arvel.isRegistration());
    EXPECT_EQ(arvel.pageCount(), 4);
    EXPECT_TRUE(arvel.setEntry(400, QStringLiteral("A")));
    EXPECT_EQ(arvel.entryText(400), QStringLiteral("A"));
    // Small-family ids reach 415 and Brevel ids are 16 bits: no entry, nothing written.
    EXPECT_FALSE(arvel.setEntry(401, QStringLiteral("B")));
    EXPECT_FALSE(arvel.setEntry(415, QStringLiteral("B")));
    EXPECT_FALSE(arvel.setEntry(0, QStringLiteral("B")));
    EXPECT_FALSE(arvel.setEntry(65535, QStringLiteral("B")));
    EXPECT_EQ(arvel.entryCount(), 400);
    EXPECT_EQ(arvel.entryText(401), QString());
    arvel.reset();
    EXPECT_EQ(arvel.entryText(400), QString());
    EXPECT_EQ(arvel.entryCount(), 400);

    EXPECT_EQ(KeyTestList::keyText('G'), QStringLiteral("Rush Quiz"));
    EXPECT_EQ(KeyTestList::keyText('A'), QStringLiteral("A"));
    EXPECT_EQ(KeyTestList::teacherKeyName(0x80), QStringLiteral("Previous"));
    EXPECT_EQ(KeyTestList::teacherKeyName(0x86), QStringLiteral("Stop"));
    EXPECT_EQ(KeyTestList::teacherKeyName(0x89), QStringLiteral("F2"));
    EXPECT_EQ(KeyTestList::teacherKeyName(0x8A), QString());
    EXPECT_EQ(KeyTestList::teacherKeyName(0x7F), QString());
}

TEST(KeyTestList, RegistrationNumbersByName)
{
    KeyTestList dravel(3);
    EXPECT_TRUE(dravel.isRegistration());
    EXPECT_EQ(dravel.entryCount(), 0);
    EXPECT_EQ(dravel.pageCount(), 1);
    EXPECT_EQ(dravel.registerName(QStringLiteral("Ann")), 1);
    EXPECT_EQ(dravel.registerName(QStringLiteral("Bob")), 2);
    EXPECT_EQ(dravel.registerName(QStringLiteral("Ann")), 1);
    EXPECT_EQ(dravel.registerName(QStringLiteral("ann")), 3); // names are compared exactly
    for (int i = 4; i <= 100; ++i)
        dravel.registerName(QStringLiteral("K%1").arg(i));
    EXPECT_EQ(dravel.pageCount(), 1);
    EXPECT_EQ(dravel.registerName(QStringLiteral("the 101st")), 101);
    EXPECT_EQ(dravel.pageCount(), 2);
    dravel.reset();
    EXPECT_EQ(dravel.entryCount(), 0);
    EXPECT_EQ(dravel.registerName(QStringLiteral("Bob")), 1);
}
