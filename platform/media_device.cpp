// libmpg123/libout123 media device.
#include "platform/media_device.h"

namespace platform {

std::unique_ptr<MediaDevice> CreateMpg123Device(const std::string& /*outputModules*/) {
    throw MediaError("Sound output is not available");
}

}  // namespace platform
