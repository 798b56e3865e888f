// tender-flood: a real sign-in and /healthz while one client floods tender-server with bogus sign-ins.
#include "app/ListeningLine.h"
#include "flood/Flood.h"
#include "flood/TimedCall.h"
#include "load/ChildProcess.h"
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace tender::bench {
namespace {

using Clock = std::chrono::steady_clock;
const std::string key = "AIzaFloodBenchKey00000000000000000000000";
const std::string floodSource = "127.0.0.2", monitorSource = "127.0.0.4";

// Real sign-ins come from many people, so each from an address of its own (as a limit per client
// counts them); the flood comes from one.
std::string personSource()
{
    static std::atomic<int> next = 0;
    return "127.0.1." + std::to_string(1 + next++ % 250);
}

struct Settings {
    std::string server = TENDER_SERVER_BINARY;
    int flooders = 300;
    int seconds = 20;
    bool sameClientRecovery = true;
};

// Answers of one kind of call, and how long each took.
struct Calls {
    std::mutex mutex;
    std::vector<double> ok, refused, failed;
    double slowest = 0, slowestAt = 0; // seconds, and when it began after the first call
    std::vector<double> over100ms;      // when each call that took longer than 100 ms began

    void add(const Answer& a, Clock::time_point since = Clock::now())
    {
        bool refusal = a.status == 429 || a.status == 503 || a.body.find("TOO_MANY_ATTEMPTS_TRY_LATER") != std::string::npos;
        std::lock_guard lock(mutex);
        (a.status == 200 ? ok : refusal ? refused : failed).push_back(a.seconds);
        auto began = std::chrono::duration<double>(Clock::now() - since).count() - a.seconds;
        if (a.seconds > 0.1)
            over100ms.push_back(began);
        if (a.seconds > slowest) {
            slowest = a.seconds;
            slowestAt = began;
        }
    }
};

std::string identityPath(const std::string& call)
{
    return "/identitytoolkit/v1/accounts:" + call + "?key=" + key;
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five;
    in >> one >> five;
    return one + " " + five;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(p * static_cast<double>(values.size())))];
}

std::string summary(const std::vector<double>& values)
{
    char text[128];
    std::snprintf(text, sizeof text, "%zu, p50 %.1f ms, p99 %.1f ms, max %.1f ms", values.size(),
        percentile(values, 0.5) * 1000, percentile(values, 0.99) * 1000,
        values.empty() ? 0 : *std::max_element(values.begin(), values.end()) * 1000);
    return text;
}

void report(const char* what, Calls& calls)
{
    std::printf("  %s\n    answered:  %s\n    refused:   %s\n    failed:    %s\n    slowest began %.2f s into the flood; "
                "%zu took over 100 ms, beginning at",
        what, summary(calls.ok).c_str(), summary(calls.refused).c_str(), summary(calls.failed).c_str(), calls.slowestAt,
        calls.over100ms.size());
    if (calls.over100ms.size() > 10)
        std::printf(" many times\n");
    else {
        for (auto at : calls.over100ms)
            std::printf(" %.2f", at);
        std::printf(" s\n");
    }
}

// Repeats `call` every `every` until `stop`.
std::thread every(std::chrono::milliseconds period, const std::atomic<bool>& stop, std::function<void()> call)
{
    return std::thread([period, &stop, call = std::move(call)] {
        for (auto next = Clock::now(); !stop; next += period) {
            call();
            std::this_thread::sleep_until(next + period);
        }
    });
}

// Seconds from now until a sign-in from `source()` succeeds, trying every `period` for at most `limit`.
double untilSignedIn(unsigned short port, const std::function<std::string()>& source, const std::string& body,
    std::chrono::milliseconds period, std::chrono::seconds limit)
{
    auto started = Clock::now();
    while (Clock::now() - started < limit) {
        if (timedCall(port, source(), "POST", identityPath("signInWithPassword"), body).status == 200)
            return std::chrono::duration<double>(Clock::now() - started).count();
        std::this_thread::sleep_for(period);
    }
    return -1;
}

