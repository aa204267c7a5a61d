#pragma once

#include "PptxPresentation.h"

#include <QString>

#include <optional>

// The presentation program as the rest of Pollix sees it: open, create, save and close a slide
// deck, copy template slides in, read and write named shapes, count option shapes, and run the
// slide show. Positions: a slide position and a shape position count from 0; the selected slide
// and the slide on show are 1-based, as the callers expect.
//
// These bodies are the harmless defaults of a program that is not there; PPTEditorMSO is the
// working one. Where the operations can fail they answer their real outcome.
class PPTEditor
{
public:
    PPTEditor() = default;
    virtual ~PPTEditor() = default;
    PPTEditor(const PPTEditor &) = delete;
    PPTEditor &operator=(const PPTEditor &) = delete;

    // What a save came to. A deck never saved asks for a file name first; a teacher who gives up
    // there has cancelled, which is no failure: nothing is told and the deck stays as it was.
    enum class SaveResult { Saved, Cancelled, Failed };

    bool bSomePPTOpen() const { return m_bSomePPTOpen; }
    void setBSomePPTOpen(bool v) { m_bSomePPTOpen = v; }

    virtual void closePresentations() {}
    virtual int getIndexOfShowPPT() { return 0; }
    virtual int getIndexOfSelectPPT() { return 0; }
    // The teacher chose this slide (1-based); false when there is no such slide.
    virtual bool setIndexOfSelectPPT(int) { return false; }
    virtual void setOvalVisible(bool, int) {}
    virtual void setTextBoxVisible(bool, const QString &, int) {}
    virtual int getCountOfRuningPPT() { return 0; }
    virtual bool pasteSlide() { return false; }
    virtual bool copySlideByIndex(int) { return false; }
    // Slide-show control: 0 exit, 1 first, 2 last, 3 next, 4 previous; any code puts the show in front.
    virtual bool setPPT(int) { return false; }
    virtual int getAllOptionCountbySlidePos(int) { return 0; }
    virtual int getOptionCountbySlidePos(int) { return 0; }
    virtual int getCountOfTextBoxBySlidePos(int) { return 0; }
    virtual int getCountOfSlide() { return 0; }
    virtual void insertTextBox(const QString &, int) {}
    virtual bool writeTextBoxByName(const QString &, int, const QString &) { return false; }
    virtual QString readTextBoxNamebySliderPos(int, int) { return QString(); }
    virtual std::optional<PptxPresentation::Shape> readTextBoxBySliderPos(int, int) { return std::nullopt; }
    virtual std::optional<PptxPresentation::Shape> getTextBoxbySliderPos(int slide, int shape)
    {
        return readTextBoxBySliderPos(slide, shape);
    }
    virtual QString readTextBoxByName(const QString &, int) { return QString(); }
    virtual bool deleteSlideIsWithPos(bool, int) { return true; }
    virtual bool IsPPTRuningForOpen() { return true; }
    virtual bool tempIsRunning() { return true; }
    virtual bool pptIsRunning() { return true; }
    virtual bool insertSlide(const QString &, int) { return true; }
    virtual bool newPPT(const QString &) { return true; }
    virtual void changePPTToClose() {}
    virtual void changePPTToSamll() {}
    virtual SaveResult savePPT(QString * = nullptr) { return SaveResult::Saved; }
    // Whether the open deck holds what its file lacks; a change taken back sets it as it was.
    virtual bool isModified() const { return false; }
    virtual void setModified(bool) {}
    virtual bool openPPT(const QString &, QString * = nullptr) { return true; }
    virtual SaveResult quitPPTAndSave(QString * = nullptr) { return SaveResult::Saved; }
    virtual void quitPPT() {}
    virtual bool startPPT() { return true; }
    // A text box added to a slide (a deck from elsewhere may lack a box the format needs).
    virtual bool addTextBox(int, const QString &, const QString &, bool) { return false; }

private:
    bool m_bSomePPTOpen = false;
};
