#include "framework/application.h"

#include "framework/exceptions.h"

TApplication::TApplication() : backend_(MakeHeadlessBackend()) {}
TApplication::~TApplication() = default;

void TApplication::HandleMessage()
{
    backend_->WaitMessage();
    backend_->ProcessMessages();
}

TApplication& Application()
{
    static TApplication application;
    return application;
}
