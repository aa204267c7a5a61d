#pragma once

#include <QColorDialog>
#include <QFontDialog>
#include <QObject>
#include <QPointer>

#include <functional>

class QTextCharFormat;
class QWidget;

// The font panel and the colour panel of a window that edits rich text: at most one of each,
// open beside the window (not modal, so the text stays selectable), each change handed to the
// window as a character format to merge into the text it is editing. Fonts are sized in page
// units, as the boxes' own fonts are.
class TextFormatPanels : public QObject
{
    Q_OBJECT
public:
    using Apply = std::function<void(const QTextCharFormat &)>;
    TextFormatPanels(QWidget *owner, Apply apply);
    ~TextFormatPanels() override;

    void showFontPanel();
    void showColorPanel();
    QFontDialog *fontPanel() const { return m_fontPanel; }
    QColorDialog *colorPanel() const { return m_colorPanel; }

private:
    QWidget *m_owner;
    Apply m_apply;
    QPointer<QFontDialog> m_fontPanel;
    QPointer<QColorDialog> m_colorPanel;
};
