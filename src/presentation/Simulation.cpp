#include "presentation/Simulation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cd/CdControl.h"
#include "cd/CdForwarder.h"
#include "cd/ManualAudioOutput.h"
#include "cd/SilentDisc.h"
#include "presentation/Presentation.h"
#include "presentation/VirtualTime.h"

namespace quilo {
namespace {

using json = nlohmann::ordered_json;

std::string hex(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
    return text;
}

long twips(float value) {
    return std::lround(value);
}

json label(const Label& l) {
    return {{"caption", l.caption},
            {"fore", hex(l.fore)},
            {"back", hex(l.back)},
            {"backStyle", l.backStyle},
            {"left", twips(l.geometry.left)},
            {"top", twips(l.geometry.top)},
            {"width", twips(l.geometry.width)},
            {"height", twips(l.geometry.height)},
            {"visible", l.visible}};
}

json pane(const ImagePane& p) {
    return {{"source", p.source},
            {"visible", p.visible},
            {"left", twips(p.geometry.left)},
            {"top", twips(p.geometry.top)},
            {"width", twips(p.geometry.width)},
            {"height", twips(p.geometry.height)}};
}

json snapshot(const DisplayForm& f) {
    json s;
    s["back"] = hex(f.backColour);
    s["Label1"] = json::array({label(f.Label1[0]), label(f.Label1[1])});
    s["Label2"] = json::array({label(f.Label2[0]), label(f.Label2[1])});
    const TextBox& t = f.Text1;
    s["Text1"] = {{"text", t.text},
                  {"left", twips(t.geometry.left)},
                  {"top", twips(t.geometry.top)},
                  {"width", twips(t.geometry.width)},
                  {"height", twips(t.geometry.height)},
                  {"visible", t.visible}};
    for (int i = 1; i <= 4; ++i) s["ImgEdit" + std::to_string(i)] = pane(f.ImgEdit[i]);
    return s;
}

// What happened while one line ran, in order.
struct Effects {
    bool inLine = false;
    std::vector<std::string> list;
    bool stopped = false;
    bool resumed = false;
};

// The CD as the program drives it, noting the transport commands it is sent.
class NotingCd : public CdForwarder {
  public:
    NotingCd(CdControl& cd, Effects& effects) : CdForwarder(cd), effects_(effects) {}
    void command(CdCommand c) override {
        if (c == CdCommand::Pause && effects_.inLine) effects_.list.push_back("pause");
        if (c == CdCommand::Stop && effects_.inLine) {
            effects_.list.push_back("stop");
            effects_.stopped = true;
        }
        if (c == CdCommand::Play && !effects_.inLine) effects_.resumed = true;
        CdForwarder::command(c);
    }

  private:
    Effects& effects_;
};

class NotedSound : public SoundPlayer {
  public:
    NotedSound(SoundCheck& check, Effects& effects) : check_(check), effects_(effects) {}
    void watch(const Modulo1& state) { state_ = &state; }
    bool play(const std::string& file) override {
        effects_.list.push_back("sound:" + state_->soundFile);
        return check_.playable(file);
    }

  private:
    SoundCheck& check_;
    Effects& effects_;
    const Modulo1* state_ = nullptr;
};

class NotedMessages : public MessageBox {
  public:
    explicit NotedMessages(Effects& effects) : effects_(effects) {}
    void show(const std::string& text) override {
        effects_.list.push_back("message:" + text);
        last = text;
    }
    std::string last;

  private:
    Effects& effects_;
};

class NoScreen : public Presenter, public Windows, public ProgramExit {
  public:
    void repaintNow(Repaint) override {}
    void showTransitionFrame() override {}
    void bringToFront(Window) override {}
    void quit() override {}
};

class StreamWarnings : public Warnings {
  public:
    StreamWarnings(std::ostream& err, std::string program)
        : err_(err), program_(std::move(program)) {}
    void warn(const std::string& message) override { err_ << program_ << ": " << message << "\n"; }

  private:
    std::ostream& err_;
    std::string program_;
};

// Writes one object for each line the reader runs.
class LineReport : public CommandTap {
  public:
    LineReport(Effects& effects, const std::int64_t& ms, std::ostream& out,
               std::function<void(const CueReport&)> onCue)
        : effects_(effects), ms_(ms), out_(out), onCue_(std::move(onCue)) {}
    void watch(const Modulo1& state, const DisplayForm& form) {
        state_ = &state;
        form_ = &form;
    }

