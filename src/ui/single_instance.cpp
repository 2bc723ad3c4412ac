#include "ui/single_instance.h"

namespace lullcast {
namespace {

// "Local\": one claim per session, as every user's session has its own
// desktop and its own chat client.
constexpr const wchar_t* kMutexName = L"Local\\LullCast-2k3-running";

}  // namespace

SingleInstance::SingleInstance() : mutex_(CreateMutexW(nullptr, FALSE, kMutexName)) {
    const DWORD error = GetLastError();
    // A mutex of the name that this user may not open is another copy's too.
    // Should the mutex fail for any other reason, the program runs: a claim
    // that cannot be made must not keep the user from it.
    only_copy_ = mutex_ ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

void BringRunningCopyForward(const wchar_t* main_window_class) {
    auto* const running = FindWindowW(main_window_class, nullptr);
    if (running == nullptr) {
        return;
    }
    // The copy that the user has just started may bring a window to the
    // front; it hands that right to the running one, which comes forward
    // itself.
    DWORD process_id = 0;
    GetWindowThreadProcessId(running, &process_id);
    AllowSetForegroundWindow(process_id);
    PostMessageW(running, kComeForwardMessage, 0, 0);
}

}  // namespace lullcast
