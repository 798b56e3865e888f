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
    // Two runs in one table, row by row by measure (the first run's order, then what only the
    // second has).
    static void printBeside(const std::string& first, const Report& a, const std::string& second, const Report& b);

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
