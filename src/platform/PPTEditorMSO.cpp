#include "PPTEditorMSO.h"

#include "Log.h"
#include "OfficeConverter.h"
#include "SlideShowWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

namespace {

const QString kTemplateName = QStringLiteral("template.pptx");
constexpr int kEmuPerInch = 914400;

} // namespace

PPTEditorMSO *PPTEditorMSO::shareManager()
{
    return Singleton<PPTEditorMSO>::instance();
}

PPTEditorMSO::PPTEditorMSO() : m_converter(new OfficeConverter(this))
{
    connect(m_converter, &OfficeConverter::finished, this, [this](bool ok, const QString &pdf, const QString &why) {
        if (!m_show || m_showIndex == 0)
            return;
        // A conversion of an older state of the deck is of no use any more.
        if (ok && m_deck && m_converter->pdfKey() == OfficeConverter::keyOf(m_deck->toZip()))
            m_show->setPdf(pdf);
        else if (!ok)
            m_show->setMessage(why);
    });
}

PPTEditorMSO::~PPTEditorMSO() = default;

bool PPTEditorMSO::fail(const QString &why, QString *errorText)
{
    m_lastError = why;
    if (errorText)
        *errorText = why;
    return false;
}

bool PPTEditorMSO::isModified() const
{
    return m_deck && m_deck->isModified();
}

void PPTEditorMSO::setModified(bool modified)
{
    if (m_deck)
        m_deck->setModified(modified);
}

QString PPTEditorMSO::deckName() const
{
    if (!m_deck)
        return QString();
    return m_path.isEmpty() ? m_displayName : m_path;
}

bool PPTEditorMSO::isShowRunning() const
{
    return m_showIndex > 0;
}

SlideShowWindow *PPTEditorMSO::showWindow() const
{
    return m_show.get();
}

bool PPTEditorMSO::isTemplateDeck() const
{
    return QFileInfo(m_path).fileName() == kTemplateName;
}

PptxPresentation *PPTEditorMSO::deck(int slide) const
{
    return (m_deck && slide >= 0 && slide < m_deck->slideCount()) ? m_deck.get() : nullptr;
}

// ---- documents ----

bool PPTEditorMSO::startPPT()
{
    m_running = true;
    if (m_deck)
        return true;
    // A fresh program shows a fresh presentation with one slide.
    m_deck = PptxPresentation::createBlank();
    m_path.clear();
    m_displayName = QStringLiteral("Presentation1.pptx");
    QString why;
    if (!m_deck->pasteSlide(PptxPresentation::blankSlide(QString(), QStringLiteral("title")), &why))
        return fail(why);
    m_deck->setModified(false);
    m_selected = 1;
    return true;
}

bool PPTEditorMSO::newPPT(const QString &)
{
    endShow();
    m_running = true;
    m_deck = PptxPresentation::createBlank();
    m_path.clear();
    m_displayName = QStringLiteral("Presentation1.pptx");
    m_selected = 0;
    return true;
}

bool PPTEditorMSO::openPPT(const QString &fileName, QString *errorText)
{
    const QFileInfo info(fileName);
    if (!info.isFile())
        return fail(QStringLiteral("%1 does not exist").arg(fileName), errorText);
    auto opened = std::make_unique<PptxPresentation>();
    QString why;
    QString path = fileName;
    QString display = info.fileName();
    if (info.suffix().compare(QLatin1String("ppt"), Qt::CaseInsensitive) == 0) {
        // The old binary format is read through a conversion; the teacher saves the result
        // as a new .pptx beside it, the .ppt stays as it was.
        // LibreOffice may take a minute, or two when it has to start twice: not on the caller's time.
        QTemporaryDir dir;
        const auto convertAndRead = [&] {
            QString converted;
            return dir.isValid() && OfficeConverter::convert(fileName, dir.path(), QStringLiteral("pptx"), &converted, &why)
                   && opened->loadFile(converted, &why);
        };
        const bool read = m_longWorkRunner
                              ? m_longWorkRunner(QStringLiteral("Converting %1 with LibreOffice...").arg(info.fileName()),
                                                 convertAndRead)
                              : convertAndRead();
        if (!read)
            return fail(QStringLiteral("%1 cannot be opened: %2").arg(info.fileName(), why), errorText);
        opened->setModified(true);
        path.clear();
        display = info.dir().filePath(info.completeBaseName() + QStringLiteral(".pptx"));
    } else if (!opened->loadFile(fileName, &why)) {
        return fail(QStringLiteral("%1 cannot be opened: %2").arg(info.fileName(), why), errorText);
    }
    endShow();
    m_deck = std::move(opened);
    m_path = path;
    m_displayName = display;
    m_running = true;
    m_selected = m_deck->slideCount() > 0 ? 1 : 0;
    return true;
}

