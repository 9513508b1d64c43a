// Win32 only: turns the PNG or JPEG bytes of a painted frame into pixels with WIC.
#pragma once

#include "devtools_connection.h"

#include <string>

namespace orv::mb {

// False with the failed step in `error`. The calling thread must have COM initialised.
bool decodeFrame(const std::string& encoded, DecodedFrame& frame, std::string& error);

}  // namespace orv::mb
