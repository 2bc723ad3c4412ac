#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ansi_window_win.h"
#include "controls_win.h"
#include "documents_win.h"
#include "options.h"

namespace lullcast::standin {

class EventLog;

// "_AOL_Toolbar": the strip of toolbar icons; its fifth icon asks for a new
// instant-message window.
class ToolbarStrip final : public PaintedWindow {
  public:
    ToolbarStrip(EventLog& log, std::function<void()> open_im_window);
    ~ToolbarStrip() { DestroyWindowNow(); }
    ToolbarStrip(const ToolbarStrip&) = delete;
    ToolbarStrip& operator=(const ToolbarStrip&) = delete;
    ToolbarStrip(ToolbarStrip&&) = delete;
    ToolbarStrip& operator=(ToolbarStrip&&) = delete;

    bool Create(HWND host, int icons);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnPaint() override;

    std::function<void()> open_im_window_;
    IconRow icons_;
};

// "AOL Toolbar": the band at the top of the frame that holds the strip.
class ToolbarHost final : public PaintedWindow {
  public:
    ToolbarHost(EventLog& log, std::function<void()> open_im_window)
        : strip_(log, std::move(open_im_window)) {}
    ~ToolbarHost() { DestroyWindowNow(); }
    ToolbarHost(const ToolbarHost&) = delete;
    ToolbarHost& operator=(const ToolbarHost&) = delete;
    ToolbarHost(ToolbarHost&&) = delete;
    ToolbarHost& operator=(ToolbarHost&&) = delete;

    bool Create(HWND frame, int icons);
    [[nodiscard]] static int Height();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnSize(LPARAM lparam);
    LRESULT OnPaint() override;

    ToolbarStrip strip_;
};

// "AOL Frame25": the client's main window, with the toolbar at the top and
// the MDI area (the system's MDICLIENT) below it, holding the scenario's
// document windows. It keeps the client's state: whether instant messages
// are accepted.
class ClientFrame final : public AnsiWindow, private DocumentHost {
  public:
    ClientFrame(EventLog& log, Options options, HangRule hang)
        : log_(log), options_(std::move(options)), hang_(std::move(hang)) {}
    ~ClientFrame() { DestroyWindowNow(); }
    ClientFrame(const ClientFrame&) = delete;
    ClientFrame& operator=(const ClientFrame&) = delete;
    ClientFrame(ClientFrame&&) = delete;
    ClientFrame& operator=(ClientFrame&&) = delete;

    // The frame, its toolbar and MDI area, and the scenario's documents.
    bool Create();
    [[nodiscard]] HWND MdiClient() const { return mdi_client_; }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT CallDefault(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnSize(LPARAM lparam);
    LRESULT OnTimer(WPARAM timer_id);
    LRESULT OnReapDocuments();
    LRESULT OnDestroy();

    bool CreateMdiClient();
    bool CreateScenarioDocuments();
    bool AddDocument(std::unique_ptr<DocumentWindow> document, RECT bounds);
    [[nodiscard]] RECT CascadeBounds(int index, int count) const;

    // The toolbar's fifth icon: a new IM window now, or after the delay.
    void RequestImWindow();
    void OpenImWindow();
    void SetImAcceptance(bool accepting);
    void UpdateCaption();
    // Someone says the `index`-th line of --say in room 1.
    void SayLine(std::size_t index);

    // The documents see the frame as their host only.
    DocumentHost& AsHost() { return *this; }
    EventLog& Log() override { return log_; }
    void InstantMessageSent(std::string_view window_name, std::string_view recipient,
                            std::string_view text) override;
    void DocumentClosed() override;

    EventLog& log_;
    const Options options_;
    const HangRule hang_;
    std::unique_ptr<ToolbarHost> toolbar_;
    HWND mdi_client_ = nullptr;  // a child of the frame, destroyed with it
    std::vector<std::unique_ptr<DocumentWindow>> documents_;
    int im_windows_opened_ = 0;
    bool accepting_ims_ = true;
    std::set<UINT_PTR> pending_im_timers_;
    ChatRoom* room1_ = nullptr;
    UINT_PTR next_timer_id_ = 1;
};

}  // namespace lullcast::standin
