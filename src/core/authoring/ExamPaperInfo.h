#pragma once

#include "QuestionSetView.h"

#include "platform/KeyedArchiveObject.h"

#include <QList>
#include <QString>

#include <memory>

// The root of a question file (".px") or answer sheet (".sep"): format mark, exam-paper ID,
// title, pages and memo. This class is the one reader and writer of the file for every caller.
//
// The file is a keyed archive (KeyedArchiver) whose root is of class "ExamPaperInfo" with the
// unkeyed values $0 strSymbol, $1 nExamPaperID, $2 strExamPaperTitle, $3 arrayQuestionsInfo
// (pages, class "QuestionSetView"), $4 strMemo, and the keyed value "PXFormatVersion"
// (kFormatVersion). Any fault while reading (not a keyed archive, damaged or truncated bytes,
// a value of the wrong kind, a newer format) makes the file unreadable: the "Error format!" case.
class ExamPaperInfo : public KeyedArchiveObject
{
public:
    static constexpr int kFormatVersion = 1;

    ExamPaperInfo();

    QString strSymbol() const { return m_strSymbol; }
    void setStrSymbol(const QString &v) { m_strSymbol = v; }
    int nExamPaperID() const { return m_nExamPaperID; }
    void setNExamPaperID(int v) { m_nExamPaperID = v; }
    QString strExamPaperTitle() const { return m_strExamPaperTitle; }
    void setStrExamPaperTitle(const QString &v) { m_strExamPaperTitle = v; }
    QList<QuestionSetViewPtr> arrayQuestionsInfo() const { return m_arrayQuestionsInfo; }
    void setArrayQuestionsInfo(const QList<QuestionSetViewPtr> &pages) { m_arrayQuestionsInfo = pages; }
    QString strMemo() const { return m_strMemo; }
    void setStrMemo(const QString &v) { m_strMemo = v; }

    // Whether the format mark is the system's own ("Pollix").
    bool hasValidSymbol() const { return m_strSymbol == QLatin1String("Pollix"); }

    QByteArray archivedData() const;
    // Replaces the file whole; false (and the old file untouched) when the write fails.
    bool writeToFile(const QString &path, QString *errorText = nullptr) const;

    // Reads a file or bytes without looking at the mark (the editor's own open); null on any fault.
    static std::shared_ptr<ExamPaperInfo> unarchiveObjectWithData(const QByteArray &bytes, QString *errorText = nullptr);
    static std::shared_ptr<ExamPaperInfo> unarchiveObjectWithFile(const QString &path, QString *errorText = nullptr);
    // What the main window and the runs accept: a readable file whose mark is "Pollix".
    static std::shared_ptr<ExamPaperInfo> loadQuestionFile(const QString &path, QString *errorText = nullptr);

    static KeyedUnarchiver::ClassTable archiveClasses();
    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

private:
    QString m_strSymbol = QStringLiteral("Pollix");
    int m_nExamPaperID = 0;
    QString m_strExamPaperTitle = QStringLiteral("");
    QList<QuestionSetViewPtr> m_arrayQuestionsInfo;
    QString m_strMemo = QStringLiteral("");
};

using ExamPaperInfoPtr = std::shared_ptr<ExamPaperInfo>;