PPTEditor::SaveResult PPTEditorMSO::savePPT(QString *errorText)
{
    const auto failed = [&](const QString &why) {
        fail(why, errorText);
        return SaveResult::Failed;
    };
    if (!m_deck)
        return failed(QStringLiteral("No presentation is open."));
    QString path = m_path;
    if (path.isEmpty()) {
        if (!m_savePathProvider)
            return failed(QStringLiteral("The presentation has no file name yet."));
        path = m_savePathProvider(m_displayName);
        if (path.isEmpty()) {
            m_lastError.clear();
            return SaveResult::Cancelled;
        }
        if (QFileInfo(path).suffix().compare(QLatin1String("pptx"), Qt::CaseInsensitive) != 0)
            path += QStringLiteral(".pptx");
    }
    QString why;
    if (!m_deck->saveFile(path, &why))
        return failed(QStringLiteral("%1 could not be saved: %2").arg(QFileInfo(path).fileName(), why));
    m_path = path;
    m_displayName = QFileInfo(path).fileName();
    m_deck->setModified(false);
    return SaveResult::Saved;
}

PPTEditor::SaveResult PPTEditorMSO::quitPPTAndSave(QString *errorText)
{
    // A deck that is not saved, by a failure or a cancelled save panel, stays open, so that
    // nothing is lost.
    if (m_deck && m_deck->isModified()) {
        const SaveResult saved = savePPT(errorText);
        if (saved != SaveResult::Saved)
            return saved;
    }
    quitPPT();
    return SaveResult::Saved;
}

void PPTEditorMSO::quitPPT()
{
    endShow();
    m_deck.reset();
    m_path.clear();
    m_selected = 0;
    m_running = false;
}

void PPTEditorMSO::closePresentations()
{
    endShow();
    m_deck.reset();
    m_path.clear();
    m_selected = 0;
}

void PPTEditorMSO::changePPTToClose()
{
    if (isShowRunning())
        endShow();
    else
        closePresentations();
}

void PPTEditorMSO::changePPTToSamll()
{
    if (isShowRunning() && m_show)
        m_show->showMinimized();
}

bool PPTEditorMSO::IsPPTRuningForOpen()
{
    return m_deck && !isTemplateDeck();
}

bool PPTEditorMSO::tempIsRunning()
{
    return m_running && templateDeck() != nullptr;
}

bool PPTEditorMSO::pptIsRunning()
{
    return m_running;
}

int PPTEditorMSO::getCountOfSlide()
{
    return IsPPTRuningForOpen() ? m_deck->slideCount() : -1;
}

// ---- slides ----

const PptxPresentation *PPTEditorMSO::templateDeck()
{
    const QString path = templatePath();
    const QFileInfo info(path);
    if (!info.isFile()) {
        m_template.reset();
        fail(QStringLiteral("The template %1 is missing.").arg(path));
        return nullptr;
    }
    if (!m_template || info.lastModified() != m_templateTime || info.size() != m_templateSize) {
        auto loaded = std::make_unique<PptxPresentation>();
        QString why;
        if (!loaded->loadFile(path, &why)) {
            m_template.reset();
            fail(QStringLiteral("The template cannot be read: %1").arg(why));
            return nullptr;
        }
        m_template = std::move(loaded);
        m_templateTime = info.lastModified();
        m_templateSize = info.size();
    }
    return m_template.get();
}

