#pragma once

#include "platform/posix/WinTypesPosix.h"

#include <memory>

class ThreadMessageQueue;

// A window on Linux: an object whose messages are handled on the thread that created it.
// A send from that thread calls the handler at once; a send from another thread waits until the
// owner's message loop has handled it. Once the receiver is destroyed, sends fail at once.
class MessageReceiver {
public:
    MessageReceiver();
    virtual ~MessageReceiver();
    MessageReceiver(const MessageReceiver&) = delete;
    MessageReceiver& operator=(const MessageReceiver&) = delete;

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    const std::shared_ptr<ThreadMessageQueue>& Queue() const { return m_queue; }

private:
    std::shared_ptr<ThreadMessageQueue> m_queue;
};

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the calling thread's message loop once the message being handled returns.
void PostQuitMessage(int exitCode);

// Handles the messages sent to the calling thread's receivers, one at a time, until
// PostQuitMessage; returns its exit code.
int RunMessageLoop();
