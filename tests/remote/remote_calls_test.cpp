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

TEST(RemoteCalls, GivesTheCueOnViewAndTheNextAsJson) {
    Modulo1 state;
    state.scriptPath = "/home/a/Allegato/mostra.txt";
    const char* lines[] = {"01:00:01Benvenuti14C", "99 x   0",        "01:00:05alba.pngM",
                           "01:00:05twin12C",      "02:00:03Fine15E", "**"};
    for (int i = 0; i < 6; ++i) state.scriptLines.assign(i, lines[i]);
    state.lineCount = 6;
    const auto json =
        nlohmann::json::parse(stateJson(remoteState(state, {1, 0, 7, 30}, Transport::Playing)));
    EXPECT_EQ(json["position"], "01:00:07:30");
    EXPECT_EQ(json["ms"], 7400);
    EXPECT_EQ(json["transport"], "playing");
    EXPECT_EQ(json["current"]["line"], 3);
    EXPECT_EQ(json["current"]["letter"], "M");
    EXPECT_EQ(json["current"]["text"], "alba.png");
    EXPECT_EQ(json["next"]["text"], "Fine");
    EXPECT_EQ(json["script"], "mostra.txt");
    EXPECT_TRUE(json["pause"].is_null());
    state.pauseActive = 1;
    state.pauseSeconds = 8;
    state.elapsedSeconds = 3;
    EXPECT_EQ(nlohmann::json::parse(stateJson(remoteState(state, {}, {})))["pause"], 5);
    const auto before = nlohmann::json::parse(stateJson(remoteState(state, {1, 0, 0, 0}, {})));
    EXPECT_TRUE(before["current"].is_null());
    EXPECT_EQ(before["next"]["line"], 1);
    const auto cues = nlohmann::json::parse(cuesJson(state));
    ASSERT_EQ(cues.size(), 4u);
    EXPECT_EQ(cues[3]["at"], "02:00:03");
}

}  // namespace
}  // namespace quilo
