// Result codes and the omitted-argument marker shared by every runtime operation.
#pragma once

#include <cstdint>

namespace runtime {

constexpr int32_t RESULT_OK = 0;
constexpr int32_t RESULT_ILLEGAL_CALL = 1;
constexpr int32_t RESULT_FILE_NOT_FOUND = 2;
constexpr int32_t RESULT_OUT_OF_MEMORY = 4;

// Passed for an optional argument the caller leaves out (0xFFFF0000).
constexpr int32_t ARG_OMITTED = -65536;

}  // namespace runtime
