#include "load/Report.h"
#include <algorithm>
#include <cstdio>
#include <iostream>

namespace tender::bench {

std::string fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string mebibytes(std::int64_t bytes)
{
    return fixed(static_cast<double>(bytes) / (1024.0 * 1024.0), 1) + " MiB";
}

void Report::add(std::string measure, std::string value, std::string target, std::optional<bool> met)
{
    rows_.push_back({std::move(measure), std::move(value), std::move(target), met});
}

void Report::addLatency(const Deliveries& d)
{
    const auto& h = d.latency();
    auto ms = [](std::int64_t micros) { return fixed(static_cast<double>(micros) / 1000.0, 2) + " ms"; };
    add("latency p50", ms(h.percentile(0.50)));
    add("latency p99", ms(h.percentile(0.99)), "<= 3 ms", h.percentile(0.99) <= 3000);
    add("latency p99.9", ms(h.percentile(0.999)), "<= 10 ms", h.percentile(0.999) <= 10000);
    add("latency max", ms(h.max()));
    add("signals sent / accepted", std::to_string(d.sentCount()) + " / " + std::to_string(d.acceptedCount()));
    add("refused (4xx/5xx) / failed (transport)", std::to_string(d.refusedCount()) + " / " + std::to_string(d.failedCount()));
    add("lost (accepted for an online user, never arrived)", std::to_string(d.outstanding()), "0", d.outstanding() == 0);
    add("owed to streams that broke meanwhile", std::to_string(d.lostOfflineCount()));
    add("frames matching no signal", std::to_string(d.unmatchedCount()));
}

void Report::print() const
{
    std::cout << "\n| Measure | Value | Target | Met |\n|---|---|---|---|\n";
    for (const auto& row : rows_)
        std::cout << "| " << row.measure << " | " << row.value << " | " << row.target << " | "
                  << (row.met ? (*row.met ? "yes" : "**no**") : "") << " |\n";
    std::cout << std::flush;
}

}

namespace tender::bench {

void Report::printBeside(const std::string& first, const Report& a, const std::string& second, const Report& b)
{
    auto cell = [](const Report& report, const std::string& measure) -> std::string {
        for (const auto& row : report.rows_)
            if (row.measure == measure)
                return row.value;
        return "-";
    };
    std::cout << "\n| Measure | " << first << " | " << second << " |\n|---|---|---|\n";
    std::vector<std::string> measures;
    for (const auto* report : {&a, &b})
        for (const auto& row : report->rows_)
            if (std::find(measures.begin(), measures.end(), row.measure) == measures.end())
                measures.push_back(row.measure);
    for (const auto& measure : measures)
        std::cout << "| " << measure << " | " << cell(a, measure) << " | " << cell(b, measure) << " |\n";
    std::cout << std::flush;
}

}
