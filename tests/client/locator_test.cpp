#include "client/quill_aol8/locator.h"

#include "window_builder.h"

namespace lullcast::quill_aol8 {
namespace {

using LocatorTest = ClientTest;

TEST(Locator, DocumentsOfTheMdiAreaAreFoundByTheirSignatures) {
    using Classes = std::vector<std::string_view>;
    struct Document {
        std::string_view class_name;
        Classes children;
    };
    Classes room = kChatRoomParts;
    room.push_back(cls::kRichText);
    const Classes im{cls::kStatic, cls::kEdit, cls::kIcon, cls::kRichText};
    const auto with = [](Classes classes, std::string_view extra) {
        classes.push_back(extra);
        return classes;
    };
    struct Case {
        const char* name;
        std::vector<Document> documents;  // topmost first
        int front, chat, im;              // the document found, -1 for none
    } const cases[] = {
        {"no documents", {}, -1, -1, -1},
        {"chat room", {{cls::kChild, with(with(room, cls::kStatic), cls::kStatic)}}, 0, 0, -1},
        {"without image",
         {{cls::kChild,
           {cls::kStatic, cls::kReadOnlyRichText, cls::kComboBox, cls::kIcon, cls::kRichText}}},
         0,
         -1,
         -1},
        {"transcript but no input", {{cls::kChild, kChatRoomParts}}, 0, -1, -1},
        {"chat room with edit", {{cls::kChild, with(room, cls::kEdit)}}, 0, 0, 0},
        {"im window without static",
         {{cls::kChild, {cls::kEdit, cls::kIcon, cls::kRichText}}},
         0,
         -1,
         -1},
        {"topmost carriers win",
         {{cls::kOtherDocument, {}}, {cls::kChild, room}, {cls::kChild, im}, {cls::kChild, room}},
         1,
         1,
         2},
        {"any class beside an aol child",
         {{cls::kOtherDocument, room}, {cls::kChild, {}}},
         1,
         0,
         -1},
        {"no aol child to start from", {{cls::kOtherDocument, room}}, -1, -1, -1},
    };
    for (const Case& c : cases) {
        WindowBuilder b;
        const WindowHandle area = b.Create(cls::kMdiClient, b.Create(cls::kFrame));
        std::vector<WindowHandle> documents;
        for (const Document& d : c.documents) {
            documents.push_back(b.CreateWith(d.class_name, area, d.children));
        }
        const auto document = [&](int i) {
            return i < 0 ? kNone : documents.at(static_cast<std::size_t>(i));
        };
        // The event loop runs once for each document examined.
        const auto examined = [&](int found) {
            return found >= 0 ? found + 1 : c.front >= 0 ? int(documents.size()) : 0;
        };
        EXPECT_EQ(FindFrontChild(b.windows), document(c.front)) << c.name;
        EXPECT_EQ(FindChatWindow(b.windows, b), document(c.chat)) << c.name;
        EXPECT_EQ(b.Yields(), examined(c.chat)) << c.name;
        EXPECT_EQ(FindImWindow(b.windows, b), document(c.im)) << c.name;
        EXPECT_EQ(b.Yields(), examined(c.chat) + examined(c.im)) << c.name;
    }
}

TEST(Locator, ToolbarIconsAreSteppedThroughAndWrapRound) {
    struct Case {
        int icons;
        std::int16_t index;
        int expected;  // 1-based icon, 0 for none
    } const cases[] = {{8, 0, 1}, {8, 4, 5}, {8, -1, 0}, {3, 4, 1}, {4, 4, 0}};
    for (const Case& c : cases) {
        WindowBuilder b;
        const WindowHandle strip =
            b.Create(cls::kToolbarStrip, b.Create(cls::kToolbarHost, b.Create(cls::kFrame)));
        std::vector<WindowHandle> icons{kNone};
        for (int i = 0; i < c.icons; ++i) {
            icons.push_back(b.Create(cls::kIcon, strip));
            b.Create(cls::kStatic, strip);  // other classes do not count
        }
        EXPECT_EQ(ToolbarIconAt(b.windows, c.index), icons.at(static_cast<std::size_t>(c.expected)))
            << c.icons << " icons, index " << c.index;
    }
}

TEST(Locator, WithoutTheFrameTheChainsSearchTheTopLevelWindows) {
    WindowBuilder b;
    const WindowHandle stray_child = b.Create(cls::kChild);
    const WindowHandle stray_icon = b.Create(cls::kIcon);
    EXPECT_EQ(FindFrontChild(b.windows), stray_child);
    EXPECT_EQ(ToolbarIconAt(b.windows, 0), stray_icon);
    EXPECT_EQ(ToolbarIconAt(b.windows, 1), kNone);
}

TEST_F(LocatorTest, TheRoomInFrontIsFoundAndOneClosedDuringTheSearchIsNot) {
    const ChatRoom lower = OpenChatRoom();
    const ChatRoom upper = OpenChatRoom();
    b.BringToTop(lower.window);
    EXPECT_EQ(FindChatWindow(b.windows, b), lower.window);
    b.BringToTop(upper.window);
    b.BringToTop(b.Create(cls::kChild, area));
    // The search yields at the first candidate, before it reaches either room.
    b.Post([&] { b.Destroy(upper.window); });
    EXPECT_EQ(FindChatWindow(b.windows, b), lower.window);
    // A candidate closed while it is examined ends the walk: its handle is
    // stale and has no next sibling.
    const WindowHandle top = FindFrontChild(b.windows);
    b.Post([&] { b.Destroy(top); });
    EXPECT_EQ(FindChatWindow(b.windows, b), kNone);
}

}  // namespace
}  // namespace lullcast::quill_aol8
