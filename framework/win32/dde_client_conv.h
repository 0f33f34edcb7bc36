#pragma once
// The framework's DDE client conversation over DDEML: one service and topic,
// commands sent as asynchronous executes, items fetched by synchronous requests.
// In automatic mode a service that does not answer is started from its command
// line and connected to again.
//
// Wine's DDEML needs care that Windows does not: a completed asynchronous
// execute stays queued on the conversation until it is abandoned (by the
// conversation, transaction 0), and its server side posts a stray acknowledgement
// after each request's reply. Handled by the next request, that acknowledgement
// fails it, and the client then frees the request's item atom before the server
// has read it, so the server refuses it too, acknowledging again: on a busy
// machine the refusals chain. Requests therefore settle the executes sent before
// them and handle the pending DDE messages first; one refused is tried again,
// a few times, each after the messages still on their way have come in and been
// handled. Each name's string handle is kept for the life of the instance, so
// that no atom of ours is made and freed per request.
#include <windows.h>
#include <ddeml.h>

#include <map>
#include <string>

#include "framework/win32/handles.h"

enum TDataMode { ddeAutomatic, ddeManual };

class TDdeClientConv {
public:
    TDdeClientConv();
    virtual ~TDdeClientConv();
    TDdeClientConv(const TDdeClientConv&) = delete;
    TDdeClientConv& operator=(const TDdeClientConv&) = delete;

    TDataMode ConnectMode = ddeAutomatic;
    // Started (show state minimised, not activated) when no server answers in
    // automatic mode: a program path, quoted when it holds blanks, and arguments.
    std::string ServiceApplication;
    // Clipboard format of command texts.
    UINT DdeFmt = CF_TEXT;
    // Set while a command waits for its answer; no other transaction starts then.
    bool WaitStat = false;
    // How long a started service application gets to wait for input, and then to
    // register its service, before the link counts as failed.
    DWORD StartIdleTimeoutMs = 10000;
    DWORD ConnectRetryMs = 3000;

    const std::string& DdeService() const { return service_; }
    const std::string& DdeTopic() const { return topic_; }
    HCONV Conv() const { return conv_.get(); }
    DWORD Instance() const { return instance_.get(); }

    // Closes any open conversation and names the new partner; in automatic mode
    // opens the link at once. True when it is open (or, in manual mode, named).
    bool SetLink(const std::string& service, const std::string& topic);
    bool OpenLink();
    void CloseLink();
    // The link is open and the server has not ended it.
    bool Connected() const;

    // Starts the execute of `command` (a zero-terminated text in DdeFmt) without
    // waiting for the server; `waitFlg` marks the conversation as waiting until
    // the server acknowledges. False when nothing could be sent.
    bool ExecuteMacro(const std::string& command, bool waitFlg);
    // A synchronous request for `item` (a string in code page 1004) in `format`;
    // the reply's data handle, or none.
    UniqueDdeData Request(const std::string& item, UINT format, DWORD timeoutMs);

private:
    friend HDDEDATA CALLBACK DdeClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR);
    bool Initialize();
    bool Connect();
    UniqueHandle StartServiceApplication() const;
    void SettleExecutes();
    HSZ StringHandle(const std::string& text);

    UniqueDdeInstance instance_;
    std::map<std::string, UniqueDdeString> strings_;
    UniqueDdeConversation conv_;
    std::string service_;
    std::string topic_;
    int executesSent_ = 0;
    int executesDone_ = 0;
    bool disconnected_ = false;
};
