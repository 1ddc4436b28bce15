#include "tools/live/graph_model.h"

#include <algorithm>
#include <cstring>

namespace wt::live {

namespace {

constexpr uint32_t kNone = ~0u;

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

bool isSink(const std::string& mediaClass) {
    return startsWith(mediaClass, "Audio/Sink");
}

bool capturable(const std::string& mediaClass) {
    return startsWith(mediaClass, "Audio/Source") || isSink(mediaClass);
}

std::string defaultNodeName(const char* json) {
    // A session manager writes {"name":"NODE"}; node names hold no quote or backslash.
    if (json == nullptr) return "";
    const char* key = std::strstr(json, "\"name\"");
    if (key == nullptr) return "";
    const char* open = std::strchr(key + 6, '"');
    const char* close = open != nullptr ? std::strchr(open + 1, '"') : nullptr;
    return close != nullptr ? std::string(open + 1, close) : "";
}

void GraphModel::addNode(GraphNode node, int prioritySession) {
    remove(node.id);
    nodes_.push_back({std::move(node), prioritySession});
}

void GraphModel::addPort(GraphPort port) {
    remove(port.id);
    ports_.push_back(std::move(port));
}

void GraphModel::addLink(GraphLink link) {
    remove(link.id);
    links_.push_back(link);
}

void GraphModel::remove(uint32_t id) {
    std::erase_if(nodes_, [id](const Entry& entry) { return entry.node.id == id; });
    std::erase_if(ports_, [id](const GraphPort& port) { return port.id == id; });
    std::erase_if(links_, [id](const GraphLink& link) { return link.id == id; });
}

void GraphModel::clear() {
    nodes_.clear();
    ports_.clear();
    links_.clear();
}

const GraphNode* GraphModel::node(uint32_t id) const {
    for (const Entry& entry : nodes_)
        if (entry.node.id == id) return &entry.node;
    return nullptr;
}

const GraphNode* GraphModel::nodeNamed(const std::string& name) const {
    for (const Entry& entry : nodes_)
        if (entry.node.name == name) return &entry.node;
    return nullptr;
}

bool GraphModel::fedByUs(uint32_t node, const OwnNodes& own) const {
    std::vector<uint32_t> fed;
    // The monitor is left out: its output is the user's to hear, and playing it into the
    // very sink captured is refused where the links are planned.
    for (const uint32_t ours : {own.mic, own.feed})
        if (ours != kNone) fed.push_back(ours);
    const auto nodeOf = [this](uint32_t port) {
        for (const GraphPort& p : ports_)
            if (p.id == port) return p.node;
        return kNone;
    };
    // Grows the set downstream until it stops growing: a graph has few links.
    for (bool grew = true; grew;) {
        grew = false;
        for (const GraphLink& link : links_) {
            const uint32_t from = nodeOf(link.outputPort);
            const uint32_t to = nodeOf(link.inputPort);
            if (to == kNone || std::find(fed.begin(), fed.end(), from) == fed.end() ||
                std::find(fed.begin(), fed.end(), to) != fed.end())
                continue;
            fed.push_back(to);
            grew = true;
        }
    }
    return std::find(fed.begin(), fed.end(), node) != fed.end();
}

std::vector<GraphNode> GraphModel::inputs(const OwnNodes& own) const {
    std::vector<GraphNode> found;
    for (const Entry& entry : nodes_)
        if (capturable(entry.node.mediaClass) && entry.node.name != kMicName &&
            !fedByUs(entry.node.id, own))
            found.push_back(entry.node);
    return found;
}

std::vector<std::string> GraphModel::channels(uint32_t node, bool output) const {
    std::vector<std::string> found;
    for (const GraphPort& port : ports_)
        if (port.node == node && port.output == output && !port.channel.empty())
            found.push_back(port.channel);
    return found;
}

std::optional<uint32_t> GraphModel::pickInput(const std::string& chosen,
                                              const std::string& defaultSource,
                                              const std::string& previous,
                                              const OwnNodes& own) const {
    const auto usable = [&](const GraphNode* node) -> std::optional<uint32_t> {
        if (node == nullptr || !capturable(node->mediaClass) || node->name == kMicName ||
            fedByUs(node->id, own))
            return std::nullopt;
        return node->id;
    };
    if (!chosen.empty()) return usable(nodeNamed(chosen));
    if (const auto found = usable(nodeNamed(defaultSource))) return found;
    if (const auto found = usable(nodeNamed(previous))) return found;
    const Entry* best = nullptr;
    for (const Entry& entry : nodes_)
        if (startsWith(entry.node.mediaClass, "Audio/Source") && usable(&entry.node) &&
            (best == nullptr || entry.priority > best->priority))
            best = &entry;
    return best != nullptr ? std::optional<uint32_t>(best->node.id) : std::nullopt;
}

std::vector<LinkPlan> GraphModel::plan(const OwnNodes& own, std::optional<uint32_t> input,
                                       std::optional<uint32_t> sink) const {
    std::vector<LinkPlan> links;
    const auto portsOf = [this](uint32_t node, bool output) {
        std::vector<const GraphPort*> found;
        for (const GraphPort& port : ports_)
            if (port.node == node && port.output == output) found.push_back(&port);
        return found;
    };
    const auto add = [&](const GraphPort* out, const GraphPort* in) {
        links.push_back({out->node, out->id, in->node, in->id});
    };
    if (own.feed != kNone && own.mic != kNone) {
        const auto out = portsOf(own.feed, true);
        const auto in = portsOf(own.mic, false);
        if (!out.empty() && !in.empty()) add(out.front(), in.front());
    }
    if (input && own.capture != kNone)
        for (const GraphPort* in : portsOf(own.capture, false))
            for (const GraphPort* out : portsOf(*input, true))
                if (out->channel == in->channel) add(out, in);
    if (sink && own.monitor != kNone) {
        const auto out = portsOf(own.monitor, true);
        if (!out.empty())
            for (const GraphPort* in : portsOf(*sink, false)) add(out.front(), in);
    }
    return links;
}

}  // namespace wt::live
