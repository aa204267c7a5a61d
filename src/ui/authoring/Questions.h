#pragma once

#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"

#include <QAbstractButton>
#include <QColor>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>

class QTextEdit;
class SmallQuestions;

// The page canvas: owns the open question set (epi and the page list) and shows one page at a
// time at full size. The editor and the activity windows both use it; the latter change the
// page area with setOrginalBound and rescale pages with resizeContent.
//
// Observes "ChangeQuestionDisplay" (from its strip), "ChangeQuestionContent" (from its pages),
// "BigQuestionDeleteKey" and "QuestionInfoPostAddTemplate".
class Questions : public QWidget
{
    Q_OBJECT
public:
    explicit Questions(const QSize &size, QWidget *parent = nullptr);
    ~Questions() override;

    const QList<QuestionSetViewPtr> &questions() const { return m_questions; }
    int nCurrentQuestionIndex() const { return m_nCurrentQuestionIndex; }
    QuestionSetView *currentPage() const;
    bool ownsPage(const QObject *page) const;
    ExamPaperInfo *epi() const { return m_epi.get(); }
    bool bChange() const { return m_bChange; }
    void setBChange(bool v) { m_bChange = v; }
    int mouseControlState() const { return m_mouseControlState; }
    QColor colorSet() const { return m_colorSet; }
    int nPenSize() const { return m_nPenSize; }
    QRectF orgRect() const { return m_orgRect; }
    void setOrginalBound(const QRectF &rect) { m_orgRect = rect; }

    void setBtnQuestionInfo(QAbstractButton *button);
    QAbstractButton *btnQuestionInfo() const { return m_btnQuestionInfo; }
    void setSmallQuestions(SmallQuestions *strip);
    SmallQuestions *smallQuestions() const { return m_smallQuestions; }

    // Where the next exam-paper ID comes from (the exam-ID counter unless a test sets another);
    // no value when none could be taken.
    void setExamIdSource(std::function<std::optional<int>()> source) { m_examIdSource = std::move(source); }

    void addNewQuestion(int n, QuestionSetViewPtr page = nullptr); // 0-based position
    QuestionSetViewPtr createTemplate(int n) const;
    void deleteQuestion(int n); // 1-based
    void deleteCurrent();       // the design's delete:
    // Reads a question file into the canvas (no format-mark check); false when nothing was read.
    bool openFile(const QString &path);
    // Writes the set; false (with the file, the set's ID and the pages unchanged) on failure,
    // also when a new exam-paper ID is needed and the counter gives none.
    bool save(const QString &path, bool saveAs, QString *errorText = nullptr);

    void setPen();
    void setTextFrame();
    void setCursor();
    void onPenSize(int size);
    void onColorSet(const QColor &color);
    void onAlignLeft();
    void onAlignRight();
    void onAlignTop();
    void onAlignBottom();
    void onMakeSameWidth();
    void onMakeSameHeight();
    void onMakeSameSize();
    // Open panel, then importPicture.
    void onImport();
    // Puts the picture of the file on the anchor box (or a new box); a file that is not a
    // picture is refused with an alert and changes nothing.
    bool importPicture(const QString &path);
    void resizeContent(int n); // 1-based
    // The activity window's canvas fills its view: the page shown is re-laid to the canvas's
    // size whenever that changes, and new pages are made at it. The editor keeps its fixed page.
    void setFillsView(bool fills) { m_fillsView = fills; }

    // Page coordinates (y up) of a point of this widget, and the widget rectangle of a page rectangle.
    QPointF toPage(const QPointF &widgetPoint) const;
    QRectF toWidget(const QRectF &pageRect) const;
    QTextEdit *textEditor() const { return m_editor; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Re-lays page n to the canvas's size when it differs, keeping the tool the teacher holds.
    void fitToView(int n);
    void showQuestion(int n);
    void rebuildThumbnail(const QObject *changed);
    void press(QMouseEvent *event, int clickCount);
    void syncEditor();
    void endEditing();
    void textDidChange();
    void applyToolMode(QuestionSetView &page);
    void setAllPagesMode(int mode);
    void updateQuestionInfoButton();

    QList<QuestionSetViewPtr> m_questions;
    int m_nCurrentQuestionIndex = 0;
    QPointer<QAbstractButton> m_btnQuestionInfo;
    QPointer<SmallQuestions> m_smallQuestions;
    bool m_bChange = false;
    ExamPaperInfoPtr m_epi;
    QColor m_colorSet = Qt::black;
    int m_nPenSize = 2;
    int m_mouseControlState = QuestionSetView::ModeSelect;
    QRectF m_orgRect;
    std::function<std::optional<int>()> m_examIdSource;
    QTextEdit *m_editor = nullptr;
    MyTextView *m_editingBox = nullptr;
    bool m_fillsView = false;
};
