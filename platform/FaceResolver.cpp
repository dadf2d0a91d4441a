#include "platform/FaceResolver.h"

#include <atomic>

namespace platform {

namespace {

// Constant-initialised: there is no order of start-up in which it could be read before it is set up.
constinit std::atomic<FaceResolver> g_resolver{nullptr};

} // namespace

FaceResolver SetFaceResolver(FaceResolver resolver)
{
    return g_resolver.exchange(resolver);
}

FaceResolver GetFaceResolver()
{
    return g_resolver.load();
}

} // namespace platform
