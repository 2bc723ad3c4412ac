#include "app/form1.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <system_error>
#include <utility>
#include <variant>

#include "app/last_input_clock.h"
#include "app/main_window.h"
#include "core/client_operations.h"
#include "core/event_loop.h"
#include "core/pause.h"
#include "fade/announcer.h"
#include "settings/handle_store.h"
#include "settings/settings_fields.h"
#include "settings/settings_store.h"

namespace lullcast {
namespace {

constexpr std::string_view kDialogTitle = "Lull-Cast 2k3";
constexpr std::string_view kBanner = "¬ Lull-Cast 2k3 ¬ tarn";
constexpr std::string_view kFallbackHandle = "newbie";

constexpr std::string_view kWelcome = "Welcome to Lull-Cast!";
constexpr std::string_view kGoingIdle = "Going Idle...";
constexpr std::string_view kIdling = "Idling...";
constexpr std::string_view kReturning = "Returning...";
constexpr std::string_view kSendingData = "Sending data to chat...";
constexpr std::string_view kByeBye = "Bye-Bye!";

// Icons of the client's front-most document window.
constexpr int kIconClickedOnStart = 6;
constexpr int kIconClickedEachMinute = 1;

constexpr std::uint64_t kSecondsPerMinute = 60;
constexpr std::uint64_t kMinutesPerHour = 60;
constexpr std::uint64_t kMillisecondsPerMinute = 60'000;
// Ticks that catch up on a late timer come back to back; the transcript is
// read once a second all the same.
constexpr MonoTime kLeastLookGap = std::chrono::milliseconds(900);

// For the plain program, which never asks.
class NoLastInput final : public LastInputClock {
  public:
    [[nodiscard]] std::uint32_t MillisecondsSinceLastInput() override { return 0; }
};

// Not a function's static: its guard would bring the runtime's thread-safe
// initialisation, a lock and a condition variable, into the program for one
// object without state.
NoLastInput never_asked;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables): no state
NoSettingsStore nowhere;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables): no state

constexpr std::string_view kAboutText =
    "Lull-Cast 2k3 was written in C++ against the Win32 API by tarn.\n"
    "It works with America Online 7.0 and 8.0.";
constexpr std::string_view kGreetzText =
    "Greetz to Quartz (for the idea behind the window's look), Pixie, Mako, Juniper, Static, "
    "Vesper, Orbit, Lark, Fennel and Wisp. If you were left out, sorry: it was the "
    "late hours, not you.";
constexpr std::string_view kContactsText =
    "AIM: LullCastTarn\n"
    "E-mail: tarn@example.com";

// The counters hold decimal texts that only this class writes, so a text
// that is not a number cannot occur; it would read as 0.
std::uint64_t CounterValue(std::string_view text) {
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string CounterText(std::uint64_t value) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return {digits.data(), result.ptr};
}

std::string Joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) {
        text += piece;
    }
    return text;
}

// How the lines of `look` are composed; the plain look where it has no
// colours or face of its own.
LineLook LookOf(const LookSettings& look) {
    return {.colours = look.fade.size() >= 2 ? std::span<const Colour>(look.fade)
                                             : std::span<const Colour>(kPlainFadeColours),
            .wavy = look.wavy,
            .face = look.face.empty() ? kChatFontFace : std::string_view(look.face)};
}

// One-digit counter values read as two digits: "7" becomes "07". Any other
// text, "07" included, is left alone, so the rule settles after one round.
std::optional<std::string> TwoDigitForm(std::string_view text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') {
        return Joined({"0", text});
    }
    return std::nullopt;
}

}  // namespace

Form1::Form1(MainWindow& window, ClientOperations& client, HandleStore& handle_store,
             EventLoop& event_loop)
    : Form1(window, client, handle_store, event_loop, plain_settings_, never_asked) {}

Form1::Form1(MainWindow& window, ClientOperations& client, HandleStore& handle_store,
             EventLoop& event_loop, AwaySettings& settings, LastInputClock& last_input)
    : Form1(window, client, handle_store, event_loop, settings, last_input, nowhere) {}

Form1::Form1(MainWindow& window, ClientOperations& client, HandleStore& handle_store,
             EventLoop& event_loop, AwaySettings& settings, LastInputClock& last_input,
             SettingsStore& settings_store)
    : window_(window),
      client_(client),
      handle_store_(handle_store),
      event_loop_(event_loop),
      settings_(settings),
      last_input_(last_input),
      settings_store_(settings_store) {}