Settings parse(int argc, char** argv)
{
    Settings s;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string flag = argv[i], value = argv[i + 1];
        if (flag == "--flooders")
            s.flooders = std::stoi(value);
        else if (flag == "--seconds")
            s.seconds = std::stoi(value);
        else if (flag == "--server")
            s.server = value;
        else if (flag == "--same-client-recovery")
            s.sameClientRecovery = value == "yes";

        else
            throw std::runtime_error("usage: tender-flood [--flooders 300] [--seconds 20] [--server PATH] "
                                     "[--same-client-recovery yes|no]");
    }
    return s;
}

int run(const Settings& s)
{
    auto data = std::filesystem::temp_directory_path() / ("tender-flood-" + std::to_string(::getpid()));
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    // As the README starts it for production, on loopback behind a proxy.
    auto pid = spawnPinned({s.server, "--listen", "127.0.0.1:0", "--data", data.string(), "--identity-key", key}, -1, out[1]);
    ::close(out[1]);
    struct Cleanup {
        pid_t pid;
        std::filesystem::path data;
        ~Cleanup()
        {
            killAndReap(pid, SIGTERM);
            std::filesystem::remove_all(data);
        }
    } cleanup{pid, data};
    auto port = readListeningPort(out[0], std::chrono::seconds(30));
    ::close(out[0]);

    const auto person = passwordBody("person@example.org", "right-password");
    if (timedCall(port, personSource(), "POST", identityPath("signUp"), person).status != 200)
        throw std::runtime_error("the person's account was not created");
    Calls before;
    for (int i = 0; i < 5; ++i)
        before.add(timedCall(port, personSource(), "POST", identityPath("signInWithPassword"), person));

    std::cout << "tender-flood: " << s.flooders << " connections from " << floodSource << " send bogus sign-ins for "
              << s.seconds << " s; load average " << loadAverage() << "\n";
    Calls person2, sameClient, health;
    std::atomic<bool> stop = false;
    std::vector<std::thread> probes;
    {
        auto began = Clock::now();
        Flood flood(port, floodSource, s.flooders, identityPath("signInWithPassword"));
        probes.push_back(every(std::chrono::milliseconds(20), stop,
            [&] { health.add(timedCall(port, monitorSource, "GET", "/healthz"), began); }));
        probes.push_back(every(std::chrono::milliseconds(500), stop, [&] {
            person2.add(timedCall(port, personSource(), "POST", identityPath("signInWithPassword"), person), began);
        }));
        probes.push_back(every(std::chrono::seconds(1), stop, [&] {
            sameClient.add(timedCall(port, floodSource, "POST", identityPath("signInWithPassword"), person), began);
        }));
        std::this_thread::sleep_for(std::chrono::seconds(s.seconds));
        stop = true;
        for (auto& t : probes)
            t.join();
        flood.stop();
        const auto& c = flood.counts();
        std::cout << "  the flood's requests: " << c.refusedAtOnce << " refused at once, " << c.checked
                  << " passwords checked, " << c.other << " other answers, " << c.connectionsLost << " connections lost\n";
    }
    auto recovered = untilSignedIn(port, personSource, person, std::chrono::milliseconds(50), std::chrono::seconds(10));
    std::cout << "  load average after the flood " << loadAverage() << "\n";
    report("a real sign-in before the flood (5 calls)", before);
    report("a real sign-in every 0.5 s from another client during the flood", person2);
    report("the same sign-in every 1 s from the flooding client", sameClient);
    report("/healthz every 20 ms from another client during the flood", health);
    std::printf("  sign-in from another client once the flood stopped: succeeded after %.3f s\n", recovered);
    if (s.sameClientRecovery) {
        auto same = untilSignedIn(port, [] { return floodSource; }, person, std::chrono::seconds(1), std::chrono::seconds(75));
        std::printf("  sign-in from the flooding client once the flood stopped: succeeded after %.1f s\n", same);
    }
    return before.ok.size() == 5 && recovered >= 0 ? 0 : 1;
}

}
}

int main(int argc, char** argv)
{
    try {
        return tender::bench::run(tender::bench::parse(argc, argv));
    } catch (const std::exception& error) {
        std::cerr << "tender-flood: " << error.what() << "\n";
        return 2;
    }
}
