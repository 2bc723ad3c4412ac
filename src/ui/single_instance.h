#pragma once

#include <windows.h>

#include "ui/handles.h"

namespace lullcast {

// Posted to the running copy's main window by a copy started after it: come
// to the front, restored if minimised.
inline constexpr UINT kComeForwardMessage = WM_APP + 1;

// The claim of one copy of the program to be the only one running in the
// user's session: a named mutex, which the system lets go of when the process
// ends, however it ends, so a copy that crashed blocks no later start.
class SingleInstance {
  public:
    SingleInstance();

    // False when another copy already holds the claim.
    [[nodiscard]] bool IsOnlyCopy() const { return only_copy_; }

  private:
    UniqueKernelHandle mutex_;
    bool only_copy_ = true;
};

// Asks the running copy's main window, if it has one yet, to come to the
// front. Posted: a copy that is busy is not waited for.
void BringRunningCopyForward(const wchar_t* main_window_class);

}  // namespace lullcast
