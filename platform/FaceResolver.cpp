#include "platform/FaceResolver.h"

#include <atomic>

namespace platform {

namespace {

// Constant-initialised, so that a resolver installed while other files are initialised is never
// overwritten by this file's own initialisation.
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
