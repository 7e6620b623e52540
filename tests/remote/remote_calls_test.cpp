#include "remote/RemoteCalls.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace quilo {
namespace {

TEST(RemoteCalls, ParsesEachCommandAndRefusesEverythingElse) {
    EXPECT_EQ(std::get<RemoteCommand>(parseRemoteCommand(R"({"cmd":"next-cue"})")).kind,
              RemoteCommandKind::NextCue);
    const auto go =
        std::get<RemoteCommand>(parseRemoteCommand(R"({"cmd":"goto","at":"02:01:30"})"));
    EXPECT_EQ(go.at, (CdPosition{2, 1, 30, 0}));
    EXPECT_TRUE(std::get<RemoteCommand>(parseRemoteCommand(R"({"cmd":"black","on":true})")).on);
    EXPECT_EQ(
        std::get<RemoteCommand>(parseRemoteCommand(R"({"cmd":"message","text":"Più piano"})")).text,
        "Più piano");
    const std::string tooLong = R"({"cmd":"message","text":")" + std::string(281, 'x') + "\"}";
    for (const std::string body :
         {std::string(R"({"cmd":"black"})"), std::string(R"({"cmd":"black","on":1})"),
          std::string(R"({"cmd":"message"})"), tooLong})
        EXPECT_TRUE(std::holds_alternative<std::string>(parseRemoteCommand(body))) << body;
    for (const char* body :
         {"", "null", "[]", R"({"cmd":1})", R"({"cmd":"format-disk"})", R"({"cmd":"goto"})",
          R"({"cmd":"goto","at":"00:00:01"})", R"({"cmd":"goto","at":"01:00:60"})",
          R"({"cmd":"goto","at":"1:0:5"})", "{\"cmd\":\"play\"", "\xFF\xFE"})
        EXPECT_TRUE(std::holds_alternative<std::string>(parseRemoteCommand(body))) << body;
    // Where the disc has no such place: a track past its last, a second past a track's end.
    const std::vector<std::int32_t> disc = {62 * 75, 90 * 75 + 40};
    EXPECT_FALSE(outsideDisc({2, 1, 30, 0}, disc));
    EXPECT_FALSE(outsideDisc({4, 0, 0, 0}, {}));  // no disc known: nothing to say
    EXPECT_EQ(outsideDisc({2, 1, 31, 0}, disc), "il brano 2 dura 1:30");
    EXPECT_EQ(outsideDisc({1, 99, 59, 0}, disc), "il brano 1 dura 1:02");
    EXPECT_EQ(outsideDisc({3, 0, 0, 0}, disc), "il disco ha 2 brani");
}

TEST(RemoteCalls, GivesTheCueOnViewTheNextAndTheShowsTimesAsJson) {
    Modulo1 state;
    state.scriptPath = "/home/a/Allegato/mostra.txt";
    const char* lines[] = {"01:00:01Benvenuti14C", "99 x   0",          "01:00:05alba.pngM",
                           "01:00:05twin12C",      "01:00:09Cantiamo+", "prima riga",
                           "ultima riga-",         "02:00:03Fine15E",   "**"};
    for (int i = 0; i < 9; ++i) state.scriptLines.assign(i, lines[i]);
    state.lineCount = 9;
    // Track 1 lasts 62 s: the show runs from 01:00:01 to 02:00:03, 64 s.
    ShowSide side{Transport::Playing, {62 * 75, 90 * 75}, std::nullopt};
    const auto json = nlohmann::json::parse(stateJson(remoteState(state, {1, 0, 7, 30}, side)));
    EXPECT_EQ(json["position"], "01:00:07:30");
    EXPECT_EQ(json["ms"], 7400);
    EXPECT_EQ(json["transport"], "playing");
    EXPECT_EQ(json["current"]["line"], 3);
    EXPECT_EQ(json["current"]["letter"], "M");
    EXPECT_EQ(json["current"]["kind"], "picture");
    EXPECT_EQ(json["next"]["text"], "Cantiamo\nprima riga\nultima riga");
    EXPECT_EQ(json["script"], "mostra.txt");
    EXPECT_EQ(json["elapsed"], 6);
    EXPECT_EQ(json["remaining"], 58);  // 57.6 s, rounded up
    EXPECT_FALSE(json["ended"]);
    EXPECT_TRUE(json["pause"].is_null());
    // A scripted pause counts whole seconds from its full length.
    state.pauseActive = 1;
    for (const auto& [left, said] : {std::pair{8.0, 8}, {7.4, 8}, {0.2, 1}, {0.0, 0}}) {
        side.pauseLeft = left;
        EXPECT_EQ(nlohmann::json::parse(stateJson(remoteState(state, {}, side)))["pause"], said);
    }
    state.pauseActive = 0;
    const auto before = nlohmann::json::parse(stateJson(remoteState(state, {1, 0, 0, 0}, {})));
    EXPECT_TRUE(before["current"].is_null());
    EXPECT_EQ(before["next"]["line"], 1);
    EXPECT_TRUE(before["elapsed"].is_null());  // no disc known
    side.transport = Transport::Stopped;
    EXPECT_TRUE(nlohmann::json::parse(stateJson(remoteState(state, {2, 0, 4, 0}, side)))["ended"]);
    const auto cues = nlohmann::json::parse(cuesJson(state));
    ASSERT_EQ(cues.size(), 5u);
    EXPECT_EQ(cues[4]["at"], "02:00:03");
    // A script saved with one letter changed is another version of the list.
    const std::string version = cuesVersion(state);
    state.scriptLines.assign(3, "01:00:05twin13C");
    EXPECT_NE(cuesVersion(state), version);
}

}  // namespace
}  // namespace quilo
