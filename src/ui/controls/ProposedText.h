#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

// A text Pollix proposes in a field the teacher is expected to type over (the name a run is
// saved under, the page a report goes to, the channel a receiver works on): it is selected, so
// that the first key typed replaces it and Return (or the teacher keypad's F1) keeps it. Each
// time the field's window opens, the field takes the keys with its whole text selected; Tab
// into it selects it as into any line field, and a click places the cursor where it falls.
class ProposedText : public QObject
{
    Q_OBJECT
public:
    // Puts text into field, selected. In a window that is up already (a receiver's answer
    // that comes late) the focus stays where the teacher has it.
    static void propose(QLineEdit *field, const QString &text);
    // Whether field holds a text proposed to be typed over, as proposed: once the teacher has
    // typed in it the text is the teacher's own, and a text put there since without propose is
    // no proposal either.
    static bool proposes(const QLineEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ProposedText(QLineEdit *field);

    QLineEdit *m_field;
    QString m_text;
    bool m_touched = false;
};
