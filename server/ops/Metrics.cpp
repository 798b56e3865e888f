#include "ops/Metrics.h"
#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace tender::server {
namespace {

std::string escaped(const std::string& text, bool quotes)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' && quotes)
            out += "\\\"";
        else
            out += c;
    }
    return out;
}

std::string labelText(const Labels& labels)
{
    std::string text;
    for (const auto& [name, value] : labels)
        text += (text.empty() ? "" : ",") + name + "=\"" + escaped(value, true) + "\"";
    return text.empty() ? text : "{" + text + "}";
}

std::string number(double value)
{
    char buffer[32];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string withLabel(const std::string& labels, const std::string& extra)
{
    if (labels.empty())
        return "{" + extra + "}";
    return labels.substr(0, labels.size() - 1) + "," + extra + "}";
}

const char* typeName(int kind)
{
    static const char* names[] = {"counter", "gauge", "histogram"};
    return names[kind];
}

}

Histogram::Histogram(std::vector<double> bounds)
    : bounds_(std::move(bounds))
    , counts_(bounds_.size() + 1)
{
}

void Histogram::observe(double value)
{
    auto bucket = std::lower_bound(bounds_.begin(), bounds_.end(), value) - bounds_.begin();
    counts_[static_cast<std::size_t>(bucket)].fetch_add(1, std::memory_order_relaxed);
    sum_.fetch_add(value, std::memory_order_relaxed);
}

std::vector<std::uint64_t> Histogram::counts() const
{
    std::vector<std::uint64_t> counts;
    for (const auto& c : counts_)
        counts.push_back(c.load(std::memory_order_relaxed));
    return counts;
}

const std::vector<double>& Metrics::latencyBounds()
{
    static const std::vector<double> bounds{0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5};
    return bounds;
}

Metrics::Series& Metrics::series(const std::string& name, const std::string& help, Kind kind, const Labels& labels,
    bool& added)
{
    auto [family, fresh] = families_.try_emplace(name, Family{kind, help, {}});
    if (family->second.kind != kind)
        throw std::logic_error("metric " + name + " registered as another type");
    auto text = labelText(labels);
    auto& all = family->second.series;
    auto found = std::find_if(all.begin(), all.end(), [&](const Series& s) { return s.labels == text; });
    added = found == all.end();
    return added ? all.emplace_back(Series{text}) : *found;
}

Counter& Metrics::counter(const std::string& name, const std::string& help, const Labels& labels)
{
    std::lock_guard lock(mutex_);
    bool added = false;
    auto& s = series(name, help, Kind::counter, labels, added);
    if (added)
        s.counter = &counters_.emplace_back();
    return *s.counter;
}

Gauge& Metrics::gauge(const std::string& name, const std::string& help, const Labels& labels)
{
    std::lock_guard lock(mutex_);
    bool added = false;
    auto& s = series(name, help, Kind::gauge, labels, added);
    if (added)
        s.gauge = &gauges_.emplace_back();
    if (!s.gauge)
        throw std::logic_error("gauge " + name + " is read by a function");
    return *s.gauge;
}

void Metrics::gauge(const std::string& name, const std::string& help, const Labels& labels, std::function<double()> read)
{
    std::lock_guard lock(mutex_);
    bool added = false;
    series(name, help, Kind::gauge, labels, added).read = std::move(read);
}

Histogram& Metrics::histogram(const std::string& name, const std::string& help, const std::vector<double>& bounds,
    const Labels& labels)
{
    std::lock_guard lock(mutex_);
    bool added = false;
    auto& s = series(name, help, Kind::histogram, labels, added);
    if (added)
        s.histogram = &histograms_.emplace_back(bounds);
    return *s.histogram;
}

std::string Metrics::text() const
{
    std::lock_guard lock(mutex_);
    std::string out;
    for (const auto& [name, family] : families_) {
        out += "# HELP " + name + " " + escaped(family.help, false) + "\n";
        out += "# TYPE " + name + " " + typeName(static_cast<int>(family.kind)) + "\n";
        for (const auto& s : family.series) {
            if (s.counter)
                out += name + s.labels + " " + std::to_string(s.counter->value()) + "\n";
            else if (s.gauge)
                out += name + s.labels + " " + std::to_string(s.gauge->value()) + "\n";
            else if (s.read)
                out += name + s.labels + " " + number(s.read()) + "\n";
            else if (s.histogram) {
                auto counts = s.histogram->counts();
                std::uint64_t total = 0;
                for (std::size_t i = 0; i < counts.size(); ++i) {
                    total += counts[i];
                    auto bound = i < s.histogram->bounds().size() ? number(s.histogram->bounds()[i]) : "+Inf";
                    out += name + "_bucket" + withLabel(s.labels, "le=\"" + bound + "\"") + " " + std::to_string(total) + "\n";
                }
                out += name + "_sum" + s.labels + " " + number(s.histogram->sum()) + "\n";
                out += name + "_count" + s.labels + " " + std::to_string(total) + "\n";
            }
        }
    }
    return out;
}

}
