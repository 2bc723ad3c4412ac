#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "client/quill_aol8/actions.h"
#include "client/quill_aol8/quill_client.h"
#include "window_builder.h"

namespace lullcast::quill_aol8 {

// Builds the parts of the client that the tests need: the frame with its MDI
// area and toolbar, chat rooms and instant-message windows.
class ClientTest : public ::testing::Test {
  protected:
    struct Client {
        WindowHandle frame;
        WindowHandle area;
        WindowHandle strip;
        std::vector<WindowHandle> toolbar_icons;
    };
    struct ChatRoom {
        WindowHandle window;
        WindowHandle input;
    };
    struct ImWindow {
        WindowHandle window;
        WindowHandle recipient;
        WindowHandle body;
        std::vector<WindowHandle> icons;
    };

    Client AddClient(int toolbar_icons = 8) {
        namespace cls = client_class;
        const WindowHandle frame = builder.Create(cls::kFrame);
        const WindowHandle area = builder.Create(cls::kMdiClient, frame);
        const WindowHandle host = builder.Create(cls::kToolbarHost, frame);
        const WindowHandle strip = builder.Create(cls::kToolbarStrip, host);
        return {.frame = frame,
                .area = area,
                .strip = strip,
                .toolbar_icons = AddChildren(cls::kIcon, strip, toolbar_icons)};
    }

    std::vector<WindowHandle> AddChildren(std::string_view class_name, WindowHandle parent,
                                          int count) {
        std::vector<WindowHandle> children;
        for (int i = 0; i < count; ++i) {
            children.push_back(builder.Create(class_name, parent));
        }
        return children;
    }

    // A window of the class under `parent` with one child of each class given.
    WindowHandle AddWindowWith(std::string_view class_name, WindowHandle parent,
                               const std::vector<std::string_view>& child_classes) {
        const WindowHandle window = builder.Create(class_name, parent);
        for (const std::string_view child_class : child_classes) {
            builder.Create(child_class, window);
        }
        return window;
    }

    // Opened rooms and IM windows come to the front, as the client shows them.
    ChatRoom OpenChatRoom(WindowHandle area) {
        namespace cls = client_class;
        const WindowHandle room = AddWindowWith(
            cls::kChild, area,
            {cls::kStatic, cls::kReadOnlyRichText, cls::kComboBox, cls::kIcon, cls::kImage});
        // The transcript comes first: the input's lookup must pass over it.
        const WindowHandle input = builder.Create(cls::kRichText, room);
        builder.BringToTop(room);
        return {.window = room, .input = input};
    }

    ImWindow OpenImWindow(WindowHandle area) {
        namespace cls = client_class;
        const WindowHandle window = AddWindowWith(cls::kChild, area, {cls::kStatic});
        const WindowHandle recipient = builder.Create(cls::kEdit, window);
        const WindowHandle body = builder.Create(cls::kRichText, window);
        const ImWindow im{.window = window,
                          .recipient = recipient,
                          .body = body,
                          .icons = AddChildren(cls::kIcon, window, kImSendIconPosition)};
        builder.BringToTop(window);
        return im;
    }

    WindowBuilder builder;
    WindowFunctions& windows = builder.Windows();
    EventLoop& loop = builder.Loop();
    QuillClient quill{windows, loop};
};

}  // namespace lullcast::quill_aol8
