#pragma once
// The application object: message processing on demand, waiting for the next
// message, timers and the display of an exception. Its platform half is a
// TMessageBackend: the Win32 message loop in the program, a headless one (due
// timers only) in tests and the command-line clipper.
#include <functional>
#include <memory>
#include <string>

#include "framework/dialogs.h"

class Exception;


class TMessageBackend {
public:
    virtual ~TMessageBackend() = default;
    // Handles every pending message (due timers included), then returns.
    virtual void ProcessMessages() = 0;
    // Blocks until a message arrives or a timer falls due; returns at once when
    // nothing could ever arrive.
    virtual void WaitMessage() = 0;
    virtual int StartTimer(unsigned intervalMs, std::function<void()> onTimer) = 0;
    virtual void StopTimer(int id) = 0;
    virtual void ShowException(const Exception& error) = 0;
};

// Runs timers on the caller's thread while it processes or waits.
std::unique_ptr<TMessageBackend> MakeHeadlessBackend();

class TApplication {
public:
    TApplication();
    ~TApplication();

    std::string Title;
    std::string HelpFile;
    bool Terminated = false;

    void ProcessMessages() { backend_->ProcessMessages(); }
    // Waits for the next message, then processes what is pending.
    void HandleMessage();
    void Terminate() { Terminated = true; }
    void ShowException(const Exception& error) { backend_->ShowException(error); }

    // Handles messages until Terminate.
    void Run();

    TMessageBackend& Backend() { return *backend_; }
    void SetBackend(std::unique_ptr<TMessageBackend> backend) { backend_ = std::move(backend); }

    // Modal message dialogs go through this seam (framework/dialogs.h).
    TDialogService& Dialogs() { return *dialogs_; }
    void SetDialogs(std::unique_ptr<TDialogService> dialogs) { dialogs_ = std::move(dialogs); }

private:
    std::unique_ptr<TMessageBackend> backend_;
    std::unique_ptr<TDialogService> dialogs_;
};

TApplication& Application();