bool PPTEditorMSO::copySlideByIndex(int index)
{
    const PptxPresentation *source = templateDeck();
    if (!source)
        return false;
    QString why;
    std::optional<PptxPresentation::SlideCopy> copy = source->copySlide(index, &why);
    if (!copy)
        return fail(QStringLiteral("The template has no slide %1.").arg(index + 1));
    m_clipboard = std::move(copy);
    return true;
}

bool PPTEditorMSO::pasteSlide()
{
    if (!m_deck)
        return fail(QStringLiteral("No presentation is open."));
    if (!m_clipboard)
        return fail(QStringLiteral("No slide was copied."));
    QString why;
    if (!m_deck->pasteSlide(*m_clipboard, &why))
        return fail(why);
    m_selected = m_deck->slideCount();
    return true;
}

bool PPTEditorMSO::insertSlide(const QString &presentationName, int position)
{
    if (!m_deck)
        return fail(QStringLiteral("No presentation is open."));
    const int count = m_deck->slideCount();
    int index = 0;
    if (position >= 0)
        index = qMin(position, count);
    else if (position == -1)
        index = qMax(0, m_selected - 1);
    QString why;
    const QString layout = count == 0 ? QStringLiteral("title") : QStringLiteral("obj");
    if (!m_deck->pasteSlide(PptxPresentation::blankSlide(presentationName, layout), &why))
        return fail(why);
    m_deck->moveSlide(count, index);
    return true;
}

bool PPTEditorMSO::deleteSlideIsWithPos(bool byPosition, int slide)
{
    if (!m_running || !m_deck)
        return fail(QStringLiteral("No presentation is open."));
    int index = slide;
    if (!byPosition) {
        const int selected = getIndexOfSelectPPT();
        if (selected <= 0)
            return fail(QStringLiteral("No slide is selected."));
        index = selected - 1;
    }
    QString why;
    if (!m_deck->deleteSlide(index, &why))
        return fail(why);
    m_selected = qMin(index + 1, m_deck->slideCount());
    if (m_showIndex > m_deck->slideCount())
        m_showIndex = m_deck->slideCount();
    return true;
}

int PPTEditorMSO::getIndexOfSelectPPT()
{
    if (!m_running)
        return -1;
    return m_deck ? qBound(0, m_selected, m_deck->slideCount()) : 0;
}

bool PPTEditorMSO::setIndexOfSelectPPT(int index)
{
    if (!m_running || !m_deck || index < 1 || index > m_deck->slideCount())
        return fail(QStringLiteral("There is no slide %1.").arg(index));
    m_selected = index;
    return true;
}

// ---- shapes ----

int PPTEditorMSO::getCountOfTextBoxBySlidePos(int slide)
{
    const PptxPresentation *d = deck(slide);
    return d ? d->shapeCount(slide) : 0;
}

QString PPTEditorMSO::readTextBoxNamebySliderPos(int slide, int shape)
{
    const std::optional<PptxPresentation::Shape> s = readTextBoxBySliderPos(slide, shape);
    return s ? s->name : QString();
}

std::optional<PptxPresentation::Shape> PPTEditorMSO::readTextBoxBySliderPos(int slide, int shape)
{
    const PptxPresentation *d = deck(slide);
    return d ? d->shape(slide, shape) : std::nullopt;
}

QString PPTEditorMSO::readTextBoxByName(const QString &name, int slide)
{
    const PptxPresentation *d = deck(slide);
    return d ? d->readText(slide, name) : QString();
}

bool PPTEditorMSO::writeTextBoxByName(const QString &name, int slide, const QString &content)
{
    PptxPresentation *d = deck(slide);
    if (!d)
        return fail(QStringLiteral("There is no slide %1.").arg(slide + 1));
    if (!d->writeText(slide, name, content))
        return fail(QStringLiteral("Slide %1 has no text box \"%2\".").arg(slide + 1).arg(name));
    return true;
}

bool PPTEditorMSO::addTextBox(int slide, const QString &name, const QString &text, bool hidden)
{
    PptxPresentation *d = deck(slide);
    if (!d)
        return fail(QStringLiteral("There is no slide %1.").arg(slide + 1));
    const QSize size = d->slideSize();
    const QRect box(size.width() - kEmuPerInch * 3 / 2, size.height() - kEmuPerInch / 2, kEmuPerInch, kEmuPerInch * 2 / 5);
    return d->addTextShape(slide, name, text, box, hidden);
}

