#pragma once
// The scalar and string types shared by every module and program.
#include <cstdint>
#include <string>

using Integer = std::int32_t;  // signed 32-bit
using Single = float;          // IEEE binary32
using Double = double;         // IEEE binary64
using Boolean = bool;
using String = std::string;    // byte string; STR_ positions are 1-based
