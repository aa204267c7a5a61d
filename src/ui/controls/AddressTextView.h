#pragma once

#include "LimitedTextView.h"

// The one-line address view of the roster windows: typing and pasting may not make the text
// longer than its largest length, nor bring in the apostrophe. Text the program sets (a stored
// address) is shown as it is.
class AddressTextView : public LimitedTextView
{
    Q_OBJECT
public:
    AddressTextView(int maxLength, QWidget *parent = nullptr);

    int maxLength() const { return m_maxLength; }
    // Whether typing or pasting text over the current selection would be let through.
    bool acceptsInsertion(const QString &text) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int m_maxLength;
};
