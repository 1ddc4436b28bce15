#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/live/live_engine.h"

// What the server has told the engine about its graph (nodes, ports, links, the session
// manager's defaults), and the decisions taken from it alone: which node to capture, and
// which links our path needs. Plain data, no PipeWire type: the engine feeds it from its
// registry and metadata listeners and acts on what it answers. [main thread]
namespace wt::live {

struct GraphPort {
    uint32_t id;
    uint32_t node;
    bool output;
    std::string channel;  // audio.channel: "MONO", "FL", ...; empty for a non-audio port
};

struct GraphLink {
    uint32_t id;
    uint32_t outputPort;
    uint32_t inputPort;
};

// Our own nodes on the path, SPA_ID_INVALID (~0u) while not yet bound.
struct OwnNodes {
    uint32_t mic = ~0u;
    uint32_t capture = ~0u;
    uint32_t feed = ~0u;
    uint32_t monitor = ~0u;
};

struct LinkPlan {
    uint32_t outputNode, outputPort, inputNode, inputPort;
    bool operator==(const LinkPlan&) const = default;
};

class GraphModel {
  public:
    void addNode(GraphNode node, int prioritySession);
    void addPort(GraphPort port);
    void addLink(GraphLink link);
    void remove(uint32_t id);  // a node, port or link the server removed
    void clear();              // the connection is gone

    const GraphNode* node(uint32_t id) const;
    const GraphNode* nodeNamed(const std::string& name) const;

    // Sources and sinks, our microphone and everything our path feeds left out.
    std::vector<GraphNode> inputs(const OwnNodes& own) const;

    // The audio channels of `node`'s ports in that direction, in port order.
    std::vector<std::string> channels(uint32_t node, bool output) const;

    // The node to capture. `chosen`: the user's --input, followed by name alone (absent
    // while gone). Empty: the default source, unless that is ours or fed by us; then the
    // last node captured (`previous`) while it exists, or else the real source of the
    // highest session priority. nullopt: nothing to capture now.
    std::optional<uint32_t> pickInput(const std::string& chosen, const std::string& defaultSource,
                                      const std::string& previous, const OwnNodes& own) const;

    // The links our path needs now: feed to microphone; `input`'s channels to the capture
    // stream's ports of the same channel; the monitor to every input port of `sink`. A
    // pair whose ports are not listed yet is left out.
    std::vector<LinkPlan> plan(const OwnNodes& own, std::optional<uint32_t> input,
                               std::optional<uint32_t> sink) const;

    // Whether `node` is our microphone or carries what it makes (follows links downstream
    // from the microphone and the feed stream).
    bool fedByUs(uint32_t node, const OwnNodes& own) const;

    const std::vector<GraphLink>& links() const { return links_; }

  private:
    struct Entry {
        GraphNode node;
        int priority;
    };

    std::vector<Entry> nodes_;
    std::vector<GraphPort> ports_;
    std::vector<GraphLink> links_;
};

// Whether a media class is one the engine can capture: a source, or a sink's monitor.
bool capturable(const std::string& mediaClass);
bool isSink(const std::string& mediaClass);

// The node name in a session manager's default-node value: {"name":"alsa_input..."}.
std::string defaultNodeName(const char* json);

}  // namespace wt::live
