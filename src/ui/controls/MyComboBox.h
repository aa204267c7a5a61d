#pragma once

#include <QComboBox>

// A combo box whose list opens at least as wide as its widest item plus 50 points, so that long
// entries can be read in a narrow box, and that tells of every closing of the list (also one
// without a choice) with comboBoxSelectionDidChange. Editable like a text field by default.
class MyComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit MyComboBox(QWidget *parent = nullptr);

    // Measures the items again (after they changed); reloadData is the same.
    void setFit();
    void reloadData() { setFit(); }

    // The widest item + 50.
    int fWidth() const { return m_fWidth; }
    // Width of the open list: fWidth when that is wider than the box, else the box's width, less
    // one point.
    int listWidth() const;

    void showPopup() override;
    void hidePopup() override;

signals:
    void comboBoxSelectionDidChange(MyComboBox *box);

private:
    int m_fWidth = 50;
};