void PPTEditorMSO::setOvalVisible(bool visible, int slide)
{
    if (PptxPresentation *d = deck(slide))
        d->setVisible(slide, [](const QString &n) { return n.size() >= 4 && n.startsWith(QLatin1String("Oval")); }, visible);
}

void PPTEditorMSO::setTextBoxVisible(bool visible, const QString &name, int slide)
{
    if (PptxPresentation *d = deck(slide))
        d->setVisible(slide, [&name](const QString &n) { return n == name; }, visible);
}

int PPTEditorMSO::countOptions(int slide, bool visibleOnly) const
{
    const PptxPresentation *d = deck(slide);
    if (!d)
        return 0;
    int count = 0;
    for (const PptxPresentation::Shape &s : d->shapes(slide)) {
        if (s.name.size() >= 2 && s.name.at(1) == QLatin1Char('p') && (s.visible || !visibleOnly))
            ++count;
        if (count == 10)
            break;
    }
    return count;
}

int PPTEditorMSO::getAllOptionCountbySlidePos(int slide)
{
    return countOptions(slide, false);
}

int PPTEditorMSO::getOptionCountbySlidePos(int slide)
{
    return countOptions(slide, true);
}

// ---- the show ----

void PPTEditorMSO::ensureShow()
{
    if (!m_show) {
        m_show = std::make_unique<SlideShowWindow>();
        m_show->setStepHandler([this](int step) { stepShow(step); });
    }
}

void PPTEditorMSO::renderShow()
{
    const QByteArray bytes = m_deck->toZip();
    if (m_converter->pdfKey() == OfficeConverter::keyOf(bytes)) {
        if (m_show->pageCount() != m_deck->slideCount() || !m_show->hasPages())
            m_show->setPdf(m_converter->pdfPath());
        return;
    }
    m_show->setPdf(QString());
    m_show->setMessage(QStringLiteral("Preparing the slides..."));
    m_converter->renderPdf(bytes);
}

void PPTEditorMSO::endShow()
{
    if (m_showIndex == 0)
        return;
    m_selected = m_showIndex;
    m_showIndex = 0;
    if (m_show)
        m_show->hide();
    emit showPositionChanged(0);
}

void PPTEditorMSO::stepShow(int step)
{
    switch (step) {
    case SlideShowWindow::Exit: setPPT(0); break;
    case SlideShowWindow::Next: setPPT(3); break;
    case SlideShowWindow::Previous: setPPT(4); break;
    case SlideShowWindow::First: setPPT(1); break;
    case SlideShowWindow::Last: setPPT(2); break;
    default: break;
    }
}

bool PPTEditorMSO::setPPT(int code)
{
    if (!m_deck || m_deck->slideCount() < 1)
        return fail(QStringLiteral("The presentation has no slide to show."));
    const int count = m_deck->slideCount();
    ensureShow();
    if (m_showIndex == 0)
        m_showIndex = 1;
    m_showIndex = qBound(1, m_showIndex, count);
    renderShow();
    // Every code brings the show to the front, full screen.
    if (!m_show->isVisible() || m_show->windowState() != Qt::WindowFullScreen) {
        if (QScreen *screen = QGuiApplication::primaryScreen())
            m_show->setGeometry(screen->geometry());
        m_show->showFullScreen();
    }
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        m_show->raise();
        m_show->requestActivate();
    }
    switch (unsigned(code)) {
    case 0: endShow(); return true;
    case 1: m_showIndex = 1; break;
    case 2: m_showIndex = count; break;
    case 3: m_showIndex = qMin(count, m_showIndex + 1); break;
    case 4: m_showIndex = qMax(1, m_showIndex - 1); break;
    default: break;
    }
    m_show->setSlide(m_showIndex - 1, count);
    emit showPositionChanged(m_showIndex);
    return true;
}

int PPTEditorMSO::getIndexOfShowPPT()
{
    if (!m_running)
        return -1;
    // Asking for the slide on show runs the show, as the callers expect it on screen.
    if (!setPPT(-1))
        return -1;
    return m_showIndex;
}
