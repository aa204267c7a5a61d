#pragma once

#include "PPTEditor.h"
#include "Singleton.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class OfficeConverter;
class SlideShowWindow;

// The working presentation program: Pollix's own. It holds one open deck (the teacher edits a
// deck's design in an office program and opens it again here), reads and writes it as OOXML,
// copies template slides from "template.pptx", and shows it in its own full-screen window from
// the PDF that headless LibreOffice makes of it. The selected slide is the one the teacher chose
// last: shown in the question editor, or on show when the show ended; else the one opened on or
// added last. Every operation answers what really happened; lastErrorText() says why the last
// one failed.
class PPTEditorMSO : public QObject, public PPTEditor
{
    Q_OBJECT
public:
    static PPTEditorMSO *shareManager();
    ~PPTEditorMSO() override;

    // Where "template.pptx" is (the application folder's), asked each time a slide is copied.
    void setTemplateLocator(std::function<QString()> locator) { m_templateLocator = std::move(locator); }
    void setTemplatePath(const QString &path)
    {
        m_templateLocator = [path] { return path; };
    }
    QString templatePath() const { return m_templateLocator ? m_templateLocator() : QString(); }
    // Asked for a file name when a deck that never was saved is saved (the save panel); an
    // empty answer means the teacher gave up: the save is cancelled. Unset: such a save fails.
    void setSavePathProvider(std::function<QString(const QString &suggestedName)> provider)
    {
        m_savePathProvider = std::move(provider);
    }

    // Runs work that takes long (an old .ppt converted by LibreOffice) so that the program stays
    // responsive and the teacher sees that it goes on, captioned with what it does; answers
    // work's result. Unset: work runs on the calling thread. work touches nothing of the driver.
    using LongWorkRunner = std::function<bool(const QString &caption, const std::function<bool()> &work)>;
    void setLongWorkRunner(LongWorkRunner runner) { m_longWorkRunner = std::move(runner); }

    QString lastErrorText() const { return m_lastError; }
    // The open deck's file; empty for a deck never saved.
    QString fileName() const { return m_path; }
    // The open deck as the teacher knows it: its file, or for a deck never saved the name its
    // save panel proposes ("Presentation1.pptx", the .pptx beside an old .ppt); empty without one.
    QString deckName() const;
    bool hasPresentation() const { return m_deck != nullptr; }
    bool isModified() const override;
    void setModified(bool modified) override;
    bool isShowRunning() const;
    // Tests and benchmarks look at the deck itself.
    const PptxPresentation *presentation() const { return m_deck.get(); }
    SlideShowWindow *showWindow() const;
    OfficeConverter *converter() const { return m_converter; }

    void closePresentations() override;
    int getIndexOfShowPPT() override;
    int getIndexOfSelectPPT() override;
    bool setIndexOfSelectPPT(int index) override;
    void setOvalVisible(bool visible, int slide) override;
    void setTextBoxVisible(bool visible, const QString &name, int slide) override;
    bool pasteSlide() override;
    bool copySlideByIndex(int index) override;
    bool setPPT(int code) override;
    int getAllOptionCountbySlidePos(int slide) override;
    int getOptionCountbySlidePos(int slide) override;
    int getCountOfTextBoxBySlidePos(int slide) override;
    int getCountOfSlide() override;
    bool writeTextBoxByName(const QString &name, int slide, const QString &content) override;
    QString readTextBoxNamebySliderPos(int slide, int shape) override;
    std::optional<PptxPresentation::Shape> readTextBoxBySliderPos(int slide, int shape) override;
    QString readTextBoxByName(const QString &name, int slide) override;
    bool deleteSlideIsWithPos(bool byPosition, int slide) override;
    bool IsPPTRuningForOpen() override;
    bool tempIsRunning() override;
    bool pptIsRunning() override;
    bool insertSlide(const QString &presentationName, int position) override;
    bool newPPT(const QString &fileName) override;
    void changePPTToClose() override;
    void changePPTToSamll() override;
    SaveResult savePPT(QString *errorText = nullptr) override;
    bool openPPT(const QString &fileName, QString *errorText = nullptr) override;
    SaveResult quitPPTAndSave(QString *errorText = nullptr) override;
    void quitPPT() override;
    bool startPPT() override;

    // A shape added to a slide (a deck from elsewhere may lack the exam ID box of slide 0).
    bool addTextBox(int slide, const QString &name, const QString &text, bool hidden) override;

signals:
    // The show moved, started or ended (index 1-based; 0 when it ended).
    void showPositionChanged(int index);

private:
    friend class Singleton<PPTEditorMSO>;
    PPTEditorMSO();
    bool fail(const QString &why, QString *errorText = nullptr);
    bool isTemplateDeck() const;
    PptxPresentation *deck(int slide) const;
    int countOptions(int slide, bool visibleOnly) const;
    void stepShow(int step);
    void ensureShow();
    void renderShow();
    void endShow();
    const PptxPresentation *templateDeck();

    std::unique_ptr<PptxPresentation> m_deck;
    QString m_path;
    QString m_displayName;
    bool m_running = false;
    int m_selected = 0;
    int m_showIndex = 0;
    std::optional<PptxPresentation::SlideCopy> m_clipboard;
    std::function<QString()> m_templateLocator;
    std::unique_ptr<PptxPresentation> m_template;
    QDateTime m_templateTime;
    qint64 m_templateSize = -1;
    std::function<QString(const QString &)> m_savePathProvider;
    LongWorkRunner m_longWorkRunner;
    QString m_lastError;
    OfficeConverter *m_converter = nullptr;
    std::unique_ptr<SlideShowWindow> m_show;
};
