// The program's own __cxa_throw: it has the exception recorded in the log, then hands it to
// the runtime's. Kept apart with almost no includes: the compiler declares __cxa_throw
// itself in any file that throws, with a signature of its own.
#include <dlfcn.h>

#include <cstdlib>

namespace zarvo::detail {

extern const bool kThrowHookLinked = true;
void RecordThrow(const void* returnAddress) noexcept;

namespace {

using tThrow = void (*)(void*, void*, void (*)(void*));

tThrow RuntimeThrow() {
    static const tThrow runtime = reinterpret_cast<tThrow>(dlsym(RTLD_NEXT, "__cxa_throw"));
    return runtime;
}

} // namespace

} // namespace zarvo::detail

extern "C" [[noreturn]] void __cxa_throw(void* object, void* type, void (*destroy)(void*)) {
    zarvo::detail::RecordThrow(__builtin_return_address(0));
    if (zarvo::detail::tThrow runtime = zarvo::detail::RuntimeThrow())
        runtime(object, type, destroy);
    std::abort();
}
