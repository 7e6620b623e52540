#include "tools/sim/Simulation.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/core/Player.h"
#include "app/core/VirtualTime.h"
#include "cd/CdControl.h"
#include "cd/ManualAudioOutput.h"
#include "cd/SilentDisc.h"
#include "script/commands/ScriptCommands.h"

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

std::string positionText(std::uint32_t p) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u:%02u", p & 255u, (p >> 8) & 255u,
                  (p >> 16) & 255u, (p >> 24) & 255u);
    return text;
}

// What happened while one line ran, in order.
struct Effects {
    bool inLine = false;
    std::vector<std::string> list;
    bool stopped = false;
    bool resumed = false;
};

// The CD as the program drives it, noting the transport commands it is sent.
class NotingCd : public CdDevice {
  public:
    NotingCd(CdControl& cd, Effects& effects) : cd_(cd), effects_(effects) {}
    void command(CdCommand c) override {
        if (c == CdCommand::Pause && effects_.inLine) effects_.list.push_back("pause");
        if (c == CdCommand::Stop && effects_.inLine) {
            effects_.list.push_back("stop");
            effects_.stopped = true;
        }
        if (c == CdCommand::Play && !effects_.inLine) effects_.resumed = true;
        cd_.command(c);
    }
    void setTimeFormat(int f) override { cd_.setTimeFormat(f); }
    std::uint32_t position() const override { return cd_.position(); }
    int tracks() const override { return cd_.tracks(); }
    void setTrack(int t) override { cd_.setTrack(t); }
    std::uint32_t trackLength() const override { return cd_.trackLength(); }
    std::uint32_t trackPosition() const override { return cd_.trackPosition(); }
    void setTo(std::int32_t t) override { cd_.setTo(t); }

  private:
    CdControl& cd_;
    Effects& effects_;
};

class NotedSound : public SoundPlayer {
  public:
    NotedSound(SoundCheck& check, Effects& effects, const Modulo1& state)
        : check_(check), effects_(effects), state_(state) {}
    bool play(const std::string& file) override {
        effects_.list.push_back("sound:" + state_.soundFile);
        return check_.playable(file);
    }

  private:
    SoundCheck& check_;
    Effects& effects_;
    const Modulo1& state_;
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
    explicit StreamWarnings(std::ostream& err) : err_(err) {}
    void warn(const std::string& message) override { err_ << "quilo-sim: " << message << "\n"; }

  private:
    std::ostream& err_;
};

// Writes one object for each line the reader runs.
class LineReport : public CommandRunner {
  public:
    LineReport(CommandRunner& next, Modulo1& state, const DisplayForm& form, Effects& effects,
               const std::int64_t& ms, std::ostream& out)
        : next_(next), state_(state), form_(form), effects_(effects), ms_(ms), out_(out) {}

    PassFlow run(ScriptCommand command) override {
        const int line = state_.currentLine + 1;
        const std::string letter =
            command == ScriptCommand::PlainCaption ? "text" : state_.commandLetter;
        const std::uint32_t position = static_cast<std::uint32_t>(state_.cdTrack) |
                                       (static_cast<std::uint32_t>(state_.cdMinutes) << 8) |
                                       (static_cast<std::uint32_t>(state_.cdSeconds) << 16) |
                                       (static_cast<std::uint32_t>(state_.cdFrames) << 24);
        effects_.inLine = true;
        effects_.list.clear();
        const PassFlow flow = next_.run(command);
        effects_.inLine = false;
        json object = {
            {"ms", ms_},         {"pos", positionText(position)}, {"line", line},
            {"command", letter}, {"effects", effects_.list},      {"display", snapshot(form_)}};
        out_ << object.dump() << "\n";
        return flow;
    }

  private:
    CommandRunner& next_;
    Modulo1& state_;
    const DisplayForm& form_;
    Effects& effects_;
    const std::int64_t& ms_;
    std::ostream& out_;
};

bool reached(std::uint32_t p, const std::array<int, 3>& until) {
    const int track = static_cast<int>(p & 255u);
    const int at = static_cast<int>(((p >> 8) & 255u) * 60 + ((p >> 16) & 255u));
    return track > until[0] || (track == until[0] && at >= until[1] * 60 + until[2]);
}

}  // namespace

std::string displaySnapshotJson(const DisplayForm& form) {
    return snapshot(form).dump();
}

std::string tocJson(std::unique_ptr<DiscSource> disc) {
    json tracks = json::array();
    int number = 1;
    for (const DiscTrack& t : disc->tracks()) {
        tracks.push_back({{"track", number++}, {"start", t.start}, {"length", t.length}});
    }
    ManualAudioOutput output(4 * 588, false);
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
    Modulo1 state;
    DisplayForm testo1;
    PanelModel tarvo1;
    ChooserModel chooserModel;
    NoScreen screen;
    StreamWarnings warnings(err_);
    VirtualSeconds seconds;
    ManualAudioOutput output(4 * 588, false);
    const auto lengths = options_.trackSectors;
    CdControl control([lengths] { return std::make_unique<SilentDisc>(lengths); }, output);
    NotingCd cd(control, effects);
    NotedSound sound(sounds_, effects, state);
    NotedMessages messages(effects);
    PathResolver paths(options_.root);
    ScriptFiles files(state, paths);
    CdReadout readout(state, cd, tarvo1);
    ImagePanes panes(state, testo1, pictures_, screen, files, warnings);
    DisplayEvents events(testo1, tarvo1, screen, screen);
    DisplayDefaults defaults(state, testo1, panes, events);
    ScriptCommands commands(state, testo1, defaults, panes,
                            {cd, screen, sound, messages, seconds, files});
    LineReport report(commands, state, testo1, effects, ms, out_);
    LineReader reader(state, testo1, readout, report);
    PlaybackClock clock(state, tarvo1, cd, reader, seconds);
    Chooser chooser(chooserModel, state, tarvo1, paths, warnings);
    ColourTable colours(state, paths);
    ScriptLoader loader(state, paths);
    Player player({state, testo1, tarvo1, chooserModel, chooser, cd, readout, colours, defaults,
                   events, loader, clock, messages, screen, screen});
    control.setEventSink([&](CdEvent e) {
        switch (e) {
            case CdEvent::Done:
                player.mmcontrol1_Done();
                break;
            case CdEvent::PlayCompleted:
                player.mmcontrol1_PlayCompleted();
                break;
            case CdEvent::EjectClick:
                player.mmcontrol1_EjectClick();
                break;
            case CdEvent::EjectCompleted:
                player.mmcontrol1_EjectCompleted();
                break;
        }
    });

    if (auto failure = player.Form_Load()) {
        err_ << "quilo-sim: " << *failure << "\n";
        return 1;
    }
    player.setText6(options_.script);
    player.Command1_Click();
    if (!clock.enabled) {
        err_ << "quilo-sim: "
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
        if (clock.enabled) clock.Timer1_Timer();
        if (effects.resumed) {
            out_ << json{{"ms", ms}, {"pos", positionText(control.position())}, {"clock", "play"}}
                        .dump()
                 << "\n";
        }
        if (effects.stopped) {
            end = "stop";
        } else if (control.mode() == CdMode::Stopped) {
            end = "disc-end";
        } else if (options_.until && reached(control.position(), *options_.until)) {
            end = "until";
        } else if (ms >= kLimitMs) {
            end = "limit";
        }
    }
    out_ << json{{"end", end}, {"ms", ms}, {"pos", positionText(control.position())}}.dump()
         << std::endl;
    return 0;
}

}  // namespace quilo
