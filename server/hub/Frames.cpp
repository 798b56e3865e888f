#include "hub/Subscriber.h"

namespace tender::server {

namespace frames {
Frame ready()
{
    static const Frame frame = std::make_shared<const std::string>(R"({"type":"ready"})");
    return frame;
}
Frame sync()
{
    static const Frame frame = std::make_shared<const std::string>(R"({"type":"sync"})");
    return frame;
}
Frame signal()
{
    static const Frame frame = std::make_shared<const std::string>(R"({"type":"event","event":{"type":"signal","v":1}})");
    return frame;
}
}

}
