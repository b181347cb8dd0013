// How the answer to a request becomes the job's next step or the user's
// sentence. Both requests of the job pass through here, so the same answer
// gives the same sentence whichever request it came from.
#pragma once

#include <memory>

#include "indir/ajan.hpp"
#include "ortak/sonuc.hpp"

namespace velmor {

// The response of a status below 400, unread; otherwise the complete
// sentence. Whatever is not handed back is released here, unread.
Result<std::unique_ptr<HttpResponse>> check_response(RequestResult result);

}  // namespace velmor
