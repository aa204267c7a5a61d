#include "TextFormatPanels.h"

#include "core/authoring/BaseTextView.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QTextCharFormat>

TextFormatPanels::TextFormatPanels(QWidget *owner, Apply apply) : QObject(owner), m_owner(owner), m_apply(std::move(apply)) {}

TextFormatPanels::~TextFormatPanels()
{
    delete m_fontPanel.data();
    delete m_colorPanel.data();
}

void TextFormatPanels::showFontPanel()
{
    if (!m_fontPanel) {
        auto *panel = new QFontDialog(m_owner);
        panel->setObjectName(QStringLiteral("fontPanel"));
        panel->setWindowTitle(tr("Fonts"));
        panel->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        panel->setAttribute(Qt::WA_DeleteOnClose);
        // The panel opens on the boxes' own font (its sizes are the page's pixel sizes), not on
        // whatever family the system lists first; set before the panel is listened to, so that
        // opening it changes no text.
        QFont initial = BaseTextView::defaultFont();
        // The panel lists installed families only; the family the text is really drawn in.
        initial.setFamily(QFontInfo(initial).family());
        if (initial.pixelSize() > 0)
            initial.setPointSizeF(initial.pixelSize());
        panel->setCurrentFont(initial);
        connect(panel, &QFontDialog::currentFontChanged, this, [this](const QFont &font) {
            QFont sized = font;
            sized.setPixelSize(qMax(1, qRound(font.pointSizeF())));
            QTextCharFormat format;
            format.setFont(sized, QTextCharFormat::FontPropertiesAll);
            m_apply(format);
        });
        m_fontPanel = panel;
    }
    m_fontPanel->show();
    m_fontPanel->raise();
}

void TextFormatPanels::showColorPanel()
{
    if (!m_colorPanel) {
        auto *panel = new QColorDialog(m_owner);
        panel->setObjectName(QStringLiteral("colorPanel"));
        panel->setWindowTitle(tr("Colors"));
        panel->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
        panel->setAttribute(Qt::WA_DeleteOnClose);
        // On the text's own colour, not white (set before it is listened to).
        panel->setCurrentColor(Qt::black);
        connect(panel, &QColorDialog::currentColorChanged, this, [this](const QColor &color) {
            QTextCharFormat format;
            format.setForeground(color);
            m_apply(format);
        });
        m_colorPanel = panel;
    }
    m_colorPanel->show();
    m_colorPanel->raise();
}
