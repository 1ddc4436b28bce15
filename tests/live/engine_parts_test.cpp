// The engine's decisions that need no server: which node to capture, and what a bad line
// on standard input is shown as.

#include <gtest/gtest.h>

#include "tools/live/command_lines.h"
#include "tools/live/graph_model.h"

namespace wt::live {
namespace {

// A graph as a desktop has it: two real sources, a sink, our microphone, a recorder of
// our microphone, and a loopback sink fed by that recorder.
class Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        graph.addNode({1, "laptop-mic", "Laptop", "Audio/Source"}, 1000);
        graph.addNode({2, "usb-headset", "Headset", "Audio/Source"}, 2000);
        graph.addNode({3, "speakers", "Speakers", "Audio/Sink"}, 500);
        graph.addNode({own.mic, kMicName, kMicDescription, "Audio/Source/Virtual"}, 0);
        graph.addNode({5, "loopback", "Loopback", "Audio/Sink"}, 3000);
        graph.addPort({50, own.mic, true, "MONO"});
        graph.addPort({51, 6, false, "MONO"});  // the recorder's input
        graph.addPort({52, 6, true, "MONO"});   // its output, into the loopback
        graph.addPort({53, 5, false, "MONO"});
        graph.addLink({60, 50, 51});
        graph.addLink({61, 52, 53});
    }

    GraphModel graph;
    OwnNodes own{4, 7, 8, ~0u};
};

TEST_F(Desktop, NeverCapturesOurMicrophoneOrWhatItFeeds) {
    EXPECT_EQ(graph.pickInput("", "laptop-mic", "", own), 1u);
    // The default made our microphone: the node captured before stays.
    EXPECT_EQ(graph.pickInput("", kMicName, "laptop-mic", own), 1u);
    // Starting that way: the real source of the highest priority, never the loopback.
    EXPECT_EQ(graph.pickInput("", kMicName, "", own), 2u);
    EXPECT_EQ(graph.pickInput("loopback", "", "", own), std::nullopt);
    EXPECT_EQ(graph.pickInput(kMicName, "", "", own), std::nullopt);
    for (const GraphNode& node : graph.inputs(own))
        EXPECT_TRUE(node.name != kMicName && node.name != "loopback") << node.name;
    // The chosen input gone: nothing, never another node in between.
    graph.remove(2);
    EXPECT_EQ(graph.pickInput("usb-headset", "laptop-mic", "usb-headset", own), std::nullopt);
}

TEST(CommandLines, ALongBinaryLineIsCutAndShownEscaped) {
    CommandLines lines;
    const std::string sent = "\x1b]0;pwned\x07" + std::string(1 << 20, '\0') + "x";
    bool ended = false;
    for (const char c : sent + "\n") ended = lines.take(c);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(lines.cut());
    EXPECT_EQ(lines.line().size(), kLongestCommand);
    const std::string shown = printable(lines.line(), lines.cut());
    EXPECT_EQ(shown.substr(0, 20), "\\x1b]0;pwned\\x07\\x00");
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
}

}  // namespace
}  // namespace wt::live
