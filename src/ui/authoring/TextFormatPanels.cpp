#include "TextFormatPanels.h"

#include <QColorDialog>
#include <QFontDialog>
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
