#include "framework/win32/dde_client_conv.h"

#include <vector>

#include <dde.h>

#include "framework/win32/wide.h"

namespace {

// How long a request waits for the executes sent before it to be acknowledged.
constexpr DWORD kSettleLimitMs = 2000;
constexpr DWORD kConnectRetryPauseMs = 50;
constexpr int kRequestAttempts = 4;

// Handles the DDE messages queued for this thread's conversation windows, and
// nothing else: no user input is dispatched from here.
void PumpDdeMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) DispatchMessageW(&message);
}

void WaitForPostedMessage(DWORD ms)
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_POSTMESSAGE | QS_SENDMESSAGE);
}

// Handles DDE messages as they come until none has come for a while: what a
// busy server still had on its way is taken before the next transaction.
void DrainDdeMessages()
{
    constexpr DWORD kQuietMs = 30, kLimitMs = 500;
    const DWORD start = GetTickCount();
    DWORD lastSeen = start;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
            DispatchMessageW(&message);
            lastSeen = GetTickCount();
        }
        const DWORD now = GetTickCount();
        if (now - lastSeen >= kQuietMs || now - start >= kLimitMs) return;
        WaitForPostedMessage(5);
    }
}

}  // namespace

// The conversation's owner travels as the conversation's user handle, so that
// no table of conversations is needed.
HDDEDATA CALLBACK DdeClientCallback(UINT type, UINT, HCONV conv, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    if (type != XTYP_XACT_COMPLETE && type != XTYP_DISCONNECT) return nullptr;
    CONVINFO info{};
    info.cb = sizeof info;
    if (!DdeQueryConvInfo(conv, QID_SYNC, &info) || !info.hUser) return nullptr;
    auto& owner = *reinterpret_cast<TDdeClientConv*>(info.hUser);
    if (owner.Conv() != conv) return nullptr;
    if (type == XTYP_XACT_COMPLETE) {
        ++owner.executesDone_;
        owner.WaitStat = false;
    } else {
        owner.disconnected_ = true;
    }
    return nullptr;
}

TDdeClientConv::TDdeClientConv() = default;

TDdeClientConv::~TDdeClientConv()
{
    CloseLink();
}

bool TDdeClientConv::Initialize()
{
    if (instance_) return true;
    DWORD id = 0;
    if (DdeInitializeA(&id, &DdeClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
    instance_ = UniqueDdeInstance(id);
    return true;
}

bool TDdeClientConv::SetLink(const std::string& service, const std::string& topic)
{
    CloseLink();
    service_ = service;
    topic_ = topic;
    return ConnectMode == ddeAutomatic ? OpenLink() : true;
}

HSZ TDdeClientConv::StringHandle(const std::string& text)
{
    const auto known = strings_.find(text);
    if (known != strings_.end()) return known->second.get();
    const DWORD instance = instance_.get();
    UniqueDdeString made(instance, DdeCreateStringHandleA(instance, text.c_str(), CP_WINANSI));
    if (!made) return nullptr;
    return strings_.emplace(text, std::move(made)).first->second.get();
}

bool TDdeClientConv::Connect()
{
    const HSZ service = StringHandle(service_);
    const HSZ topic = StringHandle(topic_);
    if (!service || !topic) return false;
    UniqueDdeConversation conv(DdeConnect(instance_.get(), service, topic, nullptr));
    if (!conv) return false;
    DdeSetUserHandle(conv.get(), QID_SYNC, reinterpret_cast<DWORD_PTR>(this));
    conv_ = std::move(conv);
    executesSent_ = executesDone_ = 0;
    disconnected_ = false;
    WaitStat = false;
    return true;
}

UniqueHandle TDdeClientConv::StartServiceApplication() const
{
    std::wstring commandLine = Utf8ToWide(ServiceApplication);
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return {};
    const UniqueHandle thread(started.hThread);
    return UniqueHandle(started.hProcess);
}

bool TDdeClientConv::OpenLink()
{
    if (conv_) return true;
    if (service_.empty() || topic_.empty() || !Initialize()) return false;
    if (Connect()) return true;
    if (ConnectMode != ddeAutomatic || ServiceApplication.empty()) return false;

    // Like the platform's WinExec, give the started program the chance to reach
    // its message loop; one that registers its service later still gets a few
    // short retries, within a bound, and none once it has ended.
    const UniqueHandle process = StartServiceApplication();
    if (!process) return false;
    WaitForInputIdle(process.get(), StartIdleTimeoutMs);
    const DWORD start = GetTickCount();
    for (;;) {
        if (Connect()) return true;
        if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return false;
        if (GetTickCount() - start >= ConnectRetryMs) return false;
        Sleep(kConnectRetryPauseMs);
    }
}

void TDdeClientConv::CloseLink()
{
    conv_.reset();
    executesSent_ = executesDone_ = 0;
    disconnected_ = false;
    WaitStat = false;
}

bool TDdeClientConv::Connected() const
{
    if (!conv_ || disconnected_) return false;
    CONVINFO info{};
    info.cb = sizeof info;
    return DdeQueryConvInfo(conv_.get(), QID_SYNC, &info) && (info.wStatus & ST_CONNECTED);
}

bool TDdeClientConv::ExecuteMacro(const std::string& command, bool waitFlg)
{
    if (!conv_ || WaitStat) return false;
    const DWORD instance = instance_.get();
    std::vector<BYTE> text(command.begin(), command.end());
    text.push_back(0);
    HDDEDATA data = DdeCreateDataHandle(instance, text.data(), DWORD(text.size()), 0, nullptr, DdeFmt, 0);
    if (!data) return false;
    // The data handle belongs to DDEML from here on, whatever the outcome.
    DWORD transaction = 0;
    if (!DdeClientTransaction(reinterpret_cast<LPBYTE>(data), DWORD(-1), conv_.get(), nullptr, DdeFmt, XTYP_EXECUTE,
                              TIMEOUT_ASYNC, &transaction))
        return false;
    ++executesSent_;
    WaitStat = waitFlg;
    return true;
}

void TDdeClientConv::SettleExecutes()
{
    if (executesSent_ == 0) return;
    const DWORD start = GetTickCount();
    for (;;) {
        PumpDdeMessages();
        if (executesDone_ >= executesSent_ || disconnected_ || GetTickCount() - start >= kSettleLimitMs) break;
        WaitForPostedMessage(10);
    }
    DdeAbandonTransaction(instance_.get(), conv_.get(), 0);
    executesSent_ = executesDone_ = 0;
}

UniqueDdeData TDdeClientConv::Request(const std::string& item, UINT format, DWORD timeoutMs)
{
    if (!conv_ || WaitStat) return {};
    SettleExecutes();
    const HSZ itemString = StringHandle(item);
    if (!itemString) return {};
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        if (attempt == 0)
            PumpDdeMessages();
        else
            DrainDdeMessages();
        HDDEDATA reply =
            DdeClientTransaction(nullptr, 0, conv_.get(), itemString, format, XTYP_REQUEST, timeoutMs, nullptr);
        if (reply) return UniqueDdeData(reply);
        if (DdeGetLastError(instance_.get()) != DMLERR_NOTPROCESSED) break;
    }
    return {};
}
