#pragma once

#include <string>
#include <string_view>

namespace lullcast {

// Where the user's handle is kept between runs.
class HandleStore {
  public:
    virtual ~HandleStore() = default;

    // The stored handle, or the empty text when none is stored.
    [[nodiscard]] virtual std::string LoadHandle() = 0;

    // Stores `handle`, replacing what was stored. A failed write goes unnoticed.
    virtual void SaveHandle(std::string_view handle) = 0;

  protected:
    HandleStore() = default;
    HandleStore(const HandleStore&) = default;
    HandleStore& operator=(const HandleStore&) = default;
    HandleStore(HandleStore&&) = default;
    HandleStore& operator=(HandleStore&&) = default;
};

// For a program without a settings file: nothing is stored, nothing loads.
class NoHandleStore final : public HandleStore {
  public:
    [[nodiscard]] std::string LoadHandle() override { return {}; }
    void SaveHandle(std::string_view /*handle*/) override {}
};

}  // namespace lullcast