    PassFlow run(ScriptCommand command, CommandRunner& next) override {
        const int line = state_->currentLine + 1;
        const std::string letter =
            command == ScriptCommand::PlainCaption ? "text" : state_->commandLetter;
        const CdPosition position{state_->cdTrack, state_->cdMinutes, state_->cdSeconds,
                                  state_->cdFrames};
        effects_.inLine = true;
        effects_.list.clear();
        const std::string text = state_->scriptLines[state_->currentLine];
        const PassFlow flow = next.run(command);
        effects_.inLine = false;
        if (onCue_) onCue_({ms_, position.text(), line, letter, text, *form_});
        json object = {
            {"ms", ms_},         {"pos", position.text()},   {"line", line},
            {"command", letter}, {"effects", effects_.list}, {"display", snapshot(*form_)}};
        out_ << object.dump() << "\n";
        return flow;
    }

  private:
    Effects& effects_;
    const std::int64_t& ms_;
    std::ostream& out_;
    std::function<void(const CueReport&)> onCue_;
    const Modulo1* state_ = nullptr;
    const DisplayForm* form_ = nullptr;
};

bool reached(const CdPosition& p, const std::array<int, 3>& until) {
    const int at = p.minutes * 60 + p.seconds;
    return p.track > until[0] || (p.track == until[0] && at >= until[1] * 60 + until[2]);
}

}  // namespace

std::string tocJson(std::unique_ptr<DiscSource> disc) {
    json tracks = json::array();
    int number = 1;
    for (const DiscTrack& t : disc->tracks()) {
        tracks.push_back({{"track", number++}, {"start", t.start}, {"length", t.length}});
    }
    ManualAudioOutput output(kVirtualBufferFrames, false);
    std::shared_ptr<DiscSource> shared = std::move(disc);
    CdControl cd(
        [shared]() -> std::unique_ptr<DiscSource> {
            return std::make_unique<SilentDisc>([&] {
                std::vector<std::int32_t> lengths;
                for (const auto& t : shared->tracks()) lengths.push_back(t.length);
                return lengths;
            }());
        },
        output);
    cd.command(CdCommand::Open);
    Modulo1 state;
    PanelModel panel;
    CdReadout readout(state, cd, panel);
    readout.LetturaCodiceCd();
    return json{{"tracks", tracks}, {"discCode", std::stoll(panel.Text7)}}.dump();
}

int Simulation::run() {
    Effects effects;
    std::int64_t ms = 0;
    NoScreen screen;
    StreamWarnings warnings(err_, options_.program);
    VirtualSeconds seconds;
    ManualAudioOutput output(kVirtualBufferFrames, false);
    const auto lengths = options_.trackSectors;
    CdControl control([lengths] { return std::make_unique<SilentDisc>(lengths); }, output);
    NotingCd cd(control, effects);
    NotedSound sound(sounds_, effects);
    NotedMessages messages(effects);
    LineReport report(effects, ms, out_, options_.onCue);
    Presentation core({cd, pictures_, screen, screen, sound, messages, seconds, screen, warnings,
                       options_.root, &report});
    core.loader().useText(options_.scriptText);
    report.watch(core.state(), core.testo1());
    sound.watch(core.state());
    control.setEventSink([&core](CdEvent e) { core.onCdEvent(e); });

    if (auto failure = core.startUp().Form_Load()) {
        err_ << options_.program << ": " << *failure << "\n";
        return 1;
    }
    core.player().setText6(options_.script);
    core.player().Command1_Click();
    PlaybackClock& clock = core.clock();
    if (!clock.enabled) {
        err_ << options_.program << ": "
             << (messages.last.empty()
                     ? "il nome del copione non termina in \"txt\": " + options_.script
                     : messages.last)
             << "\n";
        return 1;
    }
    control.buttonPlay();

    VirtualTime time(control, output, seconds);
    std::string end;
    while (end.empty()) {
        time.stepMillisecond();
        ms = time.milliseconds();
        effects.resumed = false;
        if (clock.enabled && ms % std::max(1, options_.clockEveryMs) == 0) clock.Timer1_Timer();
        const CdPosition at = CdPosition::unpack(control.position());
        if (effects.resumed) {
            out_ << json{{"ms", ms}, {"pos", at.text()}, {"clock", "play"}}.dump() << "\n";
        }
        if (effects.stopped) {
            end = "stop";
        } else if (control.mode() == CdMode::Stopped) {
            end = "disc-end";
        } else if (options_.until && reached(at, *options_.until)) {
            end = "until";
        } else if (ms >= kLimitMs) {
            end = "limit";
        }
    }
    out_ << json{{"end", end}, {"ms", ms}, {"pos", CdPosition::unpack(control.position()).text()}}
                .dump()
         << std::endl;
    return 0;
}

}  // namespace quilo
