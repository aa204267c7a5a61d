#pragma once

#include "core/authoring/QuestionSetView.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class Questions;

// The thumbnail strip: a column of copies of the pages at 0.19 scale, ten points apart from
// x = 10, the current one framed in blue. A press on a thumbnail (through the page's
// "SmallQuestionCtrl") or the arrow keys of the page shown make another page current, which
// the strip announces with "ChangeQuestionDisplay" {"QuestionNo": n, 1-based}.
class SmallQuestions : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kScale = 0.19;

    explicit SmallQuestions(const QSize &size, QWidget *parent = nullptr);
    ~SmallQuestions() override;

    const QList<QuestionSetViewPtr> &array() const { return m_array; }
    int nHeight() const { return m_nHeight; }
    int nCurrentHeight() const { return m_nCurrentHeight; }
    int nCurrentQuNo() const { return m_nCurrentQuNo; }
    bool bDelete() const { return m_bDelete; }
    void setBDelete(bool v) { m_bDelete = v; }
    bool bIsFreeStyle() const { return m_bIsFreeStyle; }
    void setBIsFreeStyle(bool v) { m_bIsFreeStyle = v; }
    // The canvas whose pages this strip mirrors; key presses of other pages are not ours.
    void setCanvas(Questions *canvas) { m_canvas = canvas; }
    // Windows that steer this strip besides the canvas's pages (the editor, the properties window).
    void addController(QObject *controller) { m_controllers.append(controller); }

    void addQuestion(int n, const QuestionSetViewPtr &page); // 0-based position
    void upDateQuestion(int n, const QuestionSetViewPtr &page); // 1-based
    void DeleteQuestion(int n); // 1-based
    void changeSelQuestion(int n);
    void selectedQuestionNo(int n);
    void reloadAllQuestion();
    void moveScrollPoint(int n);
    void removeAllQuestions();

    // Where thumbnail n (1-based) stands, in widget coordinates.
    QRect thumbnailRect(int n) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void smallQuestionCtrl(const QVariantMap &info, QObject *sender);
    void recomputeHeight();
    QSizeF thumbSize() const;
    double thumbScale(const QuestionSetView &thumb) const;

    QList<QuestionSetViewPtr> m_array;
    // Every thumbnail's slot: the first page's size at the strip's scale.
    QSizeF m_slotSize;
    int m_nHeight = 0;
    int m_nCurrentHeight = 0;
    int m_nCurrentQuNo = 0;
    bool m_bDelete = true;
    bool m_bIsFreeStyle = false;
    Questions *m_canvas = nullptr;
    QList<QPointer<QObject>> m_controllers;
};
