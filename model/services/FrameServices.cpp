#include "model/services/FrameServices.h"

namespace {
FrameServices* g_frameServices = nullptr;
}

FrameServices* GetFrameServices()
{
    return g_frameServices;
}

void SetFrameServices(FrameServices* services)
{
    g_frameServices = services;
}
