#include "ScreenCapture.h"

namespace {
std::unique_ptr<ScreenCapture> &slot()
{
    static std::unique_ptr<ScreenCapture> capture;
    return capture;
}
} // namespace

ScreenCapture *ScreenCapture::installed()
{
    return slot().get();
}

void ScreenCapture::install(std::unique_ptr<ScreenCapture> capture)
{
    slot() = std::move(capture);
}
