#include "ops/WorkerPool.h"
#include <sys/resource.h>
#include <unistd.h>

namespace tender::server {

WorkerPool::WorkerPool(unsigned threads, int niceness)
    : work_(io_.get_executor())
{
    for (unsigned i = 0; i < threads; ++i)
        threads_.emplace_back([this, niceness] {
            // Linux gives each thread a niceness of its own; failing to lower it changes nothing else.
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), niceness);
            io_.run();
        });
}

WorkerPool::~WorkerPool()
{
    join();
}

void WorkerPool::join()
{
    work_.reset();
    for (auto& t : threads_)
        if (t.joinable())
            t.join();
}

}
