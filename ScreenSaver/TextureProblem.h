// Why a texture file named on the command line cannot be worn.
#pragma once

#include <string>

// In a few words, why `path` gives no texture: it is missing, no regular
// file, unreadable, or no bitmap the saver reads. Looked at only once
// loading it has failed.
std::string TextureFileProblem(const char* path);
