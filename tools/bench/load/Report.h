#pragma once
#include "load/Deliveries.h"
#include <optional>
#include <string>
#include <vector>

namespace tender::bench {

// The printed table: one figure a row, with the target it answers to where there is one.
class Report {
public:
    void add(std::string measure, std::string value, std::string target = "", std::optional<bool> met = {});
    void addLatency(const Deliveries& deliveries);
    void print() const;

private:
    struct Row {
        std::string measure, value, target;
        std::optional<bool> met;
    };
    std::vector<Row> rows_;
};

std::string fixed(double value, int decimals);
std::string mebibytes(std::int64_t bytes);

}
