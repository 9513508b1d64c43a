// The stand-in engine's JSON: reading never throws, text stays UTF-8 both ways, and a
// painted frame's fast way in gives the value the ordinary reader gives.
#include "devtools_json.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using orv::mb::Json;
using orv::mb::JsonView;

Json parsed(std::string_view text) {
    Json value;
    EXPECT_TRUE(orv::mb::parseJson(text, value)) << text;
    return value;
}

TEST(DevToolsJson, ReadingAnythingMissingGivesNullZeroOrEmpty) {
    const Json message = parsed(R"({"id":7,"result":{"list":[1,"two"],"text":"x","flag":true,"big":1.5e3}})");
    const JsonView m = message;
    EXPECT_EQ(m["id"].integer(), 7);
    EXPECT_EQ(m["result"]["big"].integer(), 1500);
    EXPECT_EQ(m["result"]["list"][1].str(), "two");
    EXPECT_TRUE(m["result"]["flag"].boolean());
    EXPECT_TRUE(m.has("result"));
    // Missing members, elements past the end, members of a non-object, values of another kind.
    EXPECT_TRUE(m["error"]["message"].isNull());
    EXPECT_TRUE(m["result"]["list"][2].isNull());
    EXPECT_TRUE(m["result"]["text"]["deeper"][0].isNull());
    EXPECT_FALSE(m["result"]["list"].has("0"));
    EXPECT_EQ(m["result"]["text"].integer(), 0);
    EXPECT_EQ(m["id"].str(), "");
    EXPECT_FALSE(m["result"]["text"].boolean());
    EXPECT_EQ(m["result"]["text"].size(), 0u);
    EXPECT_TRUE(m["result"]["text"].list().empty());
    EXPECT_TRUE(m["result"]["list"].members().empty());
    EXPECT_EQ(m["result"]["list"].list().size(), 2u);
}

TEST(DevToolsJson, TextThatIsNotOneValueIsRefusedWithoutThrowing) {
    for (const char* text : {"", "{", R"({"a":1,})", R"({"a":"\x"})", R"(["\ud800)", "{} {}", "\"\xff\"", "nul"}) {
        Json value = 5;
        EXPECT_FALSE(orv::mb::parseJson(text, value)) << text;
        EXPECT_EQ(value, Json(5)) << "left as it was: " << text;
    }
}

TEST(DevToolsJson, EscapesAndRawUtf8ReadAsUtf8) {
    const struct {
        const char* json;
        std::string text;
    } cases[] = {
        {R"("\u5173\u952e\u5b57")", "\xE5\x85\xB3\xE9\x94\xAE\xE5\xAD\x97"},        // 关键字 as escapes
        {"\"\xE5\x85\xB3\xE9\x94\xAE\xE5\xAD\x97\"", "\xE5\x85\xB3\xE9\x94\xAE\xE5\xAD\x97"},  // and raw
        {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},                              // a pair: one character
        {R"("a\ud83db")", "a\xEF\xBF\xBD" "b"},                                 // a lone high half
        {R"("\ude00\\ud83d")", "\xEF\xBF\xBD\\ud83d"},                         // a lone low half; \\ then letters is no escape
        {R"("\t\"\/\u0000")", std::string("\t\"/\0", 4)},
    };
    for (const auto& c : cases) {
        Json value;
        ASSERT_TRUE(orv::mb::parseJson(c.json, value)) << c.json;
        EXPECT_EQ(JsonView(value).str(), c.text) << c.json;
    }
}

TEST(DevToolsJson, WritingKeepsUtf8AndReplacesBytesThatAreNotUtf8) {
    EXPECT_EQ(orv::mb::jsonQuoted("\xE5\x85\xB3 \"q\" \\ \n\x01"), "\"\xE5\x85\xB3 \\\"q\\\" \\\\ \\n\\u0001\"");
    EXPECT_EQ(orv::mb::jsonQuoted("gbk \xB9\xD8 end"), "\"gbk \xEF\xBF\xBD\xEF\xBF\xBD end\"");
    const Json params = orv::mb::with({{"width", 800}, {"scale", 1.5}, {"ok", true}, {"z", nullptr}, {"a", "x"}});
    // Members go out in the order they were given.
    EXPECT_EQ(orv::mb::jsonText(params), R"({"width":800,"scale":1.5,"ok":true,"z":null,"a":"x"})");
}

TEST(DevToolsJson, APaintedFrameReadsAsTheOrdinaryReaderReadsIt) {
    const std::string frame = R"({"method":"Page.screencastFrame","params":{"data":"iVBORw0KGgo+/AAA=","metadata":)"
                              R"({"deviceWidth":800},"sessionId":3},"sessionId":"S1"})";
    const std::string texts[] = {
        frame,
        R"({"method":"Page.screencastFrame","params":{"data":"a\/b","sessionId":3}})",  // an escape
        R"({"method":"Page.screencastFrame","params":{"data":"ab"},"params":[1]})",     // params replaced
        R"({"method":"Page.screencastFrame","params":{"data":"ab","data":7}})",         // data replaced
        R"({"method":"Page.screencastFrame","params":{"data":"ab)",                      // cut short
        R"({"method":"Runtime.consoleAPICalled","params":{"data":"ab"}})",
    };
    for (const std::string& text : texts) {
        Json ordinary, fast;
        const bool ordinaryRead = orv::mb::parseJson(text, ordinary);
        std::string consumed = text;
        EXPECT_EQ(orv::mb::parseMessage(consumed, fast), ordinaryRead) << text;
        EXPECT_EQ(fast, ordinary) << text;
    }
    Json value;
    std::string text = frame;
    ASSERT_TRUE(orv::mb::parseMessage(text, value));
    EXPECT_EQ(JsonView(value)["params"]["data"].str(), "iVBORw0KGgo+/AAA=");
    EXPECT_EQ(JsonView(value)["params"]["sessionId"].integer(), 3);
}

}  // namespace
