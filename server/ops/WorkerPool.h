#pragma once
#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <thread>
#include <vector>

namespace tender::server {

// Threads for work that may take long (password hashing, writes to disk), at a lower CPU priority
// (`niceness`), so that on a busy machine the threads that serve streams and requests come first.
class WorkerPool {
public:
    WorkerPool(unsigned threads, int niceness);
    ~WorkerPool();
    boost::asio::any_io_executor executor() { return io_.get_executor(); }
    // Lets the work already handed over finish, then ends the threads.
    void join();

private:
    boost::asio::io_context io_;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work_;
    std::vector<std::thread> threads_;
};

}
