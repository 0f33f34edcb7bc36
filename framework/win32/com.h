#pragma once
// Owners for COM: an interface pointer released once, and the calling
// thread's COM for as long as a scope lasts. Header-only, so that the shipped
// plug-in, which links nothing of the framework, shares them.
#include <windows.h>
#include <objbase.h>

template <typename T>
class UniqueCom {
public:
    UniqueCom() = default;
    ~UniqueCom() { reset(); }
    UniqueCom(const UniqueCom&) = delete;
    UniqueCom& operator=(const UniqueCom&) = delete;

    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For a call that hands out a new reference: the old one is released first.
    T** put()
    {
        reset();
        return &p_;
    }
    void reset()
    {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

// COM for the calling thread, as long as the scope lasts, unless it already has it.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool ready() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};