// ---- Start-up, Start, Stop, Exit, Minimise ----

void Form1::Form_Load() {
    const BusyScope busy(*this);
    window_.MakeTopmost();
    SetHandle(handle_store_.LoadHandle());
    if (handle_.empty()) {
        SetHandle(std::string(kFallbackHandle));
    }
    Announce(kBanner);
    PauseBetweenLines();
    Announce(Joined({"¬ loaded ¬ ", handle_}));
}

void Form1::SSCommand1_Click() { StartFlow(std::nullopt); }

void Form1::StartFlow(const std::optional<std::string>& given_reason) {
    const BusyScope busy(*this);
    window_.SetStatusLine(kGoingIdle);
    client_.ClickFrontChildIcon(kIconClickedOnStart);
    rsn_ = given_reason
               ? *given_reason
               : window_.PromptForText("What is your reason?", kDialogTitle, "brb").value_or("");
    SetStartEnabled(false);
    window_.SetStopEnabled(true);
    SetTickRunning(true);
    period_report_minutes_ = settings_.report_minutes;
    SetHrZ("0");
    SetSecZ("0");
    SetMinz("0");
    BeginAwayLog();
    Announce(Joined({"¬ activated ¬ by.", handle_}));
    PauseBetweenLines();
    Announce(Joined({"¬ rsn ¬ ", rsn_}));
    PauseBetweenLines();
    ShowIdlingIfStillIdle();
}

void Form1::SSCommand2_Click() {
    const BusyScope busy(*this);
    // However the period ends, it is over: no input ends it a second time.
    auto_started_at_.reset();
    window_.SetStatusLine(kReturning);
    SetStartEnabled(true);
    window_.SetStopEnabled(false);
    SetTickRunning(false);
    // Read once more for what came since the last tick, with Stop disabled:
    // the read runs the event loop.
    const std::string mentions = EndAwayLog();
    Announce(Joined({"¬ deactivated ¬ by.", handle_}));
    PauseBetweenLines();
    Announce(Joined({"¬ hrs: [", hrz_, "] ¬ mins: [", minz_, "] ¬ secs: [", secz_, "]"}));
    PauseBetweenLines();
    window_.SetStatusLine(kWelcome);
    if (!mentions.empty()) {
        window_.ShowMentions(mentions);
    }
}

void Form1::SetStartEnabled(bool enabled) {
    start_enabled_ = enabled;
    window_.SetStartEnabled(enabled);
}

void Form1::SetTickRunning(bool running) {
    tick_running_ = running;
    window_.SetTickRunning(running);
}

void Form1::ShowIdlingIfStillIdle() {
    if (tick_running_) {
        window_.SetStatusLine(kIdling);
    }
}

// ---- Auto-away ----

void Form1::AutoAway_Timer() {
    if (busy_ > 0) {
        return;
    }
    // A period that auto-away began waits for the user's return even when
    // auto-away has been switched off since.
    if (auto_started_at_) {
        ReturnOnInput();
        return;
    }
    if (!settings_.auto_away_minutes) {
        return;
    }
    const std::uint64_t idle = last_input_.MillisecondsSinceLastInput();
    if (!start_enabled_ ||
        idle < static_cast<std::uint64_t>(*settings_.auto_away_minutes) * kMillisecondsPerMinute) {
        return;
    }
    auto_started_at_ = event_loop_.Now();
    StartFlow(settings_.auto_reason);
    // Input that came during Start's own pauses ends the period right away.
    ReturnOnInput();
}

void Form1::ReturnOnInput() {
    if (!auto_started_at_ || busy_ > 0) {
        return;
    }
    const auto since_start = std::chrono::duration_cast<std::chrono::milliseconds>(
        event_loop_.Now() - *auto_started_at_);
    // Input before the period began is older than the period itself; the
    // desktop had been idle for minutes by then, so a clock's coarse steps
    // cannot make it look newer.
    if (static_cast<std::int64_t>(last_input_.MillisecondsSinceLastInput()) < since_start.count()) {
        SSCommand2_Click();
    }
}

void Form1::Label3_Click() { ExitFlow(); }
void Form1::Exit_Click() { ExitFlow(); }

