// How we build stb_image: JPEG, PNG and GIF from memory only, no failure texts (they are
// process-wide state), and dimensions capped at what SWF's 16-bit sizes can hold.
#pragma once

#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 65535

#include <stb_image.h>
