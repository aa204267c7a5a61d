#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QPainter;

// The histogram's chart: one box per option and a last one, "Others", for everybody who chose
// no single option; each with its percentage and head count over it, its letter and the option's
// text under it; the correct option's box in green.
class HistogramView : public QWidget
{
    Q_OBJECT
public:
    explicit HistogramView(QWidget *parent = nullptr);

    // n option bars and their fractions 0..1.
    void setHistogramData(int n, const QList<double> &percent);
    // n option counts followed by the "Others" count.
    void setHistogramData2(const QList<int> &counts);
    // The option texts, index 0 for A.
    void setOptionsText(const QStringList &texts);
    // Marks the bar of a correct answer ("True", "False" or its first letter); an empty text
    // leaves the mark as it is.
    void setCorrectAnswer(const QString &answer);

    int nOptionNum() const { return m_n; }
    int nCorrectAnswerNo() const { return m_correct; }

    // Paints the chart on any device of that size.
    void drawRect(QPainter &painter, const QSizeF &size) const;
    // An option text as it fits under its bar: at most 15 characters, then "....".
    static QString shortened(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_n = 4;
    int m_correct = 0;
    QList<double> m_percent;
    QList<int> m_counts;
    QStringList m_texts;
};
