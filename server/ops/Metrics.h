#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace tender::server {

using Labels = std::vector<std::pair<std::string, std::string>>;

class Counter {
public:
    void add(std::uint64_t amount = 1) { value_.fetch_add(amount, std::memory_order_relaxed); }
    std::uint64_t value() const { return value_.load(std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> value_{0};
};

class Gauge {
public:
    void add(std::int64_t amount) { value_.fetch_add(amount, std::memory_order_relaxed); }
    void set(std::int64_t value) { value_.store(value, std::memory_order_relaxed); }
    std::int64_t value() const { return value_.load(std::memory_order_relaxed); }

private:
    std::atomic<std::int64_t> value_{0};
};

class Histogram {
public:
    explicit Histogram(std::vector<double> bounds);
    void observe(double value);

    const std::vector<double>& bounds() const { return bounds_; }
    // Counts per bucket (not cumulative), the last one above every bound.
    std::vector<std::uint64_t> counts() const;
    double sum() const { return sum_.load(std::memory_order_relaxed); }

private:
    std::vector<double> bounds_;
    std::deque<std::atomic<std::uint64_t>> counts_;
    std::atomic<double> sum_{0};
};

// The one registry of the process's metrics, written out in the Prometheus text format. Parts add
// what they measure at construction; asking again for the same name and labels gives the same series.
class Metrics {
public:
    static const std::vector<double>& latencyBounds();

    Counter& counter(const std::string& name, const std::string& help, const Labels& labels = {});
    Gauge& gauge(const std::string& name, const std::string& help, const Labels& labels = {});
    // A gauge read when the metrics are written.
    void gauge(const std::string& name, const std::string& help, const Labels& labels, std::function<double()> read);
    Histogram& histogram(const std::string& name, const std::string& help, const std::vector<double>& bounds,
        const Labels& labels = {});

    std::string text() const;

private:
    enum class Kind { counter, gauge, histogram };
    struct Series {
        std::string labels; // already written out: {a="b",c="d"} or empty
        Counter* counter = nullptr;
        Gauge* gauge = nullptr;
        Histogram* histogram = nullptr;
        std::function<double()> read;
    };
    struct Family {
        Kind kind;
        std::string help;
        std::vector<Series> series;
    };

    Series& series(const std::string& name, const std::string& help, Kind kind, const Labels& labels, bool& added);

    mutable std::mutex mutex_;
    std::map<std::string, Family> families_;
    std::deque<Counter> counters_;
    std::deque<Gauge> gauges_;
    std::deque<Histogram> histograms_;
};

}
