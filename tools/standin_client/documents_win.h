#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ansi_window_win.h"
#include "controls_win.h"
#include "transcript_win.h"

namespace lullcast::standin {

class EventLog;

// A line that hangs the client: a posted line whose visible text contains
// `text` (bytes of the ANSI code page) stops the window thread for `ms`, as
// the real client stops now and then. No text or no time: never.
struct HangRule {
    std::string text;
    int ms = 0;

    [[nodiscard]] bool HangsOn(std::string_view shown_text) const {
        return ms > 0 && !text.empty() && shown_text.find(text) != std::string_view::npos;
    }
};

// What the document windows need of the client around them.
class DocumentHost {
  public:
    [[nodiscard]] virtual EventLog& Log() = 0;
    // An instant-message window sent its message.
    virtual void InstantMessageSent(std::string_view window_name, std::string_view recipient,
                                    std::string_view text) = 0;
    // A document window has gone; its object may be let go of.
    virtual void DocumentClosed() = 0;

  protected:
    DocumentHost() = default;
    ~DocumentHost() = default;
    DocumentHost(const DocumentHost&) = default;
    DocumentHost& operator=(const DocumentHost&) = default;
    DocumentHost(DocumentHost&&) = default;
    DocumentHost& operator=(DocumentHost&&) = default;
};

// "AOL Child": a document window of the client's MDI area. Its kind comes
// from its children alone, as a program that tells the kinds apart by their
// children's classes sees it.
class DocumentWindow : public AnsiWindow {
  public:
    virtual ~DocumentWindow() = default;
    DocumentWindow(const DocumentWindow&) = delete;
    DocumentWindow& operator=(const DocumentWindow&) = delete;
    DocumentWindow(DocumentWindow&&) = delete;
    DocumentWindow& operator=(DocumentWindow&&) = delete;

    // Creates the window in the MDI area, in front of the others, and its
    // children.
    bool Create(HWND mdi_client, RECT bounds);
    // The name that the event log gives the window ("room1", "im2", "doc1").
    [[nodiscard]] const std::string& Name() const { return name_; }

  protected:
    DocumentWindow(DocumentHost& host, std::string name, std::string title)
        : host_(host), name_(std::move(name)), title_(std::move(title)) {}

    [[nodiscard]] DocumentHost& Host() const { return host_; }
    virtual bool CreateChildren() = 0;
    virtual void LayOut(int width, int height) = 0;
    // Lays the children out in the window as it is now.
    void LayOutNow();

    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT CallDefault(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    LRESULT OnSize(WPARAM wparam, LPARAM lparam);
    LRESULT OnMdiActivate(WPARAM wparam, LPARAM lparam);
    LRESULT OnDestroy();
    void BringToFront();

    DocumentHost& host_;
    std::string name_;
    std::string title_;
};

// A chat room: the six children that mark one, an input that posts its text
// to the room on the Enter character, and a row of icons.
class ChatRoom final : public DocumentWindow {
  public:
    ChatRoom(DocumentHost& host, int number, int icons, HangRule hang, int keep_lines,
             bool plain_transcript);
    // Someone else says `text` (bytes of the code page) in the room.
    void Say(std::string_view name, std::string_view text);
    // The transcript holds `lines` lines of talk at once.
    void Fill(int lines) { transcript_.Fill(lines); }
    ~ChatRoom() override { DestroyWindowNow(); }
    ChatRoom(const ChatRoom&) = delete;
    ChatRoom& operator=(const ChatRoom&) = delete;
    ChatRoom(ChatRoom&&) = delete;
    ChatRoom& operator=(ChatRoom&&) = delete;

  private:
    bool CreateChildren() override;
    void LayOut(int width, int height) override;
    void Post(const std::string& line);
    void Hang() const;

    int number_;
    int icon_count_;
    HangRule hang_;
    int keep_lines_;
    bool plain_transcript_;
    Label title_label_;
    Picture picture_;
    Transcript transcript_;
    PeopleList people_;
    TextField input_;
    IconRow icons_;
};

// An instant-message window: recipient, text and icons; a press of its
// twelfth icon sends the message and closes the window. With a build step,
// it opens empty and gets its children one at a time, that far apart, as the
// client's own IM window does.
class ImWindow final : public DocumentWindow {
  public:
    ImWindow(DocumentHost& host, int number, int icons, int build_step_ms);
    ~ImWindow() override { DestroyWindowNow(); }
    ImWindow(const ImWindow&) = delete;
    ImWindow& operator=(const ImWindow&) = delete;
    ImWindow(ImWindow&&) = delete;
    ImWindow& operator=(ImWindow&&) = delete;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool CreateChildren() override;
    void LayOut(int width, int height) override;
    bool CreateNextChild();
    void BuildStep();
    void IconPressed(int position);
    void IconReleased(int position);
    void Send();
    void Close();

    int icon_count_;
    int build_step_ms_;
    int children_made_ = 0;
    bool sent_ = false;
    bool closing_ = false;
    Label to_label_;
    TextField recipient_;
    TextField body_;
    IconRow icons_;
};

// Any other document window: a caption line and icons, no signature.
class PlainDocument final : public DocumentWindow {
  public:
    PlainDocument(DocumentHost& host, int number, int icons);
    ~PlainDocument() override { DestroyWindowNow(); }
    PlainDocument(const PlainDocument&) = delete;
    PlainDocument& operator=(const PlainDocument&) = delete;
    PlainDocument(PlainDocument&&) = delete;
    PlainDocument& operator=(PlainDocument&&) = delete;

  private:
    bool CreateChildren() override;
    void LayOut(int width, int height) override;

    int number_;
    int icon_count_;
    Label caption_;
    IconRow icons_;
};

}  // namespace lullcast::standin
