#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "client/quill_aol8/window_functions.h"

namespace lullcast::quill_aol8 {

// The window functions of Windows itself (FindWindowA, FindWindowExA,
// GetWindow, SendMessageTimeoutW with a bound). Text is made in the system's
// ANSI code page, the only encoding the client's 8-bit controls understand,
// and crosses as the UTF-16 of those bytes, which such a control turns back
// into the same bytes.
class User32WindowFunctions final : public WindowFunctions {
  public:
    [[nodiscard]] WindowHandle FindTopLevel(std::string_view class_name) override;
    [[nodiscard]] WindowHandle FindChild(WindowHandle parent, WindowHandle after,
                                         std::string_view class_name) override;
    [[nodiscard]] WindowHandle FirstSibling(WindowHandle window) override;
    [[nodiscard]] WindowHandle NextSibling(WindowHandle window) override;
    bool SetText(WindowHandle window, std::string_view text) override;
    bool SendChar(WindowHandle window, std::uint32_t character) override;
    bool LeftButtonDown(WindowHandle window) override;
    bool LeftButtonUp(WindowHandle window) override;
    bool KeyUp(WindowHandle window, std::uint32_t virtual_key) override;
    [[nodiscard]] std::optional<NativeText> ReadText(WindowHandle window,
                                                     std::size_t longest) override;
    bool SetNativeText(WindowHandle window, const NativeText& text) override;
    [[nodiscard]] NativeText ToNative(std::string_view text) override;
    [[nodiscard]] std::string FromNative(const NativeText& text) override;
    bool SetSelection(WindowHandle window, std::int32_t start, std::int32_t end) override;
    [[nodiscard]] std::optional<std::int32_t> LineCount(WindowHandle window) override;
    [[nodiscard]] std::optional<std::int32_t> LineStart(WindowHandle window,
                                                        std::uint32_t line) override;
    [[nodiscard]] std::optional<NativeText> ReadLine(WindowHandle window, std::uint32_t line,
                                                     std::size_t longest) override;
};

}  // namespace lullcast::quill_aol8
