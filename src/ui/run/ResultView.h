#pragma once

#include <QWidget>

class QPainter;
struct ResultSummary;

// The result summary's chart: three boxes (correct, incorrect, no response), each with its
// percentage and head count over it and its caption under it.
class ResultView : public QWidget
{
    Q_OBJECT
public:
    explicit ResultView(QWidget *parent = nullptr);

    float fCorrectPrecent() const { return m_fCorrect; }
    float fErrorPrecent() const { return m_fError; }
    float fNoResponsePrecent() const { return m_fNoResponse; }
    int correctCount() const { return m_correct; }
    int errorCount() const { return m_error; }
    int noResponseCount() const { return m_noResponse; }
    int totalCount() const { return m_total; }
    void setSummary(const ResultSummary &summary);

    // Paints the chart on any device of that size.
    void drawRect(QPainter &painter, const QSizeF &size) const;
    static QString caption(int bar);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    float m_fCorrect = 0, m_fError = 0, m_fNoResponse = 0;
    int m_correct = 0, m_error = 0, m_noResponse = 0, m_total = 0;
};
