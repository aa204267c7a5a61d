#pragma once

#include "core/engine/RequestQuesStusWindow.h"

#include <QList>

#include <functional>
#include <memory>

// Keypads that asked for the question set during a run whose keypads hold the whole set: each
// request is listed (a keypad asking twice is listed twice), and its logged-in student goes to
// the request window, made by the UI layer on the first request and shown when hidden.
// GUI thread only.
class QuestionSetRequests
{
public:
    using WindowFactory = std::function<std::unique_ptr<RequestQuesStusWindow>()>;

    // Process-wide; none: requests are listed but no window opens.
    static void setWindowFactory(WindowFactory factory);

    void add(int d);
    QList<int> arrAskForQueStu() const { return m_arrAskForQueStu; }

private:
    void getQueStuWindowShow(int d);

    QList<int> m_arrAskForQueStu;
    std::unique_ptr<RequestQuesStusWindow> getReqQueCtrl;
};
