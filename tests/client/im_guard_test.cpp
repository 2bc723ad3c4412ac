// An IM window that the client is still building carries the IM signature
// before it has all its icons; it must not be filled and "sent" then.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "client_fixture.h"

namespace lullcast::quill_aol8 {
namespace {

namespace cls = client_class;

using ImGuardTest = ClientTest;

TEST_F(ImGuardTest, AWindowIsUsedOnlyOnceItHasItsTwelfthIcon) {
    // Icons there before the rest come: 6 steps round to the fifth for
    // "the twelfth", 11 to none.
    for (const int early_icons : {6, 11}) {
        WindowBuilder local;
        const WindowHandle frame = local.Create(cls::kFrame);
        const WindowHandle area = local.Create(cls::kMdiClient, frame);
        const WindowHandle strip =
            local.Create(cls::kToolbarStrip, local.Create(cls::kToolbarHost, frame));
        std::vector<WindowHandle> toolbar;
        for (int i = 0; i < 5; ++i) toolbar.push_back(local.Create(cls::kIcon, strip));
        local.Create(cls::kChild, area);  // a document in front, as ever

        std::optional<WindowHandle> im;
        std::vector<WindowHandle> icons;
        int presses = 0;
        local.OnReceive(toolbar[4], [&](const ReceivedMessage& message) {
            if (message.kind != MessageKind::kKeyUp) return;
            ++presses;
            if (!im) {
                im = local.Create(cls::kChild, area);
                for (const std::string_view c : {cls::kStatic, cls::kEdit, cls::kRichText}) {
                    local.Create(c, *im);
                }
                local.BringToTop(*im);
            }
            // Each press finds more of the window built.
            const int wanted = presses == 1 ? early_icons : kImSendIconPosition;
            while (static_cast<int>(icons.size()) < wanted) {
                icons.push_back(local.Create(cls::kIcon, *im));
            }
        });
        QuillClient(local.Windows(), local.Loop()).SendInstantMessage("$im_off", ".");

        EXPECT_EQ(presses, 2) << early_icons;
        ASSERT_EQ(icons.size(), 12U);
        for (std::size_t i = 0; i < icons.size(); ++i) {
            EXPECT_EQ(local.Received(icons[i]).size(), i == 11 ? 2U : 0U)
                << early_icons << " early icons, icon " << i + 1;
        }
    }
}

}  // namespace
}  // namespace lullcast::quill_aol8
