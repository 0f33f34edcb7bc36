#pragma once
// Move-only ownership of a handle that is released by a plain function: one line
// declares the owner of each handle type, e.g.
//   using UniqueModule = UniqueAny<HMODULE, &FreeLibrary>;
// Invalid names the handle's "none" value (nullptr, 0, or a function that returns
// it, for values such as INVALID_HANDLE_VALUE that cannot be template arguments).
// UniqueAnyWith<> is the same for handles released through an owning context, such
// as a string handle freed through the instance that made it.
#include <type_traits>
#include <utility>

namespace unique_any_detail {

template <typename Handle, auto Invalid>
Handle InvalidValue()
{
    if constexpr (std::is_invocable_v<decltype(Invalid)>)
        return Invalid();
    else
        return Handle(Invalid);
}

}  // namespace unique_any_detail

template <typename Handle, auto Close, auto Invalid = nullptr>
class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(Handle handle) : handle_(handle) {}
    ~UniqueAny() { reset(); }
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

    static Handle invalid() { return unique_any_detail::InvalidValue<Handle, Invalid>(); }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != invalid(); }

    Handle release() { return std::exchange(handle_, invalid()); }
    void reset(Handle handle = invalid())
    {
        const Handle old = std::exchange(handle_, handle);
        if (old != invalid()) Close(old);
    }
    // For functions that hand a new handle back through a pointer.
    Handle* put()
    {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = invalid();
};

template <typename Context, typename Handle, auto Close, auto Invalid = nullptr>
class UniqueAnyWith {
public:
    UniqueAnyWith() = default;
    UniqueAnyWith(Context context, Handle handle) : context_(context), handle_(handle) {}
    ~UniqueAnyWith() { reset(); }
    UniqueAnyWith(UniqueAnyWith&& other) noexcept : context_(other.context_), handle_(other.release()) {}
    UniqueAnyWith& operator=(UniqueAnyWith&& other) noexcept
    {
        if (this != &other) {
            reset();
            context_ = other.context_;
            handle_ = other.release();
        }
        return *this;
    }
    UniqueAnyWith(const UniqueAnyWith&) = delete;
    UniqueAnyWith& operator=(const UniqueAnyWith&) = delete;

    static Handle invalid() { return unique_any_detail::InvalidValue<Handle, Invalid>(); }
    Handle get() const { return handle_; }
    Context context() const { return context_; }
    explicit operator bool() const { return handle_ != invalid(); }

    Handle release() { return std::exchange(handle_, invalid()); }
    void reset()
    {
        const Handle old = std::exchange(handle_, invalid());
        if (old != invalid()) Close(context_, old);
    }

private:
    Context context_{};
    Handle handle_ = invalid();
};

// Runs a release function when the scope ends: the pair partner of an acquire
// call that has no handle of its own to own (unlock, end paint, close clipboard).
template <typename Release>
class ScopeExit {
public:
    explicit ScopeExit(Release release) : release_(std::move(release)) {}
    ~ScopeExit()
    {
        if (armed_) release_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    void dismiss() { armed_ = false; }

private:
    Release release_;
    bool armed_ = true;
};
