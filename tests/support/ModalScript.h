#pragma once

#include "winui/Dialog.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

// Drives a modal dialog from inside its own message loop: each step runs on a tick of a thread
// timer, so the messages that the step before it posted (keys, clicks) have been handled by
// then. A step may open a nested modal dialog: the next steps then run inside that dialog's loop.
// A script that does not finish in time fails the test and quits every loop.
class ModalScript {
public:
    ModalScript& Then(std::function<void()> step);
    // Waits (tick by tick) until `done` holds.
    ModalScript& WaitUntil(std::function<bool()> done, std::string what);

    // Runs `dialog` modally with the script; returns DoModal's result. A WM_QUIT that the run
    // leaves behind is taken off the queue, so that the next dialog of the test can run.
    INT_PTR Run(CDialog& dialog);

    bool Finished() const { return m_next == m_steps.size(); }

private:
    struct Step {
        std::function<void()> action;
        std::function<bool()> done;
        std::string what;
    };
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> m_steps;
    size_t m_next = 0;
    DWORD m_deadline = 0;
    bool m_timedOut = false;
};

// Input as the dialog's message loop sees it: posted, so that PreTranslateMessage takes part.
void PostKey(HWND window, UINT virtualKey);
void PostChars(HWND window, const std::string& bytes);
// Clicks a button of a dialog (posted, so a dialog that it opens runs in the script's loop).
void PostClick(HWND dialog, int id);

// The enabled, visible dialog that `owner` owns (the one it opened), or null.
HWND FindOwnedDialog(HWND owner);
// The text of a dialog's control.
std::string ItemText(HWND dialog, int id);

// The static texts, buttons and check boxes of a dialog whose text does not fit the control at
// the font the control uses ("ID: text" for each); empty when every text fits.
std::vector<std::string> ControlsWhoseTextIsCut(HWND dialog);
