#pragma once
// Owners for the kernel objects the program opens. Windows has two "empty" handle values:
// NULL for mutexes, events and registry keys, INVALID_HANDLE_VALUE for files and searches.
// Each owner knows which one its kind uses, so a check for validity is never the wrong one.

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Type Get() const noexcept { return value_; }
    bool IsValid() const noexcept { return value_ != Traits::Empty(); }
    explicit operator bool() const noexcept { return IsValid(); }

    Type Release() noexcept { return std::exchange(value_, Traits::Empty()); }
    void Reset(Type value = Traits::Empty()) noexcept {
        Type old = std::exchange(value_, value);
        if (old != Traits::Empty()) Traits::Close(old);
    }
    // For APIs that return the value through an out-parameter.
    Type* Put() noexcept {
        Reset();
        return &value_;
    }

private:
    Type value_ = Traits::Empty();
};

struct HandleTraits {  // mutexes, events
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};

struct FileHandleTraits {  // CreateFileW results
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};

struct RegKeyTraits {
    using Type = HKEY;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type k) noexcept { ::RegCloseKey(k); }
};

struct FindHandleTraits {  // FindFirstFileW results
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};

struct ModuleTraits {  // LoadLibraryExW results
    using Type = HMODULE;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type m) noexcept { ::FreeLibrary(m); }
};

using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
using UniqueRegKey = UniqueResource<RegKeyTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