void Form1::ExitFlow() {
    const BusyScope busy(*this);
    window_.SetStatusLine(kByeBye);
    PauseBetweenLines();
    Announce(kBanner);
    PauseBetweenLines();
    Announce(Joined({"¬ unloaded ¬ ", handle_}));
    window_.EndProgram();
    // EndProgram does not return; should a window break that promise, no
    // step of any flow may run after the goodbye all the same.
    std::abort();
}

void Form1::Label2_Click() { MinimiseFlow(); }
void Form1::Minimize_Click() { MinimiseFlow(); }
void Form1::MinimiseFlow() { window_.Minimise(); }

// ---- The elapsed-time counter ----

void Form1::Timer1_Timer() {
    SetSecZ(CounterText(CounterValue(secz_) + 1));
    window_.SetElapsedDisplay(Joined({hrz_, ":", minz_, ":", secz_}));
    if (CounterValue(secz_) == kSecondsPerMinute) {
        if (IsReportMinute()) {
            ReportMinute();
        } else {
            CarrySecondsIntoMinutes();
        }
    }
    if (CounterValue(minz_) == kMinutesPerHour) {
        CarryMinutesIntoHours();
    }
    LookForMentions(false);
}

// Counted on the whole elapsed minutes, so that an interval that does not
// divide the hour keeps its spacing across the hours.
bool Form1::IsReportMinute() const {
    const auto interval = static_cast<std::uint64_t>(period_report_minutes_);
    const std::uint64_t minutes = CounterValue(hrz_) * kMinutesPerHour + CounterValue(minz_) + 1;
    return interval <= 1 || minutes % interval == 0;
}

// Every minute carries, reported or not.
void Form1::CarrySecondsIntoMinutes() {
    SetSecZ("0");
    SetMinz(CounterText(CounterValue(minz_) + 1));
}

void Form1::ReportMinute() {
    const BusyScope busy(*this);
    client_.ClickFrontChildIcon(kIconClickedEachMinute);
    CarrySecondsIntoMinutes();
    window_.SetStatusLine(kSendingData);
    Announce(Joined({"¬ ", handle_, " ¬ idle"}));
    PauseBetweenLines();
    Announce(Joined({"¬ rsn ¬ ", rsn_}));
    PauseBetweenLines();
    // The minutes are already advanced, the hours not yet: the last report of
    // an hour reads "mins: [60]".
    Announce(Joined({"¬ hrs: [", hrz_, "] ¬ mins: [", minz_, "]"}));
    ShowIdlingIfStillIdle();
}

void Form1::CarryMinutesIntoHours() {
    SetMinz("0");
    SetHrZ(CounterText(CounterValue(hrz_) + 1));
}

void Form1::SetHrZ(std::string text) {
    hrz_ = std::move(text);
    HrZ_Change();
}
void Form1::SetMinz(std::string text) {
    minz_ = std::move(text);
    Minz_Change();
}
void Form1::SetSecZ(std::string text) {
    secz_ = std::move(text);
    SecZ_Change();
}

void Form1::HrZ_Change() {
    if (auto two_digits = TwoDigitForm(hrz_)) {
        SetHrZ(*std::move(two_digits));
    }
}
void Form1::Minz_Change() {
    if (auto two_digits = TwoDigitForm(minz_)) {
        SetMinz(*std::move(two_digits));
    }
}
void Form1::SecZ_Change() {
    if (auto two_digits = TwoDigitForm(secz_)) {
        SetSecZ(*std::move(two_digits));
    }
}

// ---- The handle ----

void Form1::SetHandle(std::string text) {
    handle_ = std::move(text);
    Handle_Change();
}

void Form1::Handle_Change() { handle_store_.SaveHandle(handle_); }

void Form1::HandleChange_Click() {
    const BusyScope busy(*this);
    // Cancel keeps the current handle: only an answer given with OK, even an
    // empty one, replaces it.
    const std::optional<std::string> answer =
        window_.PromptForText("What is your handle?", kDialogTitle, kFallbackHandle);
    if (!answer) {
        return;
    }
    SetHandle(*answer);
    Announce(Joined({"¬ handle ¬ changed [", *answer, "]"}));
}

// ---- The settings ----

