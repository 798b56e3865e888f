// The service's streams run over TCP; tests instantiate others.
#include "http/WsSessionImpl.h"

namespace tender::server {

template class BasicWsSession<boost::beast::tcp_stream>;

}
