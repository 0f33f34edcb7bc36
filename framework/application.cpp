#include "framework/application.h"

#include "framework/dialogs.h"
#include "framework/exceptions.h"

TApplication::TApplication() : backend_(MakeHeadlessBackend()), dialogs_(MakeHeadlessDialogs()) {}
TApplication::~TApplication() = default;

void TApplication::HandleMessage()
{
    backend_->WaitMessage();
    backend_->ProcessMessages();
}

void TApplication::Run()
{
    while (!Terminated) HandleMessage();
}

TApplication& Application()
{
    static TApplication application;
    return application;
}
