// Form bodies and query strings: the fields read, written again as a browser would, read the same.
#include "FuzzTarget.h"
#include "http/Form.h"
#include <boost/url/encode.hpp>
#include <boost/url/rfc/unreserved_chars.hpp>

namespace tender::fuzz {

TENDER_FUZZ_TARGET(form)
{
    // The input as it comes, with nothing after its end: the reader must stay inside it.
    auto fields = server::formFields(input);
    std::string again;
    for (const auto& [name, value] : fields)
        again += (again.empty() ? "" : "&") + boost::urls::encode(name, boost::urls::unreserved_chars) + "="
            + boost::urls::encode(value, boost::urls::unreserved_chars);
    expect(server::formFields(again) == fields, "fields written out read differently: " + again);
}

}