void Form1::Settings_Click() {
    const BusyScope busy(*this);
    const bool starts_with_windows = settings_store_.StartsWithWindows();
    const std::optional<SettingsChoice> choice = window_.EditSettings(
        {FieldsShowing(settings_), starts_with_windows}, [this](const LookSettings& look) {
            return ComposeChatLine(LookOf(look), Joined({"¬ activated ¬ by.", handle_}));
        });
    if (!choice) {
        return;
    }
    auto chosen = SettingsFromFields(choice->fields);
    auto* const settings = std::get_if<AwaySettings>(&chosen);
    if (settings == nullptr) {
        return;  // the dialog takes no field that is not valid
    }
    const std::string not_saved =
        SaveSettings(settings_, *settings, starts_with_windows, choice->start_with_windows);
    // The values apply for this session whether or not they were saved.
    settings_ = std::move(*settings);
    if (!not_saved.empty()) {
        window_.ShowInformationBox(
            Joined({"These settings could not be saved, and hold only until Lull-Cast ends: ",
                    not_saved, "."}),
            kDialogTitle, InformationBoxStyle::kStop);
    }
}

std::string Form1::SaveSettings(const AwaySettings& before, const AwaySettings& after,
                                bool starts_with_windows, bool start_with_windows) {
    std::string not_saved;
    const auto note_failure = [&not_saved](std::string_view name) {
        not_saved.append(not_saved.empty() ? "" : ", ").append(name);
    };
    for (const EntryChange& change : ChangedEntries(before, after)) {
        if (!settings_store_.WriteEntry(change.key, change.value)) {
            note_failure(change.name);
        }
    }
    if (start_with_windows != starts_with_windows &&
        !settings_store_.SetStartWithWindows(start_with_windows)) {
        note_failure("Start with Windows");
    }
    return not_saved;
}

// ---- Instant messages and the information boxes ----

void Form1::IMzOff_Click() { SwitchInstantMessages("¬ ims ¬ [off]", "$im_off"); }
void Form1::IMzON_Click() { SwitchInstantMessages("¬ ims ¬ [on]", "$im_on"); }

void Form1::SwitchInstantMessages(std::string_view announcement, std::string_view recipient) {
    const BusyScope busy(*this);
    Announce(announcement);
    client_.SendInstantMessage(recipient, ".");
}

void Form1::About_Click() {
    const BusyScope busy(*this);
    window_.ShowInformationBox(kAboutText, kDialogTitle, InformationBoxStyle::kStop);
}
void Form1::Greetz_Click() {
    const BusyScope busy(*this);
    window_.ShowInformationBox(kGreetzText, kDialogTitle, InformationBoxStyle::kInformation);
}
void Form1::Contacts_Click() {
    const BusyScope busy(*this);
    window_.ShowInformationBox(kContactsText, kDialogTitle, InformationBoxStyle::kInformation);
}

// ---- The away log ----

void Form1::BeginAwayLog() {
    if (!settings_.away_log) {
        return;
    }
    ++period_;
    logging_ = true;
    away_log_.Begin();
    LookForMentions(true);
}

void Form1::LookForMentions(bool whenever) {
    const MonoTime now = event_loop_.Now();
    if (!logging_ || looking_ || (!whenever && last_look_ && now - *last_look_ < kLeastLookGap)) {
        return;
    }
    last_look_ = now;
    const int period = period_;
    looking_ = true;
    const std::optional<ClientOperations::Transcript> transcript = client_.ReadFrontTranscript();
    looking_ = false;
    if (transcript && logging_ && period == period_) {
        away_log_.Look(transcript->room, transcript->text, handle_, window_.TimeOfDay(),
                       transcript->end_unread);
    }
}

std::string Form1::EndAwayLog() {
    if (!logging_) {
        return {};
    }
    LookForMentions(true);
    logging_ = false;
    return away_log_.MentionList();
}

// ---- Chat lines ----

std::span<const Colour> Form1::FadeColours() const { return LookOf(settings_.look).colours; }

void Form1::Announce(std::string_view text) {
    if (logging_) {
        away_log_.NotePosted(text);
    }
    // The look is read afresh for every line.
    lullcast::Announce(client_, LookOf(settings_.look), text);
}

void Form1::PauseBetweenLines() { Pause(event_loop_, kAnnouncementGapSeconds); }

}  // namespace lullcast
