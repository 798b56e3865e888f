#include "app/App.h"
#include "app/Options.h"
#include <csignal>
#include <exception>
#include <iostream>
#include <sys/stat.h>

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    ::umask(0077); // the database, key and mail hold secrets
    auto parsed = tender::server::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        (parsed.failed ? std::cerr : std::cout) << parsed.message;
        return parsed.failed ? 2 : 0;
    }
    try {
        return tender::server::runServer(*parsed.options);
    } catch (const std::exception& error) {
        std::cerr << "tender-server: " << error.what() << "\n";
        return 1;
    }
}
