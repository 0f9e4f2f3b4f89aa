// The fuzz targets hand their input to the code under test as a real file,
// as the programs get theirs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantel_fuzz {

// A private directory, made on first use and removed with everything in it
// when the process ends. It lies under $VANTEL_FUZZ_SCRATCH when that is set,
// else in /dev/shm (tmpfs keeps fsync and rename cheap), else in /tmp.
const std::string& ScratchDirectory();

// Writes the bytes to `name` in the scratch directory, replacing what was
// there, and gives the file's path. Aborts when the write fails: an input
// that never reached the code would hide what it does.
std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace vantel_fuzz
