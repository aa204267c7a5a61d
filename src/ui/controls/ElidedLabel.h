#pragma once

#include <QLabel>

// A one-line text that never widens its window: where the width is short, the middle of the text
// gives way to "..." (the start and the file name at the end stay readable), and the whole text
// is the tool tip.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_fullText; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();
    QString m_fullText;
};
